// The real program on a real X display: started from a temporary folder
// (it writes beside itself), looked at with a screenshot, played by
// clicking its Play button, heard through a sound server without hardware,
// and closed by clicking File > Exit. Also the start without any audio
// output. Skipped only where the display or sound tools are not installed.
#include "../support/child_process.h"

#include "demo_song.h"
#include "toolbar_images.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include <poll.h>
#include <sys/stat.h>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::CommandResult;
using testing_support::EnvironmentChanges;
using testing_support::fileText;
using testing_support::onPath;
using testing_support::runCommand;
namespace fs = std::filesystem;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

struct ScreenPoint {
    int x = 0, y = 0;
};

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// Where `icon` is drawn on the screen, pixel for pixel (its opaque pixels).
std::optional<ScreenPoint> findIcon(const std::string& rgb, const IconPixels& icon)
{
    if (rgb.size() < static_cast<size_t>(kScreenWidth * kScreenHeight * 3)) return std::nullopt;
    auto matchesAt = [&](int left, int top) {
        for (int y = 0; y < icon.height; ++y) {
            for (int x = 0; x < icon.width; ++x) {
                const std::uint32_t p = icon.argb[static_cast<size_t>(y * icon.width + x)];
                if ((p >> 24) != 0xFF) continue;
                const size_t at = (static_cast<size_t>(top + y) * kScreenWidth + static_cast<size_t>(left + x)) * 3;
                if (static_cast<unsigned char>(rgb[at]) != ((p >> 16) & 0xFF) ||
                    static_cast<unsigned char>(rgb[at + 1]) != ((p >> 8) & 0xFF) ||
                    static_cast<unsigned char>(rgb[at + 2]) != (p & 0xFF)) {
                    return false;
                }
            }
        }
        return true;
    };
    for (int top = 0; top + icon.height <= kScreenHeight; ++top) {
        for (int left = 0; left + icon.width <= kScreenWidth; ++left) {
            if (matchesAt(left, top)) return ScreenPoint{left + icon.width / 2, top + icon.height / 2};
        }
    }
    return std::nullopt;
}

