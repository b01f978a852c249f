// The Play, Pause and Stop commands of both windows: where playing starts
// and resumes, what Play sends and rebuilds, and the Music menu's marks.
#include "playback_rig.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing::PlaybackRig;
using testing::playProgramChanges;
using Lines = std::vector<std::string>;

// Notes C, D, E, F, G, A, B, C in columns 1 … 8 of channel 1.
PlaybackRig scale()
{
    return PlaybackRig(10, {{1, 1, "C5Q"},
                            {1, 2, "D5Q"},
                            {1, 3, "E5Q"},
                            {1, 4, "F5Q"},
                            {1, 5, "G5Q"},
                            {1, 6, "A5Q"},
                            {1, 7, "B5Q"},
                            {1, 8, "C6Q"}});
}

// The note number of the first note-on sent from log entry `from` on.
int firstNoteOn(const PlaybackRig& rig, std::size_t from)
{
    for (std::size_t i = from; i < rig.log.size(); ++i)
        if ((rig.log[i].packed & 0xF0) == 0x90 && (rig.log[i].packed >> 16) != 0)
            return (rig.log[i].packed >> 8) & 0xFF;
    return -1;
}

// Chooses Play and runs the first moment; the first note started by it.
int playAndTakeFirstNote(PlaybackRig& rig)
{
    const std::size_t before = rig.log.size();
    rig.play();
    rig.runUntil(rig.origin + 1);
    return firstNoteOn(rig, before);
}

// The Music menu's Play, Pause and Stop marks, as "PHS" with "-" for unmarked.
std::string marks(const PlainMusicChecks& checks)
{
    return std::string(checks.play() ? "P" : "-") + (checks.pause() ? "H" : "-") + (checks.stop() ? "S" : "-");
}

TEST(PlaybackCommands, MainPlaySetsItsMarksAndStartsFromTheTrackBarWhenStopped)
{
    PlaybackRig rig = scale();
    rig.position.setPosition(3);
    rig.play();
    EXPECT_EQ(marks(rig.checks), "P--");
    EXPECT_EQ(rig.sequencer.state().playColumn, 3);
    EXPECT_EQ(rig.sequencer.state().nextColumnTime, Sequencer::kDueAtOnce);
    EXPECT_EQ(rig.lines(), playProgramChanges());
    for (int channel = 1; channel <= 15; ++channel) EXPECT_EQ(rig.song.channels[channel].voice, 1);
    rig.runUntil(rig.origin + 1);
    EXPECT_EQ(firstNoteOn(rig, 0), 0x40);  // E, column 3
}

TEST(PlaybackCommands, StopThenPlayStartsAtColumnOneOrWhereTheTrackBarWasMoved)
{
    PlaybackRig rig = scale();
    rig.play();
    rig.runUntil(rig.origin + 1200);
    rig.sequencer.mainStop(rig.position, rig.checks);
    EXPECT_EQ(marks(rig.checks), "--S");
    EXPECT_EQ(rig.sequencer.state().playColumn, 0);
    EXPECT_EQ(rig.sequencer.state().nextColumnTime, Sequencer::kDueAtOnce);
    EXPECT_EQ(rig.position.position(), 1);
    EXPECT_EQ(rig.position.counterText(), "1");
    EXPECT_FALSE(rig.sequencer.isPlaying());
    EXPECT_EQ(playAndTakeFirstNote(rig), 0x3C);

    rig.sequencer.mainStop(rig.position, rig.checks);
    rig.position.setPosition(7);
    EXPECT_EQ(playAndTakeFirstNote(rig), 0x47);  // B, column 7
}

TEST(PlaybackCommands, PauseHoldsTheColumnAndPlayResumesThereWhateverTheTrackBarShows)
{
    PlaybackRig rig = scale();
    rig.play();
    rig.runUntil(rig.origin + 1200);  // columns 1 to 3 played
    rig.sequencer.mainPause(rig.checks);
    EXPECT_EQ(marks(rig.checks), "-H-");
    EXPECT_EQ(rig.sequencer.state().nextColumnTime, Sequencer::kPaused);
    const std::size_t paused = rig.log.size();
    rig.runUntil(rig.origin + 5000);
    EXPECT_EQ(firstNoteOn(rig, paused), -1);  // only note-offs while paused

    rig.position.setPosition(7);
    EXPECT_EQ(playAndTakeFirstNote(rig), 0x41);  // F, column 4
}

