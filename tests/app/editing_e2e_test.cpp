// Editing in the real program on a real display, as a user does it: a song
// opened from its command line, notes typed with the keyboard alone, saved,
// and the program left; cells carried between two running copies through
// the system clipboard; and a long song followed by the grid as it plays.
#include "real_program.h"

#include "song.h"
#include "song_columns.h"
#include "song_file.h"

#include <gtest/gtest.h>

#include <thread>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
namespace fs = std::filesystem;

constexpr int kFileMenu = 18;  // the menu titles' offsets in the menu bar
constexpr int kEditMenu = 55;
constexpr int kSaveItem = 3;
enum EditItem { kCopyTo = 6, kPasteFrom = 7 };

std::string pixelAt(const std::string& rgb, ScreenPoint p)
{
    const std::size_t at = (static_cast<std::size_t>(p.y) * 1024 + static_cast<std::size_t>(p.x)) * 3;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", static_cast<unsigned char>(rgb[at]),
                  static_cast<unsigned char>(rgb[at + 1]), static_cast<unsigned char>(rgb[at + 2]));
    return hex;
}

bool hasLines(const fs::path& file, const std::vector<std::string>& wanted)
{
    const std::vector<std::string> all = lines(fileText(file));
    for (const std::string& line : wanted)
        if (std::find(all.begin(), all.end(), line) == all.end()) return false;
    return true;
}

class EditingOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string tool = missingEndToEndTool(); !tool.empty()) GTEST_SKIP() << tool << " is not installed";
        session = std::make_unique<RealProgramSession>();
        ASSERT_TRUE(session->ready()) << "Xvfb or PulseAudio did not start";
    }
    RealProgramSession::Running start(const std::string& name, const std::vector<std::string>& arguments = {})
    {
        RealProgramSession::Running running = session->start(name, arguments);
        EXPECT_FALSE(running.window.empty())
            << "no main window; it said: " << fileText(running.folder / "nimbel-midi.log");
        EXPECT_GT(running.play.x, 0) << "the Play button is not on the screen";
        return running;
    }
    const EnvironmentChanges& environment() const { return session->environment(); }

    std::unique_ptr<RealProgramSession> session;
};

TEST_F(EditingOnScreen, AMelodyAndABassTypedWithTheKeyboardAloneAreSaved)
{
    // Started with a song named relative to the working folder, as a shell passes it.
    const fs::path workingFolder = session->folder().path / "elsewhere";
    fs::create_directories(workingFolder);
    writeFile(workingFolder / "song.nmd", dataFile("demo_song_saved.nmd"));
    RealProgramSession::Running program = start("keyboard", {"song.nmd"});
    ASSERT_FALSE(program.window.empty());
    EXPECT_FALSE(waitForWindow(environment(), "^Nimbel MIDI - song\\.nmd$", 10s).empty()) << "song.nmd not opened";
    // Without a window manager the keyboard goes to the window under the
    // pointer: it rests over the grid, and nothing is clicked.
    const ScreenPoint grid = RealProgramSession::cellCentre(program, 5, 3);
    runCommand({"xdotool", "mousemove", std::to_string(grid.x), std::to_string(grid.y)}, environment());
    const std::vector<std::string> melody = {"C", "D", "E", "F", "G", "A", "B", "C",
                                             "C", "B", "A", "G", "F", "E", "D", "C"};
    const std::vector<std::string> bass = {"C3H", "E3H", "G3H", "C3H", "F3H", "A3H", "G3H", "C3H"};
    const auto joined = [](const std::vector<std::string>& notes) {
        std::string text;
        for (const std::string& note : notes) text += (text.empty() ? "" : " ") + note;
        return text;
    };
    pressKey(environment(), "ctrl+n");
    typeText(environment(), joined(melody));
    pressKey(environment(), "Return");
    pressKey(environment(), "Down");
    pressKey(environment(), "Home");
    typeText(environment(), joined(bass));
    pressKey(environment(), "Return");
    std::this_thread::sleep_for(500ms);
    screenshot(environment(), RealProgramSession::shots() / "keyboard-typed.png");
    pressKey(environment(), "ctrl+z");
    pressKey(environment(), "ctrl+y");
    const fs::path song = session->folder().path / "typed.nmd";
    pressKey(environment(), "ctrl+shift+s");
    ASSERT_FALSE(waitForWindow(environment(), "^Save Nimbel MIDI", 10s).empty()) << "no requester";
    std::this_thread::sleep_for(800ms);
    typeText(environment(), song.string());
    pressKey(environment(), "Return");
    ASSERT_FALSE(waitForWindow(environment(), "^Nimbel MIDI - typed.nmd$", 10s).empty()) << "not saved";
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < melody.size(); ++i) expected.push_back("N1X" + std::to_string(i + 1) + melody[i]);
    for (std::size_t i = 0; i < bass.size(); ++i) expected.push_back("N2X" + std::to_string(i + 1) + bass[i]);
    EXPECT_TRUE(hasLines(song, expected)) << fileText(song);
    pressKey(environment(), "ctrl+q");
    EXPECT_EQ(program.process->waitFor(15s), std::optional<int>(0));
    EXPECT_TRUE(fs::exists(program.folder / "MIDI.txt"));
    EXPECT_FALSE(fs::exists(workingFolder / "MIDI.txt")) << "files live beside the program";
    EXPECT_FALSE(fs::exists(program.folder / "NimbelMIDI.ini"));
}

