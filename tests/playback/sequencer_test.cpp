// The sequencer as the Music commands of both windows and the export drive
// it: one table of songs, commands at given moments of simulated time, and
// every message sent, as event lines timed from the start. A run of the 15
// voice-1 program changes that Play sends shows as one "voices" line. Then
// its indexed column step against the plain walk over the whole note list:
// random sessions of commands and note list changes played on simulated time
// must send the very same messages. (Whole songs played from column 1 are
// compared by the playback fuzz target.)
#include "support/playback_rig.h"
#include "support/random_song.h"
#include "support/whole_list_walk.h"

#include "event_export.h"
#include "notation.h"
#include "song_columns.h"
#include "song_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace nimbel {
namespace {

using namespace testing_support;

using Lines = std::vector<std::string>;

struct Cell {
    int channel;
    int column;  // note column, 1 = first
    const char* text;
};

// A song written into the grid and rebuilt, as Play finds it after edits,
// with a recording output, both windows' track bar and counter, and time
// that moves only as the idle loop's steps sleep.
struct Rig : PlaybackRig {
    Rig(int columns, const std::vector<Cell>& cells, const char* tempoCell, std::int64_t startMs = 5000)
        : PlaybackRig(startMs), start(startMs)
    {
        setNoteColumnCount(song.grid, gridColumnOf(columns));
        song.grid.setCellText(0, kChannelColumn, tempoCell);
        for (const Cell& cell : cells) song.grid.setCellText(cell.channel - 1, gridColumnOf(cell.column), cell.text);
        rebuildNoteList(song);
        main.setMaximum(columns);
        channel.setMaximum(columns);
    }

    void runUntil(std::int64_t ms)
    {
        while (clock.nowMs() < start + ms) {
            const bool playing = sequencer.isPlaying();
            sequencer.playbackStep(*stepping);
            if (playing) longestPlayingSleep = std::max(longestPlayingSleep, clock.lastSleepMs());
        }
    }

    Lines lines() const
    {
        Lines out;
        for (std::size_t i = 0; i < log.size(); ++i) {
            const std::string time = std::to_string(log[i].timeMs - start);
            const bool voices =
                i + 15 <= log.size() && std::all_of(log.begin() + i, log.begin() + i + 15, [&](auto& m) {
                    return m.timeMs == log[i].timeMs && m.packed == 0xC1u + (&m - &log[i]);
                });
            out.push_back(voices ? time + " voices" : formatEventLine({log[i].timeMs - start, log[i].packed}));
            if (voices) i += 14;
        }
        return out;
    }

