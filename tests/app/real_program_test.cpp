// The built program run as a user runs it. Without a display: its command
// line, and the one sentence that says it cannot start. On a display and a
// sound server of a test's own: editing as a user does it, a song opened
// from its command line, notes typed with the keyboard alone, saved, and the
// program left; cells carried between two running copies through the system
// clipboard; and a long song followed by the grid as it plays. Each copy
// runs from a folder of its own (it writes beside itself).
#include "support/display.h"
#include "support/files.h"
#include "support/processes.h"
#include "support/sound_server.h"

#include "song.h"
#include "song_columns.h"
#include "song_file.h"
#include "toolbar_images.h"

#include "nimbel_version.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
namespace fs = std::filesystem;

const fs::path kBuiltProgram = fs::path(NIMBEL_BINARY_DIR) / "bin" / "nimbel-midi";
// Where screenshots go: the build tree's e2e folder, to look at afterwards.
const fs::path kShots = fs::path(NIMBEL_BINARY_DIR) / "e2e";

TEST(ProgramWithoutDisplay, AnswersItsCommandLineAndOtherwiseSaysInOneSentenceThatItCannotStart)
{
    ASSERT_TRUE(fs::exists(kBuiltProgram)) << "build the program first: " << kBuiltProgram;
    const std::string noDisplay =
        "Nimbel MIDI needs a graphical desktop, but no display was found (DISPLAY is not set).\n";
    const std::string usage = "Usage: nimbel-midi [OPTION] [FILE]\n";
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string printed;  // the start of standard output on success, of standard error on failure
    };
    const std::vector<Case> cases = {
        {{}, 1, noDisplay},
        {{"song.nmd"}, 1, noDisplay},
        {{"--", "--song.nmd"}, 1, noDisplay},
        {{"song.nmd", "--help"}, 0, usage},
        {{"--version"}, 0, std::string("nimbel-midi ") + kNimbelVersion + "\n"},
        {{"--frobnicate", "song.nmd"}, 2, "nimbel-midi: unknown option '--frobnicate'\n" + usage},
        {{"one.nmd", "two.nmd"}, 2, "nimbel-midi: only one FILE may be given ('two.nmd' is a second one)\n"},
    };
    const EnvironmentChanges environment{
        {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
    for (const Case& c : cases) {
        std::vector<std::string> command = c.arguments;
        command.insert(command.begin(), kBuiltProgram.string());
        const CommandResult result = runCommand(command, environment, 10s);
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(result.exitCode, std::optional<int>(c.exitCode));
        const bool failed = c.exitCode != 0;
        EXPECT_EQ((failed ? result.err : result.out).substr(0, c.printed.size()), c.printed);
        EXPECT_EQ(failed ? result.out : result.err, "") << "nothing on the other stream";
    }

    EnvironmentChanges unreachable = environment;
    unreachable["DISPLAY"] = ":9876";
    const CommandResult result = runCommand({kBuiltProgram.string()}, unreachable, 10s);
    EXPECT_EQ(result.exitCode, std::optional<int>(1));
    EXPECT_EQ(result.err, "Nimbel MIDI needs a graphical desktop, but the display \":9876\" could not be reached.\n");
}

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kFileMenu = 18;  // the menu titles' offsets in the menu bar
constexpr int kEditMenu = 55;
enum MenuItem { kSaveItem = 3, kCopyTo = 6, kPasteFrom = 7 };  // among the enabled items of their menu

struct ScreenPoint {
    int x = 0, y = 0;
};

// Where `icon` is drawn on the screen, pixel for pixel (its opaque pixels).
std::optional<ScreenPoint> findIcon(const std::string& rgb, const IconPixels& icon)
{
    if (rgb.size() < static_cast<size_t>(kScreenWidth * kScreenHeight * 3)) return std::nullopt;
    const auto matchesAt = [&](int left, int top) {
        for (int y = 0; y < icon.height; ++y)
            for (int x = 0; x < icon.width; ++x) {
                const std::uint32_t p = icon.argb[static_cast<size_t>(y * icon.width + x)];
                const size_t at = (static_cast<size_t>(top + y) * kScreenWidth + static_cast<size_t>(left + x)) * 3;
                const auto shown = [&](int i) -> std::uint32_t { return static_cast<unsigned char>(rgb[at + i]); };
                if ((p >> 24) == 0xFF && (shown(0) << 16 | shown(1) << 8 | shown(2)) != (p & 0xFFFFFF)) return false;
            }
        return true;
    };
    for (int top = 0; top + icon.height <= kScreenHeight; ++top)
        for (int left = 0; left + icon.width <= kScreenWidth; ++left)
            if (matchesAt(left, top)) return ScreenPoint{left + icon.width / 2, top + icon.height / 2};
    return std::nullopt;
}

class EditingOnScreen : public ::testing::Test {
protected:
    struct Running {
        std::unique_ptr<ChildProcess> process;
        fs::path folder;          // the program's own folder
        std::string window;       // its main window, "" when none appeared
        WindowGeometry geometry;  // of the main window, as it opened
        ScreenPoint play;         // the centre of its Play button on the screen
    };

    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "xdotool", "import", "pulseaudio", "pactl", "parec"})
            if (!onPath(tool)) GTEST_SKIP() << tool << " is not installed";
        fs::create_directories(kShots);
        display = std::make_unique<XvfbDisplay>(kScreenWidth, kScreenHeight);
        // The X keyboard library reads its names with strndup from buffers
        // without a terminating zero, which is valid but trips that check.
        const char* sanitizer = std::getenv("ASAN_OPTIONS");
        environment = {{"ASAN_OPTIONS", std::string(sanitizer ? sanitizer : "") + ":strict_string_checks=0"},
                       {"DISPLAY", display->name()},
                       {"XDG_RUNTIME_DIR", runtime.path.string()},
                       {"XDG_DATA_HOME", folder.file("data")},
                       {"QT_QPA_PLATFORM", std::nullopt},
                       {"WAYLAND_DISPLAY", std::nullopt}};
        sound = std::make_unique<NullSinkServer>(environment);
        ASSERT_TRUE(!display->name().empty() && sound->ready()) << "Xvfb or PulseAudio did not start";
    }

    // Copies the program into a folder of its own named `name` and starts it
    // there, with `arguments`; waits for its main window and its Play button.
    Running start(const std::string& name, std::vector<std::string> arguments = {})
    {
        Running running;
        running.folder = folder.path / name;
        fs::create_directories(running.folder);
        const fs::path program = running.folder / "nimbel-midi";
        fs::copy_file(kBuiltProgram, program, fs::copy_options::overwrite_existing);
        arguments.insert(arguments.begin(), program.string());
        // The windows of the copies that run now: the X server gives the ids of
        // windows of copies that have ended to new ones.
        const auto mainWindows = [this] {
            return lines(runCommand({"xdotool", "search", "--name", "^Nimbel MIDI - "}, environment).out);
        };
        const std::vector<std::string> earlier = mainWindows();
        // Started in the session's folder, so that its files are found beside it, not in the working folder.
        running.process = std::make_unique<ChildProcess>(
            arguments, ChildProcess::Options{sound->environment(), folder.path.string(),
                                             (running.folder / "nimbel-midi.log").string(), "", -1});
        for (int attempt = 0; attempt < 300 && running.window.empty(); ++attempt) {
            for (const std::string& id : mainWindows())
                if (std::ranges::find(earlier, id) == earlier.end()) running.window = id;
            if (running.window.empty()) std::this_thread::sleep_for(100ms);
        }
        // Another copy's window may lie at the same place: once this one is shown,
        // give it time to be drawn over it before looking for its Play button.
        std::this_thread::sleep_for(500ms);
        const IconPixels play = decodeIconFile(toolbarIconFile(kPlayImage));
        for (int attempt = 0; attempt < 50 && !running.window.empty() && running.play.x == 0; ++attempt) {
            std::this_thread::sleep_for(100ms);  // the first paint may still be on its way
            const std::string shot = screenshot(environment, kShots / (name + "-start.png"));
            running.play = findIcon(shot, play).value_or(ScreenPoint{});
        }
        // Read once the window is drawn: a window found by its title may not yet stand where it will be shown.
        if (!running.window.empty()) running.geometry = windowGeometry(environment, running.window);
        EXPECT_FALSE(running.window.empty())
            << "no main window; it said: " << fileText(running.folder / "nimbel-midi.log");
        EXPECT_GT(running.play.x, 0) << "the Play button is not on the screen";
        return running;
    }

    // The centre of the grid cell (row, note column) of a main window whose
    // grid is not scrolled, found from the Play button above it.
    static ScreenPoint cellCentre(const Running& program, int row, int noteColumn)
    {
        // The grid lies below the toolbar: its 22 pixel header starts 24 pixels
        // below the centre of the toolbar's images, and its rows are 14 pixels
        // high; the four summary columns take 300 pixels, note columns 50.
        return {program.geometry.x + 300 + 50 * (noteColumn - 1) + 25, program.play.y + 24 + 22 + 14 * row + 7};
    }

    // Moves a program's main window so that its top-left corner is at (x, y)
    // on the screen: a copy started later then opens clear of it, and no
    // click meant for one lands on the other while the later one is drawn.
    void moveTo(Running& program, int x, int y)
    {
        runCommand({"xdotool", "windowmove", "--sync", program.window, std::to_string(x), std::to_string(y)},
                   environment);
        program.play.x += x - program.geometry.x;
        program.play.y += y - program.geometry.y;
        program.geometry = windowGeometry(environment, program.window);
    }

    // Opens the main window's menu `title` (its x offset in the menu bar) and
    // chooses its `item`-th enabled item.
    void chooseMenuItem(const Running& program, int titleOffset, int item)
    {
        click(environment, program.geometry.x + titleOffset, program.geometry.y + 9);
        std::this_thread::sleep_for(400ms);
        pressKey(environment, "Down", item);
        pressKey(environment, "Return");
        std::this_thread::sleep_for(300ms);
    }

    ScratchFolder folder{"nimbel-e2e"};
    // The session's own runtime folder (its owner's alone, as a runtime folder must be) and data folder
    // (in `folder`): the recovery files of its programs stay in them.
    ScratchFolder runtime{"nimbel-e2e-runtime"};
    std::unique_ptr<XvfbDisplay> display;
    EnvironmentChanges environment;
    std::unique_ptr<NullSinkServer> sound;
};

