// The piano roll without its window: what opening shows, and the duration
// letters with their right-click cycle.
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

}  // namespace
}  // namespace nimbel