    PlainPositionDisplay& main = position;
    PlainPositionDisplay channel;  // a Channel Window's pair
    PositionDisplay* stepping = &main;
    std::int64_t start;
    std::int64_t longestPlayingSleep = 0;
};

// What happens at a moment: a command, or a change that no command makes. It
// happens at the first step of the idle loop at or after the moment, as a
// user's command is handled by the next pass of the loop. Besides the Music
// commands of both windows: an edit of a cell, without the mark every edit
// sets (stale); what File New and File Open do around replacing the song
// (endNotes, reset); a dialog that holds the loop while time passes (hold);
// the export tool's Play (exportPlay); and, before the start, a tempo no cell
// gives, a second record in a cell (an octave-3 C) and a list out of column
// order, as a loaded song can have them.
// clang-format off
enum class Do { play, pause, stop, trackBar, channelPlay, channelPause, channelStop, edit, stale, endNotes, reset, hold,
                exportPlay, tempo, secondRecord, swapRecords };
// clang-format on

struct Step {
    std::int64_t ms;
    Do what;
    std::int64_t value = 0;  // a column, a time, a tempo or a record index
    Cell cell = {0, 0, ""};
};

// Runs the idle loop up to the step's moment, then does what it says.
void apply(Rig& r, const Step& step)
{
    r.runUntil(step.ms);
    const Cell& cell = step.cell;
    switch (step.what) {
    case Do::play: r.sequencer.mainPlay(*(r.stepping = &r.main), r.checks); break;
    case Do::pause: r.sequencer.mainPause(r.checks); break;
    case Do::stop: r.sequencer.mainStop(r.main, r.checks); break;
    case Do::trackBar: r.main.setPosition(static_cast<int>(step.value)); break;
    case Do::channelPlay:
        (r.stepping = &r.channel)->setPosition(static_cast<int>(step.value));
        r.sequencer.channelPlay(r.channel);
        break;
    case Do::channelPause: r.sequencer.channelPause(); break;
    case Do::channelStop: r.sequencer.channelStop(r.channel); break;
    case Do::edit: r.song.grid.setCellText(cell.channel - 1, gridColumnOf(cell.column), cell.text); break;
    case Do::stale: r.song.noteListStale = true; break;
    case Do::endNotes: r.sequencer.endSoundingNotes(); break;
    case Do::reset: r.sequencer.resetPlayback(); break;
    case Do::hold: r.clock.advanceBy(step.value); break;
    case Do::exportPlay:
        for (TimedMessage m : playSongToEvents(r.song, r.main)) r.log.push_back({m.timeMs + r.start, m.packed});
        break;
    case Do::tempo: r.song.tempo = static_cast<std::int32_t>(step.value); break;
    case Do::secondRecord:
        r.song.noteList.push_back(
            {.channel = cell.channel, .octave = 3, .duration = 1.0f, .text = cell.text, .column = cell.column});
        break;
    case Do::swapRecords: std::swap(r.song.noteList.at(1), r.song.noteList.at(2)); break;
    }
}

struct Case {
    const char* name;
    int columns;
    std::vector<Cell> cells;
    const char* tempoCell;
    std::vector<Step> steps;  // in time order
    std::int64_t untilMs;
    Lines expected;
    int shown = 0;  // the track bar and counter that were played at the end; 0: not checked
    std::int64_t startMs = 5000;
};

const std::vector<Cell> kScale = {{1, 1, "C5Q"}, {1, 2, "D5Q"}, {1, 3, "E5Q"}, {1, 4, "F5Q"},
                                  {1, 5, "G5Q"}, {1, 6, "A5Q"}, {1, 7, "B5Q"}, {1, 8, "C6Q"}};

TEST(Sequencer, SendsEachNoteAndItsEndAsTheCommandsAndTheClockSay)
{
    // One row per case reads as a table.
    // clang-format off
    const std::vector<Case> cases = {
        // Columns, notes and their ends.
        {"a quarter note ends at its off-time and at the next column; the end pauses at column 1 showing the last",
         2, {{1, 1, "C5Q"}}, "1", {{0, Do::play}}, 1500, {"0 voices", "0 91 3C 46", "500 91 3C 00", "500 91 3C 00"}, 2},
        // "D" is read before any octave; "C3Q" leaves octave 3 as channel 2's
        // running octave. Channel 3 never names one, so it plays in octave 5.
        {"running octave", 3, {{2, 1, "D"}, {2, 2, "C3Q"}, {3, 1, "E"}}, "1", {{0, Do::play}}, 2000,
         {"0 voices", "0 92 26 46", "0 93 40 46", "500 92 26 00", "500 93 40 00", "500 92 24 46", "1000 92 24 00",
          "1000 92 24 00", "1000 93 40 00"}},
        // Tempo 70: an eighth lasts 428.57 ms, a column 857 ms.
        {"sleeps end at the moment something is due", 2, {{1, 1, "G5E"}, {1, 2, "G5E"}}, "1 T70", {{0, Do::play}}, 1000,
         {"0 voices", "0 91 43 46", "429 91 43 00", "857 91 43 00", "857 91 43 46"}},
        {"a tempo cell without a tempo of at least 1 plays at 120", 2, {{1, 1, "C5Q"}}, "1 T0", {{0, Do::play}}, 1000,
         {"0 voices", "0 91 3C 46", "500 91 3C 00", "500 91 3C 00"}},
        // Tempo 80: a sixteenth lasts 187.5 ms; off-times round half to the even millisecond.
        {"5187.5 rounds to 5188", 2, {{1, 1, "C5S"}}, "1 T80", {{0, Do::play}}, 300,
         {"0 voices", "0 91 3C 46", "188 91 3C 00"}},
        {"5188.5 rounds to 5188", 2, {{1, 1, "C5S"}}, "1 T80", {{0, Do::play}}, 300,
         {"0 voices", "0 91 3C 46", "187 91 3C 00"}, 0, 5001},

        // Play, Pause and Stop.
        {"Stop, then Play starts at column 1, or where the track bar was moved", 10, kScale, "1",
         {{0, Do::play}, {1200, Do::stop}, {1200, Do::play}, {1300, Do::stop}, {1300, Do::trackBar, 7},
          {1300, Do::play}}, 1301,
         {"0 voices", "0 91 3C 46", "500 91 3C 00", "500 91 3E 46", "1000 91 3E 00", "1000 91 40 46", "1200 voices",
          "1200 91 3C 46", "1200 91 40 00", "1300 voices", "1300 91 3C 00", "1300 91 47 46"}, 7},
        {"Pause holds the column and Play resumes there whatever the track bar shows", 10, kScale, "1",
         {{0, Do::play}, {1200, Do::pause}, {5000, Do::trackBar, 7}, {5000, Do::play}}, 5001,
         {"0 voices", "0 91 3C 46", "500 91 3C 00", "500 91 3E 46", "1000 91 3E 00", "1000 91 40 46", "1520 91 40 00",
          "5000 voices", "5000 91 40 00", "5000 91 41 46"}, 4},
        {"after the end Play starts from column 1", 3, {{1, 1, "C5Q"}, {1, 3, "E5Q"}}, "1",
         {{0, Do::trackBar, 3}, {0, Do::play}, {2010, Do::trackBar, 2}, {2010, Do::play}}, 2011,
         {"0 voices", "0 91 40 46", "530 91 40 00", "2010 voices", "2010 91 3C 46", "2010 91 40 00"}},
        {"Play while playing keeps the column, makes it due and sends the voices again", 10, kScale, "1",
         {{0, Do::play}, {1200, Do::play}}, 1701,
         {"0 voices", "0 91 3C 46", "500 91 3C 00", "500 91 3E 46", "1000 91 3E 00", "1000 91 40 46", "1200 voices",
          "1200 91 40 00", "1200 91 41 46", "1700 91 41 00", "1700 91 43 46"}},
        {"replacing the note list ends the sounding notes once, first", 8, {{1, 1, "C5W"}, {2, 1, "G4W"}}, "1",
         {{0, Do::play}, {300, Do::edit, 0, {1, 2, "E5Q"}}, {300, Do::stale}, {300, Do::play}}, 1800,
         {"0 voices", "0 91 3C 46", "0 92 37 46", "300 91 3C 00", "300 92 37 00", "300 voices", "300 91 40 46",
          "800 91 40 00", "800 91 40 00"}},
        {"a named voice is sent after Play's voice 1, again at each Play", 4,
         {{1, 1, "C5Q,74"}, {1, 2, "D"}, {1, 3, "E,74"}}, "1", {{0, Do::play}, {1620, Do::play}}, 1621,
         {"0 voices", "0 C1 49 00", "0 91 3C 46", "500 91 3C 00", "500 91 3E 46", "1000 91 3E 00", "1000 91 40 46",
          "1500 91 40 00", "1500 91 40 00", "1620 voices", "1620 C1 49 00", "1620 91 3C 46"}},
        // D takes the running octave: 5 at first, 3 once the C in its cell has played.
        {"a note started again in another octave while it sounds is ended first", 4, {{2, 3, "D"}}, "1",
         {{0, Do::secondRecord, 0, {2, 3, "C3"}}, {0, Do::trackBar, 3}, {0, Do::play}, {100, Do::stop},
          {100, Do::trackBar, 3}, {100, Do::play}}, 101,
         {"0 voices", "0 92 3E 46", "0 92 24 46", "100 voices", "100 92 3E 00", "100 92 26 46", "100 92 24 46"}},
        {"after a reset nothing is due, Play starts at the track bar and the note list is taken as fresh", 10,
         kScale, "1", {{0, Do::play}, {700, Do::edit, 0, {1, 2, "G5Q"}}, {700, Do::stale}, {700, Do::endNotes},
                       {700, Do::reset}, {1020, Do::play}}, 1021,
         {"0 voices", "0 91 3C 46", "500 91 3C 00", "500 91 3E 46", "700 91 3E 00", "1020 voices", "1020 91 3E 46"}},

        // The Channel Window's commands move only the playback state: no voices, its own pair.
        {"the Channel Window resumes from its track bar, also when paused, and Stop puts it back", 10, kScale, "1",
         {{0, Do::channelPlay, 5}, {100, Do::channelPause}, {220, Do::channelPlay, 2}, {300, Do::channelStop}}, 301,
         {"0 91 43 46", "220 91 3E 46", "220 91 43 00"}, 1},
        {"a channel without any voice gets voice 1 once", 2, {{2, 1, "C5Q"}, {2, 2, "D5Q"}}, "1",
         {{0, Do::channelPlay, 1}}, 600, {"0 C2 00 00", "0 92 3C 46", "500 92 3C 00", "500 92 3E 46"}},

        // The schedule: drift-free, restarted only after a hold-up of over a period.
        {"column 2 run 250 ms late keeps the beat grid", 10, kScale, "1", {{0, Do::play}, {400, Do::hold, 350}},
         1100, {"0 voices", "0 91 3C 46", "750 91 3C 00", "750 91 3E 46", "1000 91 3E 00", "1000 91 40 46"}},
        {"held past column 2's moment by a whole period", 10, kScale, "1", {{0, Do::play}, {400, Do::hold, 2000}},
         3000, {"0 voices", "0 91 3C 46", "2400 91 3C 00", "2400 91 3E 46", "2900 91 3E 00", "2900 91 40 46"}},

        // Odd values are clamped, skipped or survived.
        {"values outside their bytes: octave 17 is not sent, volume and voice are clamped", 2,
         {{1, 1, "C>>>>>>>>>>>>Q"}, {2, 1, "C5+++++++Q,300"}}, "1", {{0, Do::play}}, 1500,
         {"0 voices", "0 C2 7F 00", "0 92 3C 7F", "500 92 3C 00", "500 92 3C 00"}},
        {"tempo 0 plays as 1, on a clock past 32 bits", 2, {{1, 1, "C5Q"}}, "1", {{0, Do::tempo, 0}, {0, Do::play}},
         61000, {"0 voices", "0 91 3C 46", "60000 91 3C 00", "60000 91 3C 00"}, 0, std::int64_t{1} << 33},
        {"tempos beyond a column per millisecond still end", 50, {{1, 1, "C5Q"}, {1, 50, "D5Q"}}, "1",
         {{0, Do::tempo, std::numeric_limits<std::int32_t>::max()}, {0, Do::play}}, 200,
         {"0 voices", "0 91 3C 46", "0 91 3E 46", "0 91 3E 00", "0 91 3C 00"}},

        // The export: Play from column 1 on a clock that jumps to each due moment.
        {"the export starts at column 1 whatever the track bar shows", 3, {{1, 1, "C5Q"}, {2, 3, "E5Q"}}, "1",
         {{0, Do::trackBar, 3}, {0, Do::exportPlay}}, 0,
         {"0 voices", "0 91 3C 46", "500 91 3C 00", "500 91 3C 00", "1000 92 40 46", "1500 92 40 00"}},
        {"the export plays the note list as it stands", 1, {{1, 1, "C5Q"}}, "1",
         {{0, Do::edit, 0, {1, 1, "D5Q"}}, {0, Do::stale}, {0, Do::exportPlay}}, 0,
         {"0 voices", "0 91 3C 46", "500 91 3C 00"}},
        // Column 2's sixteenth comes first in the list, so when it starts the
        // whole note is past the column step's cut-off: only its own off-time ends it.
        {"a note overlapped by a later record of its channel ends at its off-time", 2,
         {{1, 1, "C5W"}, {1, 2, "D5S"}}, "1", {{0, Do::swapRecords}, {0, Do::exportPlay}}, 0,
         {"0 voices", "0 91 3C 46", "500 91 3E 46", "625 91 3E 00", "2000 91 3C 00"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.columns, c.cells, c.tempoCell, c.startMs);
        for (const Step& step : c.steps) apply(rig, step);
        rig.runUntil(c.untilMs);
        EXPECT_EQ(rig.lines(), c.expected);
        EXPECT_LE(rig.longestPlayingSleep, Sequencer::kPlayingSleepMs) << "the loop stays responsive while playing";
        if (c.shown == 0) continue;
        EXPECT_EQ(std::pair(rig.stepping->position(), rig.stepping->counterText()),
                  std::pair(c.shown, std::to_string(c.shown)));
    }
}

TEST(EventLines, PrintMillisecondsPast32BitsAndThreeUpperCaseHexBytes)
{
    EXPECT_EQ(formatEventLine({123456789012, 0x007FCF}), "123456789012 CF 7F 00");
}

// What can happen between two steps: the Music commands, an edit that Play
// hears after its rebuild, File Open, and what the Channel Window does to
// the note list: keep one channel's records (here with the off-times they
// hold), add a record and sort the list by column, change a note in place.
enum class Change { play, pause, stop, channelPlay, edit, open, keepChannel, addRecord, changeNote };

void applyChange(PlaybackRig& s, Change change, int channel, int column, const std::string& text)
{
    std::vector<NoteRecord>& notes = s.song.noteList;
    switch (change) {
    case Change::play: s.sequencer.mainPlay(s.position, s.checks); break;
    case Change::pause: s.sequencer.mainPause(s.checks); break;
    case Change::stop: s.sequencer.mainStop(s.position, s.checks); break;
    case Change::channelPlay:
        s.position.setPosition(column);
        s.sequencer.channelPlay(s.position);
        break;
    case Change::edit:
        s.song.grid.setCellText(channel - 1, gridColumnOf(column), text);
        s.song.noteListStale = true;
        break;
    case Change::open:
        s.sequencer.endSoundingNotes();
        openSongAfterStartUp(s.song, s.position, text);
        s.sequencer.resetPlayback();
        break;
    case Change::keepChannel:
        std::erase_if(notes, [&](const NoteRecord& r) { return r.channel != channel; });
        std::ranges::stable_sort(notes, {}, &NoteRecord::column);
        ++s.song.noteListVersion;
        break;
    case Change::addRecord:
        notes.push_back({.note = column % 13, .channel = channel, .duration = 0.5f, .text = text, .column = column});
        std::ranges::stable_sort(notes, {}, &NoteRecord::column);
        ++s.song.noteListVersion;
        break;
    case Change::changeNote:
        if (!notes.empty()) notes[static_cast<std::size_t>(column) % notes.size()].note = channel;
        break;
    }
}

TEST(IndexedColumnStep, FollowsTheNoteListThroughChangesWhilePlaying)
{
    std::mt19937 random(7);
    for (int session = 0; session < 300; ++session) {
        const std::string song = randomSong(random);
        ColumnIndex index;
        WholeListWalk walk;
        // The song played on simulated time twice, column steps visiting what each gives.
        PlaybackRig indexed(index), walked(walk);
        for (PlaybackRig* s : {&indexed, &walked}) openSongAfterStartUp(s->song, s->position, song);
        for (int moment = 0; moment < 40; ++moment) {
            const std::int64_t until = indexed.clock.nowMs() + pick(random, 0, 700);
            for (PlaybackRig* s : {&indexed, &walked})
                while (s->clock.nowMs() < until) s->sequencer.playbackStep(s->position);
            const auto change = static_cast<Change>(pick(random, 0, 8));
            const int channel = pick(random, 1, 4);
            const int column = pick(random, 1, 30);
            const std::string text = change == Change::open ? randomSong(random) : randomNote(random);
            for (PlaybackRig* s : {&indexed, &walked}) applyChange(*s, change, channel, column, text);
        }
        ASSERT_EQ(indexed.log, walked.log) << "session " << session << ", starting with\n" << song;
    }
}

}  // namespace
}  // namespace nimbel