TEST_F(EditingOnScreen, AMelodyAndABassTypedWithTheKeyboardAloneAreSaved)
{
    // Started with a song named relative to the working folder (the session's), as a shell passes it.
    writeFile(folder.path / "song.nmd", dataFile("demo_song_saved.nmd"));
    Running program = start("keyboard", {"song.nmd"});
    ASSERT_FALSE(program.window.empty());
    EXPECT_FALSE(waitForWindow(environment, "^Nimbel MIDI - song\\.nmd$", 10s).empty()) << "song.nmd not opened";
    // Without a window manager the keyboard goes to the window under the
    // pointer: it rests over the grid, and nothing is clicked.
    const ScreenPoint grid = cellCentre(program, 5, 3);
    runCommand({"xdotool", "mousemove", std::to_string(grid.x), std::to_string(grid.y)}, environment);
    const std::string melody = "C D E F G A B C C B A G F E D C";
    const std::string bass = "C3H E3H G3H C3H F3H A3H G3H C3H";
    pressKey(environment, "ctrl+n");
    typeText(environment, melody);
    pressKey(environment, "Return");
    pressKey(environment, "Down");
    pressKey(environment, "Home");
    typeText(environment, bass);
    pressKey(environment, "Return");
    std::this_thread::sleep_for(500ms);
    screenshot(environment, kShots / "keyboard-typed.png");
    pressKey(environment, "ctrl+z");
    pressKey(environment, "ctrl+y");
    const fs::path song = folder.path / "typed.nmd";
    pressKey(environment, "ctrl+shift+s");
    ASSERT_FALSE(waitForWindow(environment, "^Save Nimbel MIDI", 10s).empty()) << "no requester";
    std::this_thread::sleep_for(800ms);
    typeText(environment, song.string());
    pressKey(environment, "Return");
    ASSERT_FALSE(waitForWindow(environment, "^Nimbel MIDI - typed.nmd$", 10s).empty()) << "not saved";
    // The melody in channel 1 and the bass in channel 2, each from the first note column.
    std::vector<std::string> expected;
    for (const auto& [channel, notes] : {std::pair("N1X", melody), std::pair("N2X", bass)}) {
        std::istringstream typed(notes);
        int column = 0;
        for (std::string note; typed >> note;) expected.push_back(channel + std::to_string(++column) + note);
    }
    EXPECT_THAT(lines(fileText(song)), testing::IsSupersetOf(expected));
    pressKey(environment, "ctrl+q");
    EXPECT_EQ(program.process->waitFor(15s), std::optional<int>(0));
    EXPECT_TRUE(fs::exists(program.folder / "MIDI.txt"));
    EXPECT_FALSE(fs::exists(folder.path / "MIDI.txt")) << "files live beside the program";
    EXPECT_FALSE(fs::exists(program.folder / "NimbelMIDI.ini"));
}

