// The real program on a real X display: started from a temporary folder
// (it writes beside itself) with a song to open, looked at with a
// screenshot, played by clicking its Play button and heard through a sound
// server without hardware, and closed by clicking File > Exit; started with
// a file it cannot read. Also its command line and its start without a
// display. Skipped only where the display or sound tools are not installed.
#include "support/display.h"
#include "support/files.h"
#include "support/processes.h"
#include "support/sound_server.h"

#include "nimbel_version.h"
#include "toolbar_images.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include <sys/stat.h>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
namespace fs = std::filesystem;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

const fs::path kBuiltProgram = fs::path(NIMBEL_BINARY_DIR) / "bin" / "nimbel-midi";

struct ScreenPoint {
    int x = 0, y = 0;
};

// Where `icon` is drawn on the screen, pixel for pixel (its opaque pixels).
std::optional<ScreenPoint> findIcon(const std::string& rgb, const IconPixels& icon)
{
    if (rgb.size() < static_cast<size_t>(kScreenWidth * kScreenHeight * 3)) return std::nullopt;
    const auto matchesAt = [&](int left, int top) {
        for (int y = 0; y < icon.height; ++y) {
            for (int x = 0; x < icon.width; ++x) {
                const std::uint32_t p = icon.argb[static_cast<size_t>(y * icon.width + x)];
                const size_t at = (static_cast<size_t>(top + y) * kScreenWidth + static_cast<size_t>(left + x)) * 3;
                const auto channel = [&](int i) { return static_cast<unsigned char>(rgb[at + i]); };
                if ((p >> 24) == 0xFF &&
                    (channel(0) != ((p >> 16) & 0xFF) || channel(1) != ((p >> 8) & 0xFF) || channel(2) != (p & 0xFF)))
                    return false;
            }
        }
        return true;
    };
    for (int top = 0; top + icon.height <= kScreenHeight; ++top)
        for (int left = 0; left + icon.width <= kScreenWidth; ++left)
            if (matchesAt(left, top)) return ScreenPoint{left + icon.width / 2, top + icon.height / 2};
    return std::nullopt;
}

TEST(RealProgram, OpensTheSongOfItsCommandLinePlaysItAndClosesThroughFileExit)
{
    for (const char* tool : {"Xvfb", "xdotool", "import", "pulseaudio", "pactl", "parec"})
        if (!onPath(tool)) GTEST_SKIP() << tool << " is not installed";
    ASSERT_TRUE(fs::exists(kBuiltProgram)) << "build the program first: " << kBuiltProgram;
    const ScratchFolder folder("nimbel-e2e");
    for (const char* sub : {"program", "elsewhere", "runtime"}) fs::create_directories(folder.path / sub);
    ::chmod((folder.path / "runtime").c_str(), 0700);
    const fs::path program = folder.path / "program" / "nimbel-midi";
    fs::copy_file(kBuiltProgram, program);
    writeFile(folder.path / "elsewhere" / "song.nmd", dataFile("demo_song_saved.nmd"));
    const fs::path shots = fs::path(NIMBEL_BINARY_DIR) / "e2e";
    fs::create_directories(shots);

    // Declared in the order they start, so they end newest first.
    const XvfbDisplay display(kScreenWidth, kScreenHeight);
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    // The X keyboard library reads its names with strndup from buffers
    // without a terminating zero, which is valid but trips that check.
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    const EnvironmentChanges environment = {
        {"ASAN_OPTIONS", std::string(sanitizer ? sanitizer : "") + ":strict_string_checks=0"},
        {"DISPLAY", display.name()},
        {"XDG_RUNTIME_DIR", (folder.path / "runtime").string()},
        {"QT_QPA_PLATFORM", std::nullopt},
        {"WAYLAND_DISPLAY", std::nullopt}};
    NullSinkServer sound(environment);
    ASSERT_TRUE(sound.ready()) << "PulseAudio did not start";
    sound.startRecording(folder.path / "sink.raw");
    // A name relative to the working folder, as a shell passes it.
    ChildProcess nimbel({program.string(), "song.nmd"}, {sound.environment(), (folder.path / "elsewhere").string(),
                                                         folder.file("nimbel-midi.log"), "", -1});

    const std::string window = waitForWindow(environment, "^Nimbel MIDI - song\\.nmd$");
    ASSERT_FALSE(window.empty()) << "no main window appeared; see " << folder.file("nimbel-midi.log");
    const IconPixels play = decodeIconFile(toolbarIconFile(kPlayImage));
    std::optional<ScreenPoint> playButton;
    for (int attempt = 0; attempt < 50 && !playButton; ++attempt) {
        std::this_thread::sleep_for(100ms);  // the first paint may still be on its way
        playButton = findIcon(screenshot(environment, shots / "main-window.png"), play);
    }
    ASSERT_TRUE(playButton) << "the Play button's image is not on the screen";
    click(environment, playButton->x, playButton->y);
    std::this_thread::sleep_for(3s);
    screenshot(environment, shots / "playing.png");
    EXPECT_GT(sound.stopRecording(), 1000) << "the song was not heard";

    const WindowGeometry main = windowGeometry(environment, window);
    click(environment, main.x + 18, main.y + 9);  // "File", the first title of the menu bar
    std::string menu;
    for (int attempt = 0; attempt < 50 && menu.empty(); ++attempt) {
        std::this_thread::sleep_for(100ms);
        const auto shown =
            runCommand({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(nimbel.pid())}, environment);
        for (const std::string& id : lines(shown.out))
            if (id != window && windowGeometry(environment, id).height > 40) menu = id;
    }
    ASSERT_FALSE(menu.empty()) << "the File menu did not open";
    screenshot(environment, shots / "file-menu.png");
    const WindowGeometry items = windowGeometry(environment, menu);
    click(environment, items.x + 20, items.y + items.height - 14);  // "Exit", the last item

    EXPECT_EQ(nimbel.waitFor(15s), std::optional<int>(0));
    EXPECT_TRUE(fs::exists(folder.path / "program" / "MIDI.txt"));
    EXPECT_FALSE(fs::exists(folder.path / "elsewhere" / "MIDI.txt")) << "files live beside the program";
    EXPECT_FALSE(fs::exists(folder.path / "program" / "NimbelMIDI.ini"));

    ChildProcess unreadable({program.string(), "missing.nmd"},
                            {sound.environment(), folder.path.string(), folder.file("missing.log"), "", -1});
    for (const char* title : {"^Nimbel MIDI Error$", "^Nimbel MIDI - MIDI\\.txt$"})
        EXPECT_FALSE(waitForWindow(environment, title).empty()) << title << "; see " << folder.file("missing.log");
}

