// The main window as the user works it: each menu item and toolbar button
// found by the text it shows does what it says, the layout rule at start and
// after resizing, and the Music menu's check marks.
#include "program_fixture.h"

namespace nimbel {
namespace {

using namespace testing_support;

class MainWindow : public ProgramTest {
protected:
    MainWindow() { startUp(program); }

    void expectLaidOut()
    {
        const Size inner = desktop.innerSize(kMainWindow);
        const int toolBar = Menus(desktop).toolBarHeight(kMainWindow);
        EXPECT_EQ(gadgets.gadgetRect(kMainWindow, kPositionTrackBar),
                  (Rect{70, inner.height - 45, inner.width - 75, 30}));
        EXPECT_EQ(gadgets.gadgetRect(kMainWindow, kNoteCounter), (Rect{10, inner.height - 45, 50, 20}));
        EXPECT_EQ(gadgets.gadgetRect(kMainWindow, kSongGrid),
                  (Rect{0, toolBar, inner.width, inner.height - (toolBar + 45)}));
    }
};

// Chooses the menu item or presses the toolbar button (menu "") that shows
// `text`, as the user would; false when none shows it.
bool choose(TestProgram& p, const std::string& menu, const std::string& text)
{
    if (menu.empty()) {
        for (const ShownToolButton& button : p.driver.toolBar(kMainWindow))
            if (button.tooltip == text) return p.driver.pressToolButton(kMainWindow, button.command), true;
        return false;
    }
    for (const Menu& shown : p.driver.menuBar(kMainWindow))
        for (const MenuEntry& item : shown.items)
            if (shown.title == menu && item.text == text)
                return p.driver.chooseMenuItem(kMainWindow, item.command), true;
    return false;
}

// What the user can see after one pass: the title, the requesters and the
// Music marks, whether the project file was written, the Channel Window asked
// for, and the Help Window's title.
std::string whatHappened(TestProgram& p, Pass pass)
{
    std::string seen = p.driver.windowTitle(kMainWindow) + " |";
    for (const ShownRequester& requester : p.script.requesters()) seen += " " + requester.title;
    seen += std::string(" | ") + (p.driver.menuChecked(kMainWindow, kMusicPlay) ? "P" : "-") +
            (p.driver.menuChecked(kMainWindow, kMusicPause) ? "H" : "-") +
            (p.driver.menuChecked(kMainWindow, kMusicStop) ? "S" : "-");
    if (testing_support::fileText(p.folder / "MIDI.txt").starts_with(";Nimbel MIDI Format")) seen += " | saved";
    if (pass == Pass::leave) seen += " | ends";
    if (p.desktop.windowExists(kHelpWindow)) seen += " | help: " + p.driver.windowTitle(kHelpWindow);
    return seen;
}

TEST(MainWindowCommands, EachMenuItemAndToolbarButtonDoesWhatItShows)
{
    const std::string demo = "Nimbel MIDI - MIDI.txt |";
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"File", "New", "Nimbel MIDI - New Project | | ---"},
        {"File", "Open", demo + " Open Nimbel MIDI Project | ---"},
        {"File", "Save", demo + " | --- | saved"},
        {"File", "Save As", demo + " Save Nimbel MIDI | ---"},
        {"File", "Exit", demo + " | --- | ends"},
        {"Music", "Play", demo + " | P--"},
        {"Music", "Pause", demo + " | -H-"},
        {"Music", "Stop", demo + " | --S"},
        {"View", "Channel 15", demo + " | --- | channel 15"},
        {"Help", "Contents", demo + " | --- | help: Contents:"},
        {"Help", "Quick Start", demo + " | --- | help: Quick Start Guide"},
        {"Help", "File Format", demo + " | --- | help: File Format:"},
        {"Help", "Credits", demo + " | --- | help: Credits"},
        {"Help", "About", demo + " | --- | help: About Nimbel MIDI"},
        {"", "Help Main Window", demo + " | --- | help: Main Window"},
        {"", "New Project", "Nimbel MIDI - New Project | | ---"},
        {"", "Open Project", demo + " Open Nimbel MIDI Project | ---"},
        {"", "Save Project", demo + " | --- | saved"},
        {"", "Stop music and go to start", demo + " | --S"},
        {"", "Pause music at location", demo + " | -H-"},
        {"", "Play music from current location", demo + " | P--"},
    };
    for (const auto& [menu, text, expected] : cases) {
        SCOPED_TRACE(menu + " " + text);
        TestProgram p(OffscreenApplication::application());
        ASSERT_TRUE(startUp(p.program));
        std::string channel;
        p.program.handlers.channelWindow = [&](int c) { channel = " | channel " + std::to_string(c); };
        p.script.expectRequesterCancel();
        ASSERT_TRUE(choose(p, menu, text));
        EXPECT_EQ(whatHappened(p, p.run(1)) + channel, expected);
    }
}

TEST_F(MainWindow, StartsAtColumnOneLaidOutAndIsLaidOutAgainWhenResized)
{
    EXPECT_EQ(gadgets.gadgetText(kMainWindow, kNoteCounter), "1");
    EXPECT_EQ(gadgets.trackBarPosition(kMainWindow, kPositionTrackBar), 1);
    expectLaidOut();
    driver.resizeWindow(kMainWindow, {700, 400});
    run(1);
    expectLaidOut();
}

}  // namespace
}  // namespace nimbel
