// Where the sequencer goes beyond the bare column step: voices follow the
// device, every note-on gets its note-off, the schedule does not drift,
// sleeps end at due moments, odd tempos and values are survived.
#include "playback_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

namespace nimbel {
namespace {

using testing::Cell;
using testing::concat;
using testing::PlaybackRig;
using testing::playProgramChanges;
using Lines = std::vector<std::string>;

std::vector<std::int64_t> noteOnTimes(const MessageLog& log, std::int64_t origin)
{
    std::vector<std::int64_t> times;
    for (const TimedMessage& m : log)
        if ((m.packed & 0xF0) == 0x90 && (m.packed >> 16) != 0) times.push_back(m.timeMs - origin);
    return times;
}

// A clock that wakes late from every sleep, as a loaded system does.
class LateWakingClock final : public Clock {
public:
    std::int64_t nowMs() override { return now_; }
    void sleepMs(std::int64_t ms) override { now_ += ms + 3; }

private:
    std::int64_t now_ = 10'000;
};

TEST(SequencerVoices, ANamedVoiceIsSentAfterPlayResetsTheChannelToVoiceOne)
{
    PlaybackRig rig(4, {{1, 1, "C5Q,74"}, {1, 2, "D"}, {1, 3, "E,74"}});
    ASSERT_EQ(rig.song.channels[1].voice, 74);  // what the rebuild leaves
    rig.play();
    rig.runUntil(rig.origin + 1600);
    EXPECT_EQ(rig.lines(),
              concat(playProgramChanges(), {"0 C1 49 00", "0 91 3C 46", "500 91 3C 00", "500 91 3E 46", "1000 91 3E 00",
                                            "1000 91 40 46", "1500 91 40 00", "1500 91 40 00"}));
    EXPECT_EQ(rig.song.channels[1].voice, 74);

    // Playing again without a rebuild sends the voice again after Play's voice 1.
    const std::size_t before = rig.log.size();
    rig.play();
    rig.runUntil(rig.origin + 1);
    EXPECT_EQ(rig.lines(before), concat(playProgramChanges(), {"0 C1 49 00", "0 91 3C 46"}));
}

TEST(SequencerVoices, AChannelWithoutAnyVoiceGetsVoiceOneOnce)
{
    PlaybackRig rig(2, {{2, 1, "C5Q"}, {2, 2, "D5Q"}});
    rig.song.channels[2].voice = 0;
    rig.sequencer.channelPlay(rig.position);  // the Channel Window's Play sends no voices itself
    rig.origin = rig.clock.nowMs();
    rig.runUntil(rig.origin + 600);
    EXPECT_EQ(rig.lines(), (Lines{"0 C2 00 00", "0 92 3C 46", "500 92 3C 00", "500 92 3E 46"}));
}

TEST(SequencerNoteEnds, ReplacingTheNoteListOnPlayEndsTheSoundingNotesFirst)
{
    PlaybackRig rig(8, {{1, 1, "C5W"}, {2, 1, "G4W"}});
    rig.play();
    rig.runUntil(rig.origin + 300);
    rig.song.grid.setCellText(0, gridColumnOf(2), "E5Q");
    rig.song.noteListStale = true;
    const std::size_t before = rig.log.size();
    rig.play();
    rig.runUntil(rig.origin + 1500);
    const Lines lines = rig.lines(before);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 2), (Lines{"0 91 3C 00", "0 92 37 00"}));
    EXPECT_EQ(Lines(lines.begin() + 2, lines.begin() + 17), playProgramChanges());
    EXPECT_EQ(lines.at(17), "0 91 40 46");  // column 2, due at once
    // The old notes were ended once each, never again.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "0 91 3C 00"), 1);
    EXPECT_EQ(std::count_if(lines.begin() + 2, lines.end(),
                            [](const std::string& l) { return l.find(" 3C ") != std::string::npos; }),
              0);
}

TEST(SequencerNoteEnds, EndSoundingNotesSendsOneNoteOffEachAndForgetsTheirOffTimes)
{
    PlaybackRig rig(8, {{1, 1, "C5W"}, {3, 1, "E5W"}});
    rig.play();
    rig.runUntil(rig.origin + 100);
    const std::size_t before = rig.log.size();
    rig.sequencer.endSoundingNotes();
    EXPECT_EQ(rig.lines(before), (Lines{"100 91 3C 00", "100 93 40 00"}));
    rig.runUntil(rig.origin + 3000);
    EXPECT_EQ(rig.log.size(), before + 2);  // no later note-off for them
}

