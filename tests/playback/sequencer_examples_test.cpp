// The sequencer's worked examples: what a column step sends and when, how
// notes end (by their own off-time, or cut at the next column), rests, and
// the running octave of records that give none.
#include "playback_rig.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing::Cell;
using testing::PlaybackRig;
using Lines = std::vector<std::string>;

TEST(SequencerExamples, NotesSoundAndEndAsWritten)
{
    struct Case {
        const char* name;
        int columns;
        std::vector<Cell> cells;
        std::int64_t runMs;
        Lines expected;  // after Play's voices
    };
    const std::vector<Case> cases = {
        {"quarter note", 2, {{1, 1, "C5Q"}}, 1500, {"0 91 3C 46", "500 91 3C 00", "500 91 3C 00"}},
        {"longer than a beat: cut at the next column",
         3,
         {{1, 1, "C5H"}},
         2000,
         {"0 91 3C 46", "500 91 3C 00", "1000 91 3C 00"}},
        // after C the E would be the note letter
        {"eighth: its off-time, then the next column",
         2,
         {{1, 1, "G5E"}},
         1000,
         {"0 91 43 46", "250 91 43 00", "500 91 43 00"}},
        {"rest sends nothing", 3, {{1, 1, "C5H"}, {1, 2, "R"}}, 3000, {"0 91 3C 46", "500 91 3C 00"}},
        // Channel 2: "D" is read before any octave (octave 0), and the rebuild
        // leaves octave 3 from "C3Q" as the channel's running octave. Channel 3
        // never names an octave, so it plays in octave 5.
        {"running octave",
         3,
         {{2, 1, "D"}, {2, 2, "C3Q"}, {3, 1, "E"}},
         2000,
         {"0 92 26 46", "0 93 40 46", "500 92 26 00", "500 93 40 00", "500 92 24 46", "1000 92 24 00", "1000 92 24 00",
          "1000 93 40 00"}},
        {"a column's notes start in list order",
         1,
         {{3, 1, "G4Q"}, {1, 1, "C5Q"}, {2, 1, "V9E5Q"}},
         1,
         {"0 91 3C 46", "0 92 40 7E", "0 93 37 46"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlaybackRig rig(c.columns, c.cells);
        rig.play();
        rig.runUntil(rig.origin + c.runMs);
        EXPECT_EQ(rig.lines(), testing::concat(testing::playProgramChanges(), c.expected));
        if (c.runMs > 1) {
            EXPECT_FALSE(rig.output.hasSoundingNotes());
        }
    }
}

TEST(SequencerExamples, PlaybackPausesAtColumnOneShowingTheLastColumnPlayed)
{
    PlaybackRig rig(2, {{1, 1, "C5Q"}});
    rig.play();
    rig.runUntil(rig.origin + 1500);
    EXPECT_EQ(rig.sequencer.state().playColumn, 1);
    EXPECT_EQ(rig.sequencer.state().nextColumnTime, Sequencer::kPaused);
    EXPECT_EQ(rig.position.position(), 2);
    EXPECT_EQ(rig.position.counterText(), "2");
}

TEST(SequencerExamples, RecordsKeepWhatTheRebuildLeaves)
{
    EXPECT_EQ(PlaybackRig(2, {{1, 1, "G5E"}}).song.noteList.at(1).offTime, 0);
    EXPECT_EQ(PlaybackRig(3, {{2, 1, "D"}, {2, 2, "C3Q"}}).song.noteList.at(1).octave, 0);
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