TEST_F(EditingOnScreen, CopyToAndPasteFromCarryCellsBetweenTwoRunningCopies)
{
    Running second = start("second");
    ASSERT_FALSE(second.window.empty());
    moveTo(second, 0, 470);  // the bottom left corner, below the first copy's cells
    const ScreenPoint destination = cellCentre(second, 3, 5);

    Running first = start("first");
    ASSERT_FALSE(first.window.empty());
    for (int noteColumn : {1, 2, 3}) {
        const ScreenPoint cell = cellCentre(first, 0, noteColumn);
        click(environment, cell.x, cell.y);
        std::this_thread::sleep_for(500ms);  // clicks in quick succession would make a double-click
    }
    chooseMenuItem(first, kEditMenu, kCopyTo);
    // A busy machine may take a moment to hand the copy to the clipboard.
    std::string copied;
    for (int tries = 0; tries < 20 && copied != "0~4~C8Q,10!0~5~C!0~6~G"; ++tries) {
        if (tries > 0) std::this_thread::sleep_for(250ms);
        copied = runCommand({"xclip", "-o", "-selection", "clipboard"}, environment, 10s).out;
    }
    EXPECT_EQ(copied, "0~4~C8Q,10!0~5~C!0~6~G");

    runCommand({"xdotool", "windowraise", second.window}, environment);
    std::this_thread::sleep_for(300ms);
    click(environment, destination.x, destination.y);
    chooseMenuItem(second, kEditMenu, kPasteFrom);
    chooseMenuItem(second, kFileMenu, kSaveItem);
    std::this_thread::sleep_for(500ms);
    EXPECT_THAT(lines(fileText(second.folder / "MIDI.txt")), testing::IsSupersetOf({"N4X5C8Q,10", "N4X6C", "N4X7G"}));
}

