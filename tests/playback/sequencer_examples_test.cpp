// The sequencer's worked examples: what a column step sends and when, how
// notes end (by their own off-time, or cut at the next column), rests, and
// the running octave of records that give none.
#include "playback_rig.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing::concat;
using testing::PlaybackRig;
using testing::playProgramChanges;
using Lines = std::vector<std::string>;

TEST(SequencerExamples, QuarterNoteEndsAfterHalfASecondAndThePlaybackPausesAtColumnOne)
{
    PlaybackRig rig(2, {{1, 1, "C5Q"}});
    rig.play();
    rig.runUntil(rig.origin + 1500);
    EXPECT_EQ(rig.lines(), concat(playProgramChanges(), {"0 91 3C 46", "500 91 3C 00", "500 91 3C 00"}));
    EXPECT_EQ(rig.sequencer.state().playColumn, 1);
    EXPECT_EQ(rig.sequencer.state().nextColumnTime, Sequencer::kPaused);
    EXPECT_EQ(rig.position.position(), 2);  // the last column played
    EXPECT_EQ(rig.position.counterText(), "2");
    EXPECT_FALSE(rig.output.hasSoundingNotes());
}

TEST(SequencerExamples, NotesLongerThanABeatAreCutAtTheNextColumn)
{
    PlaybackRig rig(3, {{1, 1, "C5H"}});
    rig.play();
    rig.runUntil(rig.origin + 2000);
    EXPECT_EQ(rig.lines(), concat(playProgramChanges(), {"0 91 3C 46", "500 91 3C 00", "1000 91 3C 00"}));
}

TEST(SequencerExamples, EighthNoteEndsByItsOffTimeAndAgainAtTheNextColumn)
{
    PlaybackRig rig(2, {{1, 1, "G5E"}});  // after C the E would be the note letter
    rig.play();
    rig.runUntil(rig.origin + 1000);
    EXPECT_EQ(rig.lines(), concat(playProgramChanges(), {"0 91 43 46", "250 91 43 00", "500 91 43 00"}));
    EXPECT_EQ(rig.song.noteList.at(1).offTime, 0);
}

TEST(SequencerExamples, RestSendsNothingAndLeavesNoNoteSounding)
{
    PlaybackRig rig(3, {{1, 1, "C5H"}, {1, 2, "R"}});
    rig.play();
    rig.runUntil(rig.origin + 3000);
    EXPECT_EQ(rig.lines(), concat(playProgramChanges(), {"0 91 3C 46", "500 91 3C 00"}));
    EXPECT_FALSE(rig.output.hasSoundingNotes());
}

TEST(SequencerExamples, RecordsWithoutOctaveTakeTheRunningOctaveAndEndTheNoteTheyStarted)
{
    // Channel 2: "D" is read before any octave (octave 0), and the rebuild
    // leaves octave 3 from "C3Q" as the channel's running octave. Channel 3
    // never names an octave, so it plays in octave 5.
    PlaybackRig rig(3, {{2, 1, "D"}, {2, 2, "C3Q"}, {3, 1, "E"}});
    ASSERT_EQ(rig.song.noteList.at(1).octave, 0);
    rig.play();
    rig.runUntil(rig.origin + 2000);
    EXPECT_EQ(rig.lines(), concat(playProgramChanges(), {
                                                            "0 92 26 46",  // D in octave 3
                                                            "0 93 40 46",  // E in octave 5
                                                            "500 92 26 00",
                                                            "500 93 40 00",
                                                            "500 92 24 46",
                                                            "1000 92 24 00",
                                                            "1000 92 24 00",
                                                            "1000 93 40 00",
                                                        }));
    EXPECT_FALSE(rig.output.hasSoundingNotes());
}

TEST(SequencerExamples, PausedNoteStillEndsAtItsOffTimeWithItsOwnNoteNumber)
{
    PlaybackRig rig(4, {{4, 1, "E"}});  // octave 0: sounds as 64, not as 4
    rig.play();
    rig.runUntil(rig.origin + 100);
    rig.sequencer.mainPause(rig.checks);
    const std::size_t before = rig.log.size();
    rig.runUntil(rig.origin + 1100);
    ASSERT_EQ(rig.log.size(), before + 1);
    const TimedMessage& off = rig.log.back();
    EXPECT_EQ(off.packed, 0x004094u);
    EXPECT_GE(off.timeMs - rig.origin, 1000);
    EXPECT_LT(off.timeMs - rig.origin, 1000 + Sequencer::kIdleSleepMs);
    EXPECT_EQ(rig.song.channels[4].offTime, 0);
}

TEST(SequencerExamples, EveryNoteOfAColumnStartsInListOrder)
{
    PlaybackRig rig(1, {{3, 1, "G4Q"}, {1, 1, "C5Q"}, {2, 1, "V9E5Q"}});
    rig.play();
    rig.runUntil(rig.origin + 1);
    EXPECT_EQ(rig.lines(15), (Lines{"0 91 3C 46", "0 92 40 7E", "0 93 37 46"}));
}

TEST(SequencerExamples, TheTrackBarAndCounterShowTheColumnBeingPlayed)
{
    PlaybackRig rig(10, {{1, 1, "C5Q"}});
    rig.play();
    rig.runUntil(rig.origin + 1001);
    EXPECT_EQ(rig.position.position(), 3);
    EXPECT_EQ(rig.position.counterText(), "3");
    EXPECT_EQ(rig.sequencer.state().playColumn, 4);
}

}  // namespace
}  // namespace nimbel