TEST(PlaybackCommands, AfterTheEndPlayStartsFromColumnOne)
{
    PlaybackRig rig(3, {{1, 1, "C5Q"}, {1, 3, "E5Q"}});
    rig.position.setPosition(3);
    rig.play();
    rig.runUntil(rig.origin + 2000);
    EXPECT_EQ(rig.sequencer.state().playColumn, 1);
    rig.position.setPosition(2);
    EXPECT_EQ(playAndTakeFirstNote(rig), 0x3C);
}

TEST(PlaybackCommands, PlayWhilePlayingKeepsTheColumnMakesItDueAndSendsTheVoicesAgain)
{
    PlaybackRig rig = scale();
    rig.play();
    rig.runUntil(rig.origin + 1200);  // column 4 is due at 1500
    const std::size_t before = rig.log.size();
    rig.play();
    EXPECT_EQ(rig.sequencer.state().playColumn, 4);
    rig.runUntil(rig.origin + 1);
    EXPECT_EQ(rig.lines(before), testing::concat(playProgramChanges(), {"0 91 40 00", "0 91 41 46"}));
    // The schedule runs on from this Play.
    rig.runUntil(rig.origin + 501);
    EXPECT_EQ(rig.lines(before).back(), "500 91 43 46");
}

TEST(PlaybackCommands, PlayRebuildsAStaleNoteListSoEditsSound)
{
    PlaybackRig rig = scale();
    rig.song.grid.setCellText(1, gridColumnOf(1), "G3Q");
    rig.play();
    rig.runUntil(rig.origin + 1);
    EXPECT_EQ(rig.lines(15), (Lines{"0 91 3C 46"}));  // not stale: the edit is not heard

    rig.sequencer.mainStop(rig.position, rig.checks);
    rig.song.noteListStale = true;
    const std::size_t before = rig.log.size();
    rig.play();
    EXPECT_FALSE(rig.song.noteListStale);
    rig.runUntil(rig.origin + 1);
    const Lines lines = rig.lines(before);
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"0 91 3C 46", "0 92 2B 46"}));
}

TEST(PlaybackCommands, ChannelWindowCommandsMoveOnlyThePlaybackState)
{
    PlaybackRig rig = scale();
    PlainPositionDisplay channelBar;
    channelBar.setMaximum(10);
    channelBar.setPosition(5);
    rig.sequencer.channelPlay(channelBar);
    EXPECT_EQ(rig.sequencer.state().playColumn, 5);
    EXPECT_TRUE(rig.log.empty());  // no voices, no rebuild
    rig.origin = rig.clock.nowMs();
    while (rig.clock.nowMs() < rig.origin + 600) rig.sequencer.playbackStep(channelBar);
    EXPECT_EQ(channelBar.counterText(), "6");
    EXPECT_EQ(rig.position.counterText(), "1");  // the main window's pair is untouched

    rig.sequencer.channelPause();
    EXPECT_EQ(rig.sequencer.state().nextColumnTime, Sequencer::kPaused);
    channelBar.setPosition(2);
    rig.sequencer.channelPlay(channelBar);  // always from its track bar, also when paused
    EXPECT_EQ(rig.sequencer.state().playColumn, 2);

    rig.sequencer.channelStop(channelBar);
    EXPECT_EQ(rig.sequencer.state().playColumn, 0);
    EXPECT_EQ(rig.sequencer.state().nextColumnTime, Sequencer::kDueAtOnce);
    EXPECT_EQ(channelBar.position(), 1);
    EXPECT_EQ(channelBar.counterText(), "1");
    EXPECT_FALSE(rig.checks.stop());  // the Channel Window has no Music menu
}

TEST(PlaybackCommands, ResetPlaybackStopsWithNothingDueAndTakesTheListAsFresh)
{
    PlaybackRig rig = scale();
    rig.play();
    rig.runUntil(rig.origin + 700);
    rig.song.noteListStale = true;
    rig.sequencer.endSoundingNotes();
    rig.sequencer.resetPlayback();
    EXPECT_EQ(rig.sequencer.state().playColumn, 0);
    EXPECT_EQ(rig.sequencer.state().nextColumnTime, Sequencer::kPaused);
    EXPECT_FALSE(rig.song.noteListStale);
    EXPECT_FALSE(rig.sequencer.nextDueTime().has_value());
    EXPECT_FALSE(rig.output.hasSoundingNotes());
    rig.runUntil(rig.origin + 700 + 1);
    EXPECT_EQ(rig.clock.lastSleepMs(), Sequencer::kIdleSleepMs);
}

}  // namespace
}  // namespace nimbel