TEST_F(EditingOnScreen, APlayingSongLongerThanTheWindowIsFollowedByTheGrid)
{
    Song song;
    setNoteColumnCount(song.grid, gridColumnOf(400));
    for (int column = 1; column <= 400; ++column) song.grid.setCellText(0, gridColumnOf(column), "CE");
    const fs::path file = folder.path / "long.nmd";
    ASSERT_TRUE(saveSong(song, file.string()));
    Running program = start("long", {file.string()});
    ASSERT_FALSE(program.window.empty());
    const ScreenPoint channelName = cellCentre(program, 0, 1);
    const auto summary = [&](const std::string& shot) {
        // The pixels of the channel's summary cells, left of its first note cell, while they are in view.
        std::string pixels;
        for (int x = program.geometry.x + 10; x < channelName.x - 40; x += 7)
            pixels += shot.substr((static_cast<std::size_t>(channelName.y) * kScreenWidth + x) * 3, 3);
        return pixels;
    };
    const std::string before = summary(screenshot(environment, kShots / "long-start.png"));
    click(environment, program.play.x, program.play.y);
    std::this_thread::sleep_for(30s);
    const std::string after = summary(screenshot(environment, kShots / "long-playing.png"));
    EXPECT_NE(before, after) << "the grid did not scroll to the playing column";
    pressKey(environment, "ctrl+q");
}

}  // namespace
}  // namespace nimbel