TEST_F(EditingOnScreen, CopyToAndPasteFromCarryCellsBetweenTwoRunningCopies)
{
    RealProgramSession::Running second = start("second");
    ASSERT_FALSE(second.window.empty());
    session->moveTo(second, 0, 470);  // the bottom left corner, below the first copy's cells
    const ScreenPoint destination = RealProgramSession::cellCentre(second, 3, 5);

    RealProgramSession::Running first = start("first");
    ASSERT_FALSE(first.window.empty());
    for (int noteColumn : {1, 2, 3}) {
        const ScreenPoint cell = RealProgramSession::cellCentre(first, 0, noteColumn);
        click(environment(), cell.x, cell.y);
        std::this_thread::sleep_for(500ms);  // clicks in quick succession would make a double-click
    }
    session->chooseMenuItem(first, kEditMenu, kCopyTo);
    // A busy machine may take a moment to hand the copy to the clipboard.
    std::string copied;
    for (int tries = 0; tries < 20 && copied != "0~4~C8Q,10!0~5~C!0~6~G"; ++tries) {
        if (tries > 0) std::this_thread::sleep_for(250ms);
        copied = runCommand({"xclip", "-o", "-selection", "clipboard"}, environment(), 10s).out;
    }
    EXPECT_EQ(copied, "0~4~C8Q,10!0~5~C!0~6~G");

    runCommand({"xdotool", "windowraise", second.window}, environment());
    std::this_thread::sleep_for(300ms);
    click(environment(), destination.x, destination.y);
    session->chooseMenuItem(second, kEditMenu, kPasteFrom);
    session->chooseMenuItem(second, kFileMenu, kSaveItem);
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(hasLines(second.folder / "MIDI.txt", {"N4X5C8Q,10", "N4X6C", "N4X7G"}))
        << fileText(second.folder / "MIDI.txt");
}

TEST_F(EditingOnScreen, APlayingSongLongerThanTheWindowIsFollowedByTheGrid)
{
    Song song;
    setNoteColumnCount(song.grid, gridColumnOf(400));
    for (int column = 1; column <= 400; ++column) song.grid.setCellText(0, gridColumnOf(column), "CE");
    const fs::path file = session->folder().path / "long.nmd";
    ASSERT_TRUE(saveSong(song, file.string()));
    RealProgramSession::Running program = session->start("long", {file.string()});
    ASSERT_FALSE(program.window.empty());
    const ScreenPoint channelName = RealProgramSession::cellCentre(program, 0, 1);
    const auto summary = [&](const std::string& shot) {
        // The channel's summary cells, left of its first note cell, while they are in view.
        std::string pixels;
        for (int x = program.geometry.x + 10; x < channelName.x - 40; x += 7)
            pixels += pixelAt(shot, {x, channelName.y});
        return pixels;
    };
    const std::string before = summary(screenshot(environment(), RealProgramSession::shots() / "long-start.png"));
    click(environment(), program.play.x, program.play.y);
    std::this_thread::sleep_for(30s);
    const std::string after = summary(screenshot(environment(), RealProgramSession::shots() / "long-playing.png"));
    EXPECT_NE(before, after) << "the grid did not scroll to the playing column";
    pressKey(environment(), "ctrl+q");
}

}  // namespace
}  // namespace nimbel