TEST(SequencerNoteEnds, ANoteOverlappedByALaterRecordOfItsChannelStillEndsAtItsOffTime)
{
    // A loaded song's list need not be in column order. Here column 2's
    // sixteenth comes first, so when it starts, the whole note of column 1
    // is past the column step's cut-off and its channel has moved on to the
    // sixteenth: only its own off-time can end it, while playback is paused.
    Song song;
    testing::writeSong(song, 2, {{1, 1, "C5W"}, {1, 2, "D5S"}});
    std::swap(song.noteList.at(1), song.noteList.at(2));
    PlainPositionDisplay position;
    position.setMaximum(2);
    const Lines lines = testing::exportLines(song, position);
    EXPECT_EQ(Lines(lines.begin() + 15, lines.end()),
              (Lines{"0 91 3C 46", "500 91 3E 46", "625 91 3E 00", "2000 91 3C 00"}));
}

TEST(SequencerSchedule, ColumnsStayOnTheBeatGridWhenEveryStepWakesLate)
{
    std::vector<Cell> eighths;
    for (int column = 1; column <= 40; ++column) eighths.push_back({1, column, "G5E"});
    Song song;
    testing::writeSong(song, 40, eighths, "1 T70");
    LateWakingClock clock;
    MessageLog log;
    RecordingMidiDevices devices(clock, log);
    MidiOutput output;
    output.openOutput(devices, -1);
    Sequencer sequencer(song, output, clock);
    PlainPositionDisplay position;
    position.setMaximum(40);
    PlainMusicChecks checks;
    const std::int64_t start = clock.nowMs();
    sequencer.mainPlay(position, checks);
    while (sequencer.isPlaying()) sequencer.playbackStep(position);

    const std::vector<std::int64_t> lateness = noteOnTimes(log, start);
    ASSERT_EQ(lateness.size(), 40u);
    for (std::size_t k = 0; k < lateness.size(); ++k) {
        const std::int64_t late = lateness[k] - static_cast<std::int64_t>(k) * 857;
        EXPECT_GE(late, 0) << "column " << k + 1;
        EXPECT_LE(late, 3) << "column " << k + 1;
    }
}

