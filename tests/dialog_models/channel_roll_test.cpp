// The Channel Window's piano roll without its window: what opening shows,
// the duration letters with their right-click cycle, and its OK, after which
// the song plays what the window showed and played, for random channels
// clicked at random. (OK's undo group and an OK without a click are checked
// in the running program, the longest song by the Channel Window's fuzz
// target.)
#include "support/playback_rig.h"

#include "channel_roll.h"
#include "channel_write_back.h"
#include "notation.h"
#include "project_state.h"
#include "song.h"
#include "song_columns.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace nimbel {
namespace {

TEST(ChannelRoll, OpeningShowsEachCellOfTheChannelInItsRowWithItsLetters)
{
    struct Case {
        const char* cell;
        int row;
        const char* letters;
    };
    const Case cases[] = {
        {"5C", 12, "H"},       // the digit is the octave, not part of the column number
        {" V7DQ ", 10, "Q"},   // the quarter runs on
        {"R", kRestRow, "Q"},  // a rest shows its letters in the rest row
        {"F#S.", 6, "SD"},     // F sharp, in the row labelled so
        {"3CB", 13, "S"},
    };
    Song song;
    song.grid.setCellText(0, gridColumnOf(2), "C");   // another channel's
    song.grid.setCellText(1, gridColumnOf(2), "  ");  // no note
    for (int i = 0; i < 5; ++i) song.grid.setCellText(1, gridColumnOf(2 * i + 1), cases[i].cell);
    ChannelRoll roll(song, 2);
    ASSERT_EQ(song.noteList.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(cases[i].cell);
        EXPECT_EQ(song.noteList[static_cast<std::size_t>(i)].column, 2 * i + 1);
        EXPECT_EQ(roll.grid().cellText(cases[i].row, 2 * i + 1), cases[i].letters);
    }
    EXPECT_EQ(roll.grid().cellText(6, kScaleColumn), "F#");
    // Columns "1" … "21", the song's End column, then "End".
    EXPECT_EQ(roll.grid().headerTitle(21) + roll.grid().headerTitle(22), "21End");
}

TEST(ChannelRoll, LettersComeFromSinglePrecisionThresholdsAndRightClicksCycleThem)
{
    EXPECT_EQ(durationLetters(0.6f), "E");
    EXPECT_EQ(durationLetters(0.4f), "SD");
    EXPECT_EQ(durationLetters(0.06f), "U");
    const std::pair<float, const char*> cycle[] = {{0.0625f, "F"},  {0.125f, "T"},  {0.1875f, "TD"}, {0.25f, "S"},
                                                   {0.3125f, "SD"}, {0.4375f, "E"}, {0.625f, "ED"},  {0.9375f, "Q"},
                                                   {1.125f, "QD"},  {1.9375f, "H"}, {2.125f, "HD"},  {3.9375f, "W"},
                                                   {4.125f, "WD"},  {0.0625f, "F"}};
    for (std::size_t i = 0; i + 1 < std::size(cycle); ++i) {
        EXPECT_EQ(durationLetters(cycle[i].first), cycle[i].second);
        EXPECT_EQ(nextDuration(cycle[i].first), cycle[i + 1].first) << cycle[i].second;
    }
    for (const auto& [from, to] : {std::pair{1.0f, 1.125f}, {2.0f, 2.125f}, {4.0f, 4.125f}, {0.5f, 0.625f}})
        EXPECT_EQ(nextDuration(from), to) << from;
}

std::string written(const Song& song, int channel, int columns)
{
    std::string texts;
    for (int c = 1; c <= columns; ++c) texts += song.grid.cellText(channel - 1, gridColumnOf(c)) + "|";
    return texts;
}

// What Play makes of a channel's notes, rebuilt from the grid or as the
// note list holds them: each note's column, row and letters as the window
// shows them, and its note number (-1 for a rest), velocity and voice as
// the sequencer starts it.
using Played = std::tuple<int, int, std::string_view, std::int64_t, std::int32_t, std::int32_t>;

std::vector<Played> played(const Song& toPlay, int channel, bool rebuild)
{
    testing_support::PlaybackRig rig;
    Song& song = rig.song;
    song = toPlay;
    song.noteListStale = rebuild;
    if (!rebuild) song.channels = ChannelState{};
    rig.sequencer.mainPlay(rig.position, rig.checks);
    int last = 0;
    for (const NoteRecord& note : song.noteList) last = std::max(last, note.column);
    rig.position.setMaximum(last);
    std::vector<Played> notes;
    const NoteRecord& running = song.channels[static_cast<std::size_t>(channel)];
    while (rig.sequencer.isPlaying()) {
        const int column = rig.sequencer.state().playColumn;
        rig.clock.advanceTo(*rig.sequencer.nextDueTime());
        rig.sequencer.playbackStep(rig.position);
        if (rig.sequencer.isPlaying() && rig.sequencer.state().playColumn == column) continue;  // no column step yet
        for (const NoteRecord& note : song.noteList) {
            if (note.channel != channel || note.column != column) continue;
            const std::int64_t number = note.note == kRestNote ? -1 : running.note + 12 * running.octave;
            notes.emplace_back(column, pitchRowOf(note.note), durationLetters(note.duration), number,
                               14 * running.volume, running.voice);
        }
    }
    return notes;
}

// The duration letters E and F are note letters too, and of the letters A C
// D E F G the one latest in that order names the note: "CE" is the note E.
// So a note on a row whose label has a letter before E (or F) in that order,
// or is a lone B, has no text of its own with an eighth (or a sixty-fourth).
bool lettersReadAsNote(int row, std::string_view letters)
{
    constexpr std::string_view kOrder = "ACDEFG";
    if (row == kRestRow || (letters.front() != 'E' && letters.front() != 'F')) return false;
    const std::size_t noteLetter = kOrder.find(kPitchLabels[static_cast<std::size_t>(row)].front());
    return noteLetter == std::string_view::npos || noteLetter < kOrder.find(letters.front());
}

TEST(ChannelWriteBack, TheSongPlaysWhatTheWindowShowedAndPlayed)
{
    std::mt19937 random(20240610);
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto level = [&pick] { return std::string(1, static_cast<char>('0' + pick(1, 9))); };  // 0 names none
    for (int round = 0; round < 300 && !HasFailure(); ++round) {
        const int channel = pick(1, 15);
        std::vector<std::string> cells(static_cast<std::size_t>(pick(1, 30)));
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0 && pick(0, 2) == 0) continue;
            // A first note that named no octave (or volume) would play, on
            // channels 2 … 15, with the last one named; the window plays it
            // with octave 5 and writes what it plays. So the first names both.
            std::string& text = cells[i];
            const bool digitFirst = i > 0 && pick(0, 3) == 0;
            if (digitFirst) text += level();
            if (i == 0 || (!digitFirst && pick(0, 2) == 0)) text += "V" + level();
            if (i == 0 || (!digitFirst && pick(0, 2) == 0)) text += level();
            const int row = pick(0, kRestRow);
            text += kPitchLabels[static_cast<std::size_t>(row)];
            const std::string letter(1, "WHQESTF"[pick(0, 6)]);
            if (pick(0, 1) == 0 && !lettersReadAsNote(row, letter)) text += letter + (pick(0, 2) == 0 ? "." : "");
            if (pick(0, 2) == 0) text += "," + std::to_string(pick(1, 128));
        }
        SCOPED_TRACE(testing::PrintToString(cells) + " on channel " + std::to_string(channel));
        Song song;
        ProjectState project;
        for (std::size_t i = 0; i < cells.size(); ++i)
            song.grid.setCellText(channel - 1, gridColumnOf(static_cast<int>(i) + 1), cells[i]);
        const std::vector<Played> before = played(song, channel, true);
        std::optional<ChannelRoll> roll(std::in_place, song, channel);
        writeChannelBack(song, project, channel);
        EXPECT_EQ(played(song, channel, true), before) << written(song, channel, 22);

        roll.emplace(song, channel);
        for (int click = pick(0, 20); click > 0; --click) {
            const int row = pick(0, kRestRow);
            const int column = pick(1, roll->lastColumn());
            if (pick(0, 1) == 0) roll->place(row, column);
            else roll->change(row, column);
        }
        for (const NoteRecord& note : song.noteList)
            for (int step = 0; step < 13 && lettersReadAsNote(pitchRowOf(note.note), durationLetters(note.duration));
                 ++step)  // round the whole cycle at most
                roll->change(pitchRowOf(note.note), note.column);
        const std::vector<Played> shown = played(song, channel, false);
        writeChannelBack(song, project, channel);
        EXPECT_EQ(played(song, channel, true), shown) << written(song, channel, 23);
    }
}

}  // namespace
}  // namespace nimbel