// The loudest sample of a raw 16-bit stereo recording.
int peakOf(const std::string& raw)
{
    int peak = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const auto sample =
            static_cast<std::int16_t>(static_cast<unsigned char>(raw[i]) | static_cast<unsigned char>(raw[i + 1]) << 8);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

class RealProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "xdotool", "import"}) {
            if (!onPath(tool)) GTEST_SKIP() << tool << " is not installed";
        }
        std::string made = (fs::temp_directory_path() / "nimbel-e2e-XXXXXX").string();
        ASSERT_TRUE(::mkdtemp(made.data()));
        folder = made;
        for (const char* sub : {"program", "elsewhere", "runtime"}) fs::create_directories(folder / sub);
        ::chmod((folder / "runtime").c_str(), 0700);
        const fs::path built = fs::path(NIMBEL_BINARY_DIR) / "bin" / "nimbel-midi";
        ASSERT_TRUE(fs::exists(built)) << "build the program first: " << built;
        fs::copy_file(built, program());
        shots = fs::path(NIMBEL_BINARY_DIR) / "e2e";
        fs::create_directories(shots);
        startDisplay();
    }

    void TearDown() override
    {
        // Newest first: the program before its sound server and display.
        while (!children.empty()) children.pop_back();
        if (!folder.empty()) fs::remove_all(folder);
    }

    fs::path program() const { return folder / "program" / "nimbel-midi"; }

    void startDisplay()
    {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
               std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24", "-nolisten", "tcp"},
              {}, fds[1]);
        ::close(fds[1]);
        pollfd ready{fds[0], POLLIN, 0};
        std::string number;
        while (::poll(&ready, 1, 10000) > 0) {
            char c;
            if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display = ":" + number;
    }

    EnvironmentChanges environment() const
    {
        // The X keyboard library reads its names with strndup from buffers
        // without a terminating zero, which is valid but trips that check.
        const char* sanitizer = std::getenv("ASAN_OPTIONS");
        return {{"ASAN_OPTIONS", std::string(sanitizer ? sanitizer : "") + ":strict_string_checks=0"},
                {"DISPLAY", display},
                {"XDG_RUNTIME_DIR", (folder / "runtime").string()},
                {"QT_QPA_PLATFORM", std::nullopt},
                {"WAYLAND_DISPLAY", std::nullopt}};
    }

    ChildProcess& start(const std::vector<std::string>& argv, EnvironmentChanges extra = {}, int inheritedFd = -1,
                        const std::string& workingDirectory = "")
    {
        EnvironmentChanges env = display.empty() ? EnvironmentChanges{} : environment();
        for (auto& [name, value] : extra) env[name] = value;
        const std::string log = (folder / (fs::path(argv[0]).filename().string() + ".log")).string();
        children.push_back(
            std::make_unique<ChildProcess>(argv, ChildProcess::Options{env, workingDirectory, log, inheritedFd}));
        return *children.back();
    }

    CommandResult tool(const std::vector<std::string>& argv, std::chrono::milliseconds timeout = 10s)
    {
        return runCommand(argv, environment(), timeout, (folder / "tool-output.txt").string());
    }

    // The id of the first window whose title matches, waiting for it to appear.
    std::string waitForWindow(const std::string& title, std::chrono::milliseconds timeout = 30s)
    {
        const CommandResult found = tool({"xdotool", "search", "--sync", "--name", title}, timeout);
        if (!found.exitCode || *found.exitCode != 0) return {};
        return found.output.substr(0, found.output.find('\n'));
    }

    WindowGeometry geometry(const std::string& window)
    {
        WindowGeometry g;
        const std::map<std::string, int*> fields{{"X", &g.x}, {"Y", &g.y}, {"WIDTH", &g.width}, {"HEIGHT", &g.height}};
        std::istringstream lines(tool({"xdotool", "getwindowgeometry", "--shell", window}).output);
        for (std::string line; std::getline(lines, line);) {
            const size_t equals = line.find('=');
            if (equals == std::string::npos) continue;
            if (auto field = fields.find(line.substr(0, equals)); field != fields.end())
                *field->second = std::atoi(line.c_str() + equals + 1);
        }
        return g;
    }

    // Saves a picture for people to look at and returns the screen's pixels.
    std::string screenshot(const std::string& name)
    {
        tool({"import", "-window", "root", (shots / name).string()});
        const fs::path raw = folder / "screen.rgb";
        tool({"import", "-window", "root", "-depth", "8", "rgb:" + raw.string()});
        return fileText(raw);
    }

    void click(int x, int y) { tool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}); }

    fs::path folder;
    fs::path shots;
    std::string display;
    std::vector<std::unique_ptr<ChildProcess>> children;
};

