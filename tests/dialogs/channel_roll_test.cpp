// The piano roll without its window: what opening shows, the duration
// letters and their right-click cycle, and what clicks do to the notes.
#include "channel_roll.h"
#include "song.h"
#include "song_columns.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

TEST(ChannelRoll, OpeningShowsEachCellOfTheChannelInItsRowWithItsLetters)
{
    struct Case {
        const char* cell;
        int row;
        const char* letters;
        int octave;
    };
    const Case cases[] = {
        {"5C", 12, "H", 5},       // a leading digit is the octave, not part of the column number
        {" V7DQ ", 10, "Q", 5},   // spaces trimmed; the quarter runs on
        {"R", kRestRow, "Q", 5},  // a rest shows its letters in the rest row
        {"F#S.", 6, "SD", 5},    {"3CB", 13, "S", 3}, {"B#W,3", 0, "W", 3},
    };
    Song song;
    song.grid.setCellText(0, gridColumnOf(2), "C");  // another channel's note
    for (std::size_t i = 0; i < std::size(cases); ++i)
        song.grid.setCellText(1, gridColumnOf(2 * static_cast<int>(i) + 1), cases[i].cell);

    ChannelRoll roll(song, 2);
    EXPECT_TRUE(song.noteListStale);
    ASSERT_EQ(song.noteList.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const int column = 2 * static_cast<int>(i) + 1;
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(song.noteList[i].column, column);
        EXPECT_EQ(song.noteList[i].octave, c.octave);
        EXPECT_EQ(roll.grid().cellText(c.row, column), c.letters);
    }
    // Columns "1" … "21" (the End column) and a column "End" past them.
    EXPECT_EQ(roll.grid().columnCount(), 23);
    EXPECT_EQ(roll.grid().headerTitle(21), "21");
    EXPECT_EQ(roll.grid().headerTitle(22), "End");
    EXPECT_EQ(roll.lastColumn(), 22);
    EXPECT_EQ(roll.grid().cellText(6, kScaleColumn), "F#");
}

TEST(ChannelRoll, DurationLettersUseSinglePrecisionThresholds)
{
    const std::pair<float, const char*> cases[] = {
        {6.0f, "WD"},  {4.1f, "W"},      {4.0f, "W"},    {3.0f, "HD"},   {2.0f, "H"},  {1.5f, "QD"},
        {1.0f, "Q"},   {0.6f, "E"},      {0.4f, "SD"},   {0.375f, "SD"}, {0.25f, "S"}, {0.1875f, "TD"},
        {0.125f, "T"}, {0.09375f, "FD"}, {0.0625f, "F"}, {0.06f, "U"},
    };
    for (const auto& [duration, letters] : cases) EXPECT_EQ(durationLetters(duration), letters) << duration;
}

TEST(ChannelRoll, RightClicksCycleThroughTheLetters)
{
    const float cycle[] = {0.0625f, 0.125f, 0.1875f, 0.25f,  0.3125f, 0.4375f, 0.625f,
                           0.9375f, 1.125f, 1.9375f, 2.125f, 3.9375f, 4.125f,  0.0625f};
    for (std::size_t i = 0; i + 1 < std::size(cycle); ++i) EXPECT_EQ(nextDuration(cycle[i]), cycle[i + 1]) << i;
    const std::pair<float, float> joins[] = {{1.0f, 1.125f}, {2.0f, 2.125f}, {4.0f, 4.125f}, {0.5f, 0.625f}};
    for (const auto& [from, to] : joins) EXPECT_EQ(nextDuration(from), to) << from;
}

TEST(ChannelRoll, ClicksPlaceMoveAndStepTheColumnsNote)
{
    enum Click { place, change };
    struct Case {
        const char* cell;  // the note of channel 1, column 3, before the click
        Click click;
        int row;
        std::int32_t note;
        float duration;
    };
    const Case cases[] = {
        {"", place, 3, 9, 1.0f},   // a new note takes the running quarter of column 1's "DQ"
        {"", change, 3, 9, 1.0f},  // as does a right click on an empty column
        {"", place, kRestRow, kRestNote, 1.0f},
        {"GE", place, 6, 6, 0.5f},     // a click moves the note, keeping its duration
        {"GE", change, 5, 7, 0.625f},  // a right click on its row steps it
        {"GE", change, 12, 0, 0.5f},   // elsewhere moves it
        {"CQ", change, 12, 0, 1.125f},
        {"CW.", change, 12, 0, 0.0625f},
        {"R", change, kRestRow, kRestNote, 1.125f},  // a rest steps like a note
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cell) + " row " + std::to_string(c.row));
        Song song;
        song.grid.setCellText(0, gridColumnOf(1), "DQ");
        song.grid.setCellText(0, gridColumnOf(3), c.cell);
        song.grid.setCellText(0, gridColumnOf(5), "A");
        ChannelRoll roll(song, 1);
        if (c.click == place) roll.place(c.row, 3);
        else roll.change(c.row, 3);

        ASSERT_EQ(song.noteList.size(), 3u) << "one note per column, in column order";
        const NoteRecord& note = song.noteList[1];
        EXPECT_EQ(note.column, 3);
        EXPECT_EQ(note.note, c.note);
        EXPECT_EQ(note.duration, c.duration);
        EXPECT_EQ(note.octave, 5);
        EXPECT_EQ(note.volume, 5);
        for (int row = 0; row < kPitchRows; ++row)
            EXPECT_EQ(roll.grid().cellText(row, 3), row == c.row ? durationLetters(c.duration) : "") << row;
    }
}

}  // namespace
}  // namespace nimbel
