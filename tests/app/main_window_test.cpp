// The main window as the user works it and its event loop: each menu item
// and toolbar button found by the text it shows does what it says, the
// layout rule at start and after resizing, and the Music menu's check marks;
// the loop pass by pass, one event per pass and a playback step on every
// pass without one, File New and File Exit, closing windows, and the changes
// of a song kept and marked in the title until they are saved or discarded.
#include "program_fixture.h"

#include "dialog_controls.h"
#include "song_columns.h"
#include "tempo_window.h"

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
using MainLoop = MainWindow;

// Chooses the menu item or presses the toolbar button (menu "") that shows
// `text`, as the user would; false when none shows it.
bool choose(TestProgram& p, const std::string& menu, const std::string& text)
{
    for (const ShownToolButton& button : p.driver.toolBar(kMainWindow))
        if (menu.empty() && button.tooltip == text) return p.driver.pressToolButton(kMainWindow, button.command), true;
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

TEST_F(MainLoop, APassHandlesOneEventOrElseTakesAPlaybackStep)
{
    gadgets.setTrackBarPosition(kMainWindow, kPositionTrackBar, 7);
    driver.post(gadgetEvent(kMainWindow, kPositionTrackBar, GadgetAction::changed));
    driver.post(menuEvent(kMainWindow, kHelpAbout));
    driver.post(closeRequest(kHelpWindow));
    const std::int64_t before = clock.nowMs();
    run(1);
    EXPECT_EQ(gadgets.gadgetText(kMainWindow, kNoteCounter), "7") << "moving the track bar sets the counter at once";
    run(1);
    EXPECT_EQ(driver.windowTitle(kHelpWindow), "About Nimbel MIDI") << "one event a pass";
    run(1);
    EXPECT_FALSE(desktop.windowExists(kHelpWindow));
    EXPECT_EQ(clock.nowMs() - before, 40)
        << "another window's close: the same pass steps playback, 40 ms while stopped";
}

TEST(LeavingTheProgram, AClosedMainWindowFileExitOrFileNewGoOnlyWhenThePromptProceeds)
{
    struct Case {
        const char* name;
        Event event;
        MessageReply reply;  // to the question about the changed song
        Pass pass;
    };
    const std::vector<Case> cases = {
        {"closed, Cancel", closeRequest(kMainWindow), MessageReply::cancel, Pass::goOn},
        {"closed, No", closeRequest(kMainWindow), MessageReply::no, Pass::leave},
        {"File New, Escape", menuEvent(kMainWindow, kFileNew), MessageReply::escapeKey, Pass::goOn},
        {"File Exit, Cancel", menuEvent(kMainWindow, kFileExit), MessageReply::cancel, Pass::goOn},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestProgram p(OffscreenApplication::application());
        ASSERT_TRUE(startUp(p.program));
        markSongChanged(p.program.project, p.program.song);
        p.run(1);  // a quiet pass marks the title and keeps the changes in the recovery file
        p.program.recovery.waitUntilWritten();
        EXPECT_TRUE(std::filesystem::exists(p.program.recoveryStore.ownFile()));
        p.script.expectMessage(c.reply);
        p.driver.post(c.event);
        const std::int64_t before = p.clock.nowMs();
        EXPECT_EQ(runPass(p.program), c.pass);
        const bool quiet = c.event.kind == EventKind::closeRequest && c.pass == Pass::goOn;  // the close was refused
        EXPECT_EQ(p.clock.nowMs() - before, quiet ? Sequencer::kIdleSleepMs : 0) << "only a quiet pass steps playback";
        EXPECT_EQ(p.script.unanswered(), 0);
        EXPECT_TRUE(p.desktop.windowExists(kMainWindow));
        EXPECT_EQ(p.program.project.changed, c.pass == Pass::goOn);
        EXPECT_EQ(p.driver.windowTitle(kMainWindow),
                  p.program.project.changed ? "Nimbel MIDI - MIDI.txt *" : "Nimbel MIDI - MIDI.txt");
    }
}

TEST_F(MainLoop, FileNewKeepsTheColumnsAndStartsANewProject)
{
    setNoteColumnCount(program.song.grid, gridColumnOf(40));
    driver.chooseMenuItem(kMainWindow, kMusicPlay);
    run(2);
    driver.pressToolButton(kMainWindow, kFileNew);
    run(1);
    EXPECT_EQ(findEndColumn(program.song.grid), gridColumnOf(40));
    EXPECT_EQ(program.song.grid.cellText(0, gridColumnOf(1)), "") << "the demonstration song's first note";
    // Only channel 1's summary cells show the new song's first record.
    const std::vector<std::string> summary = {"Acoustic Grand Piano", "5", "5"};
    for (int column = kVoiceColumn; column <= kOctaveColumn; ++column) {
        EXPECT_EQ(program.song.grid.cellText(0, column), summary[column - kVoiceColumn]);
        EXPECT_EQ(program.song.grid.cellText(1, column), "");
    }
    EXPECT_EQ(std::pair(program.project.currentPath, program.project.isNew), std::pair(std::string(), true));
    EXPECT_FALSE(program.sequencer.isPlaying());
}

TEST_F(MainLoop, TheTempoWindowSetsTheTempoAsOneUndoStepThatAPlayingSongTakesAtItsNextColumn)
{
    dispatchCommand(program, kMusicPlay);
    run(1);
    const std::int64_t due = *program.sequencer.nextDueTime();
    // Each answer is acted inside the Tempo Window's own loop, which Music Tempo then runs.
    driver.act([&] {
        EXPECT_EQ(DialogControls(desktop).number(kTempoWindow, tempo_window::kTempoField), 120);
        driver.setNumber(kTempoWindow, tempo_window::kTempoField, 60);
        driver.press(kTempoWindow, tempo_window::kOkButton);
    });
    dispatchCommand(program, kMusicTempo);
    EXPECT_EQ(program.song.grid.cellText(0, kChannelColumn), "1 T60");
    EXPECT_TRUE(program.project.changed);
    clock.advanceTo(due + 1);
    run(1);
    EXPECT_EQ(*program.sequencer.nextDueTime(), due + 1000) << "the next column a second later";

    driver.act([&] { driver.type(kTempoWindow, "<Escape>"); });
    dispatchCommand(program, kMusicTempo);
    EXPECT_EQ(program.song.tempo, 60);
    dispatchCommand(program, kEditUndo);
    EXPECT_EQ(std::pair(program.song.tempo, program.song.grid.cellText(0, kChannelColumn)),
              std::pair(120, std::string("1 T120")));
}

}  // namespace
}  // namespace nimbel
