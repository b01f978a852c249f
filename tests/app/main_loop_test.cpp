// The main event loop pass by pass: one event per pass, a playback step on
// every pass without one, File New and File Exit, and closing windows.
#include "program_fixture.h"

#include "dialog_controls.h"
#include "song_columns.h"
#include "tempo_window.h"

namespace nimbel {
namespace {

using namespace testing_support;

class MainLoop : public ProgramTest {
protected:
    MainLoop()
    {
        startUp(program);
        program.handlers.editCommand = [this](int id) { calls.push_back("edit " + std::to_string(id)); };
        program.handlers.helpTopic = [this](int id) { calls.push_back("help " + std::to_string(id)); };
        program.handlers.channelWindow = [this](int c) { calls.push_back("channel " + std::to_string(c)); };
        program.handlers.songGrid = [this](const Event&) { calls.push_back("grid"); };
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
    driver.post(menuEvent(kMainWindow, kHelpAbout));
    driver.post(menuEvent(kMainWindow, kHelpCredits));
    const std::int64_t before = clock.nowMs();
    run(3);
    EXPECT_EQ(calls, (std::vector<std::string>{"help 193", "help 192"}));
    EXPECT_EQ(clock.nowMs() - before, 40) << "one pass without an event: a playback step, 40 ms while stopped";
}

TEST_F(MainLoop, MovingTheTrackBarSetsTheCounterAtOnceWhileStopped)
{
    gadgets.setTrackBarPosition(kMainWindow, kPositionTrackBar, 7);
    driver.post(gadgetEvent(kMainWindow, kPositionTrackBar, GadgetAction::changed));
    run(1);
    EXPECT_EQ(gadgets.gadgetText(kMainWindow, kNoteCounter), "7");
}

TEST_F(MainLoop, ClosingAnotherWindowClosesItAndPlaybackGoesOn)
{
    desktop.openWindow(kHelpWindow, {"Help", {400, 300}, WindowFrame::resizable, std::nullopt, {}});
    driver.chooseMenuItem(kMainWindow, kMusicPlay);
    run(1);
    driver.post(closeRequest(kHelpWindow));
    const std::int64_t before = clock.nowMs();
    EXPECT_EQ(runPass(program), Pass::goOn);
    EXPECT_FALSE(desktop.windowExists(kHelpWindow));
    EXPECT_GT(clock.nowMs(), before) << "the same pass steps playback";
    EXPECT_TRUE(program.sequencer.isPlaying());
}

TEST(LeavingTheProgram, AClosedMainWindowFileExitOrFileNewGoOnlyWhenThePromptProceeds)
{
    const std::string asked = "Music file MIDI.txt has changed.\nDo you wish to save changes?";
    struct Case {
        const char* name;
        Event event;
        bool changed;
        std::vector<MessageReply> replies;  // then the file requester is cancelled
        Pass pass;
        std::string question;
    };
    const Event close = closeRequest(kMainWindow);
    const Event exit = menuEvent(kMainWindow, kFileExit);
    const std::vector<Case> cases = {
        {"closed unchanged", close, false, {}, Pass::leave, ""},
        {"closed, Cancel", close, true, {MessageReply::cancel}, Pass::goOn, asked},
        {"closed, No", close, true, {MessageReply::no}, Pass::leave, asked},
        {"File Exit unchanged", exit, false, {}, Pass::leave, ""},
        {"File New, Escape", menuEvent(kMainWindow, kFileNew), true, {MessageReply::escapeKey}, Pass::goOn, asked},
        {"File Exit, Yes, but no file chosen",
         exit,
         true,
         {MessageReply::yes},
         Pass::goOn,
         "Your new music file has changed.\nDo you wish to save changes?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestProgram p(OffscreenApplication::application());
        ASSERT_TRUE(startUp(p.program));
        if (c.changed) markSongChanged(p.program.project, p.program.song);
        p.program.project.isNew = c.name == std::string("File Exit, Yes, but no file chosen");
        for (const MessageReply reply : c.replies) p.script.expectMessage(reply);
        p.script.expectRequesterCancel();
        p.driver.post(c.event);
        const std::int64_t before = p.clock.nowMs();
        EXPECT_EQ(runPass(p.program), c.pass);
        const bool quiet = c.event.kind == EventKind::closeRequest && c.pass == Pass::goOn;  // the close was refused
        EXPECT_EQ(p.clock.nowMs() - before, quiet ? Sequencer::kIdleSleepMs : 0) << "only a quiet pass steps playback";
        EXPECT_EQ(p.script.messages().empty() ? "" : p.script.messages()[0].text, c.question);
        EXPECT_TRUE(p.desktop.windowExists(kMainWindow));
        EXPECT_EQ(p.program.project.changed, c.changed && c.pass == Pass::goOn);
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
    EXPECT_EQ(driver.windowTitle(kMainWindow), "Nimbel MIDI - New Project");
    EXPECT_TRUE(program.project.isNew);
    EXPECT_FALSE(program.sequencer.isPlaying());
    EXPECT_FALSE(program.output.hasSoundingNotes());

    changeSong();
    script.expectRequesterCancel();
    driver.chooseMenuItem(kMainWindow, kFileSave);
    run(1);
    ASSERT_EQ(script.requesters().size(), 1u) << "the next Save asks for a file name";
    EXPECT_EQ(script.requesters()[0].fileName, "");
}

TEST(TempoWindow, SetsTheTempoAsOneUndoStepThatAPlayingSongTakesAtItsNextColumn)
{
    TestProgram p(OffscreenApplication::application());
    ASSERT_TRUE(startUp(p.program));
    const auto chooseTempo = [&](std::function<void()> answer) {
        p.driver.act(std::move(answer));
        dispatchCommand(p.program, kMusicTempo);
    };
    dispatchCommand(p.program, kMusicPlay);
    p.run(1);
    const std::int64_t due = *p.program.sequencer.nextDueTime();
    chooseTempo([&] {
        EXPECT_EQ(DialogControls(p.desktop).number(kTempoWindow, tempo_window::kTempoField), 120);
        p.driver.setNumber(kTempoWindow, tempo_window::kTempoField, 60);
        p.driver.press(kTempoWindow, tempo_window::kOkButton);
    });
    EXPECT_EQ(p.program.song.grid.cellText(0, kChannelColumn), "1 T60");
    EXPECT_TRUE(p.program.project.changed);
    p.clock.advanceTo(due + 1);
    p.run(1);
    EXPECT_EQ(*p.program.sequencer.nextDueTime(), due + 1000) << "the next column a second later";

    chooseTempo([&] { p.driver.type(kTempoWindow, "<Escape>"); });
    EXPECT_EQ(p.program.song.tempo, 60);
    dispatchCommand(p.program, kEditUndo);
    EXPECT_EQ(std::pair(p.program.song.tempo, p.program.song.grid.cellText(0, kChannelColumn)),
              std::pair(120, std::string("1 T120")));
}

}  // namespace
}  // namespace nimbel