TEST(SequencerSchedule, AnOverdueColumnPlaysAtOnceAndOnlyAHoldUpOfOverAPeriodRestartsTheSchedule)
{
    struct Case {
        const char* name;
        std::int64_t heldMs;  // at 400 ms, as when a dialog holds the loop
        std::int64_t runMs;
        std::vector<std::int64_t> noteOns;
    };
    const std::vector<Case> cases = {
        {"held past column 2's moment by a whole period", 2000, 3500, {0, 2400, 2900, 3400}},
        {"column 2 run 250 ms late keeps the grid", 350, 1100, {0, 750, 1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlaybackRig rig(10, {{1, 1, "C5Q"}, {1, 2, "D5Q"}, {1, 3, "E5Q"}, {1, 4, "F5Q"}});
        rig.play();
        rig.runUntil(rig.origin + 400);
        rig.clock.advanceBy(c.heldMs);
        rig.runUntil(rig.origin + c.runMs);
        EXPECT_EQ(noteOnTimes(rig.log, rig.origin), c.noteOns);
    }
}

TEST(SequencerSchedule, PlayingSleepsEndAtTheNextDueMomentAndNeverExceedTenMilliseconds)
{
    // Tempo 70: an eighth note lasts 428.57 ms (ends at 429), a column 857 ms.
    PlaybackRig rig(2, {{1, 1, "G5E"}, {1, 2, "G5E"}}, "1 T70");
    rig.play();
    std::int64_t longest = 0;
    while (rig.sequencer.isPlaying()) {
        rig.sequencer.playbackStep(rig.position);
        longest = std::max(longest, rig.clock.lastSleepMs());
    }
    EXPECT_EQ(longest, Sequencer::kPlayingSleepMs);
    EXPECT_EQ(rig.lines(15), (Lines{"0 91 43 46", "429 91 43 00", "857 91 43 00", "857 91 43 46"}));

    rig.runUntil(rig.clock.nowMs() + 1000);
    EXPECT_EQ(rig.clock.lastSleepMs(), Sequencer::kIdleSleepMs);  // paused at the end
}

TEST(SequencerSchedule, OffTimesRoundHalfMillisecondsToTheEvenNeighbour)
{
    // Tempo 80: a sixteenth lasts 187.5 ms.
    PlaybackRig even(2, {{1, 1, "C5S"}}, "1 T80");
    even.play();
    even.runUntil(even.origin + 300);
    EXPECT_EQ(even.lines(15).at(1), "188 91 3C 00");  // 5187.5 -> 5188

    PlaybackRig odd(2, {{1, 1, "C5S"}}, "1 T80");
    odd.clock.advanceBy(1);
    odd.play();
    odd.runUntil(odd.origin + 300);
    EXPECT_EQ(odd.lines(15).at(1), "187 91 3C 00");  // 5188.5 -> 5188
}

TEST(SequencerOddValues, AreClampedSkippedOrSurvived)
{
    struct Case {
        const char* name;
        std::vector<Cell> cells;
        std::function<void(PlaybackRig&)> spoil;
        std::int64_t runMs;
        Lines expected;  // after Play's voices
    };
    const auto strayChannels = [](PlaybackRig& rig) {
        for (const int channel : {0, 16, -3, std::numeric_limits<std::int32_t>::max()}) {
            NoteRecord stray = rig.song.noteList.at(1);
            stray.channel = channel;
            stray.note = 7;
            rig.song.noteList.push_back(stray);
        }
    };
    const auto tempo = [](std::int32_t t) { return [t](PlaybackRig& rig) { rig.song.tempo = t; }; };
    const Lines quarter = {"0 91 3C 46", "500 91 3C 00", "500 91 3C 00"};
    const Lines minute = {"0 91 3C 46", "60000 91 3C 00", "60000 91 3C 00"};  // a tempo below 1 is taken as 1
    const std::vector<Case> cases = {
        // octave 17 on channel 1 is not sent; volume and voice are clamped
        {"values outside their bytes",
         {{1, 1, "C>>>>>>>>>>>>Q"}, {2, 1, "C5+++++++Q,300"}},
         [](PlaybackRig&) {},
         1500,
         {"0 C2 7F 00", "0 92 3C 7F", "500 92 3C 00", "500 92 3C 00"}},
        {"records of channels outside the song", {{1, 1, "C5Q"}}, strayChannels, 1500, quarter},
        {"clock readings past 32 bits",
         {{1, 1, "C5Q"}},
         [](PlaybackRig& rig) { rig.clock.advanceTo(std::int64_t{1} << 33); },
         1500,
         quarter},
        {"tempo 0", {{1, 1, "C5Q"}}, tempo(0), 61'000, minute},
        {"tempo -40", {{1, 1, "C5Q"}}, tempo(-40), 61'000, minute},
        {"lowest tempo", {{1, 1, "C5Q"}}, tempo(std::numeric_limits<std::int32_t>::min()), 61'000, minute},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlaybackRig rig(2, c.cells);
        c.spoil(rig);
        rig.play();
        rig.runUntil(rig.origin + c.runMs);
        EXPECT_EQ(rig.lines(15), c.expected);
    }
    EXPECT_EQ(PlaybackRig(2, {{1, 1, "C>>>>>>>>>>>>Q"}}).song.noteList.at(1).octave, 17);
}

TEST(SequencerSchedule, TemposBeyondAColumnPerMillisecondStillEnd)
{
    PlaybackRig rig(50, {{1, 1, "C5Q"}, {1, 50, "D5Q"}});
    rig.song.tempo = std::numeric_limits<std::int32_t>::max();
    rig.play();
    rig.runUntil(rig.origin + 200);
    EXPECT_FALSE(rig.sequencer.isPlaying());
    EXPECT_FALSE(rig.output.hasSoundingNotes());
    EXPECT_EQ(noteOnTimes(rig.log, rig.origin).size(), 2u);
}

}  // namespace
}  // namespace nimbel
