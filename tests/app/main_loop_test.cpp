// The main event loop pass by pass: one event per pass, a playback step on
// every pass without one, the command table, File New and File Exit, and
// closing the window.
#include "program_fixture.h"

#include "song_columns.h"

namespace nimbel {
namespace {

using testing_support::ProgramTest;

class MainLoop : public ProgramTest {
protected:
    MainLoop()
    {
        startUp(program);
        program.handlers.editCommand = [this](int id) { calls.push_back("edit " + std::to_string(id)); };
        program.handlers.helpTopic = [this](int id) { calls.push_back("help " + std::to_string(id)); };
        program.handlers.channelWindow = [this](int c) { calls.push_back("channel " + std::to_string(c)); };
        program.handlers.songGridClick = [this] { calls.push_back("click"); };
        program.handlers.songGridDoubleClick = [this] { calls.push_back("double"); };
        program.handlers.helpWindowLayout = [this] { calls.push_back("help layout"); };
    }

    void changeSong()
    {
        program.song.grid.setCellText(0, gridColumnOf(3), "D");
        markSongChanged(program.project, program.song);
    }

    std::vector<std::string> calls;
};

TEST_F(MainLoop, APassHandlesOneEventOrElseTakesAPlaybackStep)
{
    std::int64_t before = clock.nowMs();
    EXPECT_EQ(runPass(program), Pass::goOn);
    EXPECT_EQ(clock.nowMs() - before, 40) << "stopped: the step sleeps 40 ms";

    desktop.postEvent(menuEvent(kMainWindow, kHelpAbout));
    desktop.postEvent(menuEvent(kMainWindow, kHelpCredits));
    before = clock.nowMs();
    runPass(program);
    EXPECT_EQ(calls, std::vector<std::string>{"help 193"});
    EXPECT_EQ(clock.nowMs(), before);
    runPass(program);
    EXPECT_EQ(calls.back(), "help 192");
}

TEST_F(MainLoop, DispatchRuleSendsEachIdRangeToItsHandler)
{
    for (int id : {5, 20, 189, 194, 25, 39, 40, 188}) dispatchCommand(program, id);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"edit 5", "edit 20", "help 189", "help 194", "channel 1", "channel 15"}));
}

TEST_F(MainLoop, GridAndResizeEventsReachTheirHandlersAndOtherWindowsGadgetsAreIgnored)
{
    desktop.postEvent(gadgetEvent(kMainWindow, kSongGrid, GadgetAction::leftClick));
    desktop.postEvent(gadgetEvent(kMainWindow, kSongGrid, GadgetAction::doubleClick));
    desktop.postEvent(gadgetEvent(kMainWindow, kSongGrid, GadgetAction::rightClick));
    desktop.postEvent(gadgetEvent(kHelpWindow, kSongGrid, GadgetAction::leftClick));
    desktop.postEvent(resizeEvent(kHelpWindow));
    run(5);
    EXPECT_EQ(calls, (std::vector<std::string>{"click", "double", "help layout"}));
}

TEST_F(MainLoop, MovingTheTrackBarSetsTheCounterAtOnceWhileStopped)
{
    desktop.setTrackBarPosition(kMainWindow, kPositionTrackBar, 7);
    desktop.postEvent(gadgetEvent(kMainWindow, kPositionTrackBar, GadgetAction::changed));
    run(1);
    EXPECT_EQ(desktop.gadgetText(kMainWindow, kNoteCounter), "7");
}

TEST_F(MainLoop, ClosingAnotherWindowClosesItAndPlaybackGoesOn)
{
    desktop.openWindow(kHelpWindow, {"Help", {400, 300}, WindowFrame::resizable, std::nullopt, {}});
    desktop.chooseMenuItem(kMainWindow, kMusicPlay);
    run(1);
    desktop.postEvent(closeRequest(kHelpWindow));
    const std::int64_t before = clock.nowMs();
    EXPECT_EQ(runPass(program), Pass::goOn);
    EXPECT_FALSE(desktop.windowExists(kHelpWindow));
    EXPECT_GT(clock.nowMs(), before) << "the same pass steps playback";
    EXPECT_TRUE(program.sequencer.isPlaying());
}

TEST_F(MainLoop, CloseWithUnsavedChangesStaysOnCancelAndLeavesOnNo)
{
    changeSong();
    script.expectMessage(MessageReply::cancel);
    desktop.postEvent(closeRequest(kMainWindow));
    const std::int64_t before = clock.nowMs();
    EXPECT_EQ(runPass(program), Pass::goOn);
    EXPECT_TRUE(desktop.windowExists(kMainWindow));
    EXPECT_EQ(clock.nowMs() - before, 40);
    EXPECT_EQ(script.messages().at(0).text, "Music file MIDI.txt has changed.\nDo you wish to save changes?");
    EXPECT_TRUE(program.project.changed);

    script.expectMessage(MessageReply::no);
    desktop.postEvent(closeRequest(kMainWindow));
    EXPECT_EQ(runPass(program), Pass::leave);
}