TEST_F(RealProgram, StartsPlaysTheDemonstrationSongAndClosesThroughFileExit)
{
    for (const char* tool : {"pulseaudio", "pactl", "parec"}) {
        if (!onPath(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    start({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes", "-L",
           "module-null-sink sink_name=nullsink rate=44100 norewinds=1", "-L", "module-native-protocol-unix"});
    bool soundServer = false;
    for (int i = 0; i < 200 && !soundServer; ++i) {
        soundServer = tool({"pactl", "info"}, 2s).exitCode == 0;
        if (!soundServer) std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(soundServer) << "PulseAudio did not start";
    const fs::path recording = folder / "sink.raw";
    ChildProcess& recorder = start({"parec", "--latency-msec=20", "-d", "nullsink.monitor", "--raw", "--format=s16le",
                                    "--rate=44100", "--channels=2", recording.string()});

    ChildProcess& nimbel = start({program().string()}, {}, -1, (folder / "elsewhere").string());
    const std::string window = waitForWindow("^Nimbel MIDI - MIDI.txt$");
    ASSERT_FALSE(window.empty()) << "no main window appeared; see " << folder / "nimbel-midi.log";

    const IconPixels play = decodeIconFile(toolbarIconFile(kPlayImage));
    std::optional<ScreenPoint> playButton;
    for (int attempt = 0; attempt < 50 && !playButton; ++attempt) {
        std::this_thread::sleep_for(100ms);  // the first paint may still be on its way
        playButton = findIcon(screenshot("main-window.png"), play);
    }
    ASSERT_TRUE(playButton) << "the Play button's image is not on the screen";
    click(playButton->x, playButton->y);
    std::this_thread::sleep_for(3s);
    screenshot("playing.png");
    recorder.signal(SIGINT);
    recorder.waitFor(5s);
    EXPECT_GT(peakOf(fileText(recording)), 1000) << "the song was not heard";

    const WindowGeometry main = geometry(window);
    click(main.x + 18, main.y + 9);  // "File", the first title of the menu bar
    std::string menu;
    for (int attempt = 0; attempt < 50 && menu.empty(); ++attempt) {
        std::this_thread::sleep_for(100ms);
        std::istringstream windows(
            tool({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(nimbel.pid())}).output);
        for (std::string id; std::getline(windows, id);) {
            if (id != window && geometry(id).height > 40) menu = id;
        }
    }
    ASSERT_FALSE(menu.empty()) << "the File menu did not open";
    screenshot("file-menu.png");
    const WindowGeometry items = geometry(menu);
    click(items.x + 20, items.y + items.height - 14);  // "Exit", the last item

    EXPECT_EQ(nimbel.waitFor(15s), std::optional<int>(0));
    EXPECT_EQ(fileText(folder / "program" / "MIDI.txt"), demoSongText());
    EXPECT_FALSE(fs::exists(folder / "elsewhere" / "MIDI.txt")) << "files live beside the program";
    EXPECT_FALSE(fs::exists(folder / "program" / "NimbelMIDI.ini"));
}

TEST_F(RealProgram, WithoutAnyAudioOutputShowsTheStartUpErrorAndEndsWithCodeZero)
{
    std::ofstream(folder / "empty-alsa.conf");
    ChildProcess& nimbel = start({program().string()},
                                 {{"PULSE_SERVER", "unix:" + (folder / "no-sound-server").string()},
                                  {"ALSA_CONFIG_PATH", (folder / "empty-alsa.conf").string()}},
                                 -1, (folder / "elsewhere").string());
    const std::string box = waitForWindow("^Error$");
    ASSERT_FALSE(box.empty()) << "no error box appeared";
    EXPECT_NE(tool({"xdotool", "search", "--onlyvisible", "--name", "^Nimbel MIDI"}).exitCode, 0)
        << "no main window exists";
    std::this_thread::sleep_for(300ms);
    screenshot("start-up-error.png");
    tool({"xdotool", "key", "--window", box, "Return"});
    if (!nimbel.waitFor(3s)) tool({"xdotool", "key", "Return"});
    EXPECT_EQ(nimbel.waitFor(15s), std::optional<int>(0));
    EXPECT_TRUE(fs::exists(folder / "program" / "MIDI.txt"));
}

TEST(ProgramWithoutDisplay, SaysSoInOneSentenceInsteadOfStarting)
{
    const fs::path built = fs::path(NIMBEL_BINARY_DIR) / "bin" / "nimbel-midi";
    ASSERT_TRUE(fs::exists(built)) << "build the program first: " << built;
    const std::string scratch =
        (fs::temp_directory_path() / ("nimbel-no-display-" + std::to_string(::getpid()))).string();
    const EnvironmentChanges noDisplay{
        {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
    CommandResult result = runCommand({built.string()}, noDisplay, 10s, scratch);
    EXPECT_EQ(result.exitCode, std::optional<int>(1));
    EXPECT_EQ(result.output, "Nimbel MIDI needs a graphical desktop, but no display was found (DISPLAY is not set).\n");

    EnvironmentChanges unreachable = noDisplay;
    unreachable["DISPLAY"] = ":9876";
    result = runCommand({built.string()}, unreachable, 10s, scratch);
    EXPECT_EQ(result.exitCode, std::optional<int>(1));
    EXPECT_EQ(result.output,
              "Nimbel MIDI needs a graphical desktop, but the display \":9876\" could not be reached.\n");
    fs::remove(scratch);
}

}  // namespace
}  // namespace nimbel