TEST(ProgramWithoutDisplay, AnswersItsCommandLineAndOtherwiseSaysInOneSentenceThatItCannotStart)
{
    ASSERT_TRUE(fs::exists(kBuiltProgram)) << "build the program first: " << kBuiltProgram;
    const std::string noDisplay =
        "Nimbel MIDI needs a graphical desktop, but no display was found (DISPLAY is not set).\n";
    const std::string usage = "Usage: nimbel-midi [OPTION] [FILE]\n";
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string out;  // the start of standard output, then of standard error
        std::string err;
    };
    const std::vector<Case> cases = {
        {{}, 1, "", noDisplay},
        {{"song.nmd"}, 1, "", noDisplay},
        {{"--", "--song.nmd"}, 1, "", noDisplay},
        {{"song.nmd", "--help"}, 0, usage, ""},
        {{"--version"}, 0, std::string("nimbel-midi ") + kNimbelVersion + "\n", ""},
        {{"--frobnicate", "song.nmd"}, 2, "", "nimbel-midi: unknown option '--frobnicate'\n" + usage},
        {{"one.nmd", "two.nmd"}, 2, "", "nimbel-midi: only one FILE may be given ('two.nmd' is a second one)\n"},
    };
    const EnvironmentChanges environment{
        {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
    for (const Case& c : cases) {
        std::vector<std::string> command = c.arguments;
        command.insert(command.begin(), kBuiltProgram.string());
        const CommandResult result = runCommand(command, environment, 10s);
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(result.exitCode, std::optional<int>(c.exitCode));
        EXPECT_EQ(result.out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(result.out.empty(), c.out.empty());
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(result.err.empty(), c.err.empty());
    }

    EnvironmentChanges unreachable = environment;
    unreachable["DISPLAY"] = ":9876";
    const CommandResult result = runCommand({kBuiltProgram.string()}, unreachable, 10s);
    EXPECT_EQ(result.exitCode, std::optional<int>(1));
    EXPECT_EQ(result.err, "Nimbel MIDI needs a graphical desktop, but the display \":9876\" could not be reached.\n");
}

}  // namespace
}  // namespace nimbel