TEST_F(MainLoop, FileExitLeavesAtOnceWithoutAPlaybackStepWhenUnchanged)
{
    desktop.chooseMenuItem(kMainWindow, kFileExit);
    const std::int64_t before = clock.nowMs();
    EXPECT_EQ(runPass(program), Pass::leave);
    EXPECT_EQ(clock.nowMs(), before);
    EXPECT_TRUE(script.messages().empty());
}

TEST_F(MainLoop, FileExitCancelledStaysAndChangedNewProjectYesWithCancelledRequesterDoesNotEnd)
{
    fileNew(program);
    changeSong();
    script.expectMessage(MessageReply::yes);
    script.expectRequesterCancel();
    desktop.chooseMenuItem(kMainWindow, kFileExit);
    EXPECT_EQ(run(3), Pass::goOn);
    EXPECT_TRUE(program.project.changed);
    EXPECT_EQ(script.pending(), 0u);
}

TEST_F(MainLoop, FileNewKeepsTheColumnsAndStartsANewProject)
{
    setNoteColumnCount(program.song.grid, gridColumnOf(40));
    desktop.chooseMenuItem(kMainWindow, kMusicPlay);
    run(2);
    desktop.pressToolButton(kMainWindow, kFileNew);
    run(1);
    EXPECT_EQ(findEndColumn(program.song.grid), gridColumnOf(40));
    for (int row = 0; row < kSongRows; ++row) {
        for (int column = kFirstNoteColumn; column <= gridColumnOf(40); ++column) {
            ASSERT_EQ(program.song.grid.cellText(row, column), "") << row << "," << column;
        }
    }
    // Only channel 1's summary cells show the new song's first record.
    const std::vector<std::string> summary = {"Acoustic Grand Piano", "5", "5"};
    for (int column = kVoiceColumn; column <= kOctaveColumn; ++column) {
        EXPECT_EQ(program.song.grid.cellText(0, column), summary[column - kVoiceColumn]);
        EXPECT_EQ(program.song.grid.cellText(1, column), "");
    }
    EXPECT_EQ(desktop.windowTitle(kMainWindow), "Nimbel MIDI - New Project");
    EXPECT_TRUE(program.project.isNew);
    EXPECT_FALSE(program.sequencer.isPlaying());
    EXPECT_FALSE(program.output.hasSoundingNotes());

    changeSong();
    script.expectRequesterCancel();
    desktop.chooseMenuItem(kMainWindow, kFileSave);
    run(1);
    ASSERT_EQ(script.requesters().size(), 1u) << "the next Save asks for a file name";
    EXPECT_EQ(script.requesters()[0].fileName, "");
}

TEST_F(MainLoop, FileNewWithUnchangedSongAsksNothingAndCancelledPromptChangesNothing)
{
    fileNew(program);
    EXPECT_TRUE(script.messages().empty());
    changeSong();
    program.project.isNew = false;
    program.project.currentPath = folder.string() + "/MIDI.txt";
    program.desktop.setWindowTitle(kMainWindow, "Nimbel MIDI - MIDI.txt");
    script.expectMessage(MessageReply::escapeKey);
    fileNew(program);
    EXPECT_EQ(program.song.grid.cellText(0, gridColumnOf(3)), "D");
    EXPECT_EQ(desktop.windowTitle(kMainWindow), "Nimbel MIDI - MIDI.txt");
    EXPECT_FALSE(program.project.isNew);
}

TEST_F(MainLoop, PlayingTheDemonstrationSongSendsItsNotesFromIdlePasses)
{
    desktop.chooseMenuItem(kMainWindow, kMusicPlay);
    run(1);
    ASSERT_EQ(sent.size(), 15u) << "voice 1 on channels 1 to 15";
    EXPECT_EQ(sent[0].packed, 0x00C1u);
    EXPECT_EQ(sent[14].packed, 0x00CFu);
    run(3);
    bool noteOn = false;
    for (const TimedMessage& m : sent) noteOn |= (m.packed & 0xF0) == 0x90 && (m.packed >> 16) != 0;
    EXPECT_TRUE(noteOn);
    EXPECT_EQ(desktop.gadgetText(kMainWindow, kNoteCounter), "1");
    run(300);
    EXPECT_GT(std::stoi(desktop.gadgetText(kMainWindow, kNoteCounter)), 3) << "columns advance with the clock";
}

}  // namespace
}  // namespace nimbel
