// The song grid's shape (the End column, column counts, renumbering), the
// grid's bounds, and the track bar following the song's length. What a song
// shows in its cells is checked through loading songs.
#include "grid_display.h"
#include "memory_grid.h"
#include "song.h"
#include "song_columns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace nimbel {
namespace {

std::vector<std::string> headers(const ListGrid& grid)
{
    std::vector<std::string> titles;
    for (int c = 0; c < grid.columnCount(); ++c) titles.push_back(grid.headerTitle(c));
    return titles;
}

TEST(SongGrid, EndColumnIsFoundByEndBlankOrEmptyTitle)
{
    Song song;
    EXPECT_EQ(findEndColumn(song.grid), 24);
    song.grid.setHeaderTitle(10, " ");
    EXPECT_EQ(findEndColumn(song.grid), 10);
    song.grid.setHeaderTitle(7, "");
    EXPECT_EQ(findEndColumn(song.grid), 7);
    Song noEnd;
    noEnd.grid.removeColumn(24);
    EXPECT_EQ(findEndColumn(noEnd.grid), noEnd.grid.columnCount());
}

TEST(SongGrid, ColumnCountMovesTheEndColumnWithinOneAndTheLimit)
{
    Song grown;
    setNoteColumnCount(grown.grid, 30);
    const auto titles = headers(grown.grid);
    ASSERT_EQ(titles.size(), 31u);
    EXPECT_EQ(titles[29], "26");
    EXPECT_EQ(titles[30], "End");
    EXPECT_EQ(std::count(titles.begin(), titles.end(), "End"), 1);

    Song shrunk;  // the new End column keeps its cells
    shrunk.grid.setCellText(2, 10, "C5Q");
    setNoteColumnCount(shrunk.grid, 10);
    EXPECT_EQ(headers(shrunk.grid).back(), "End");
    EXPECT_EQ(shrunk.grid.cellText(2, 10), "C5Q");
    setNoteColumnCount(shrunk.grid, 3);  // a file without notes asks for this
    EXPECT_EQ(findEndColumn(shrunk.grid), kFirstNoteColumn);
    setNoteColumnCount(shrunk.grid, 2'000'000'000);
    EXPECT_EQ(shrunk.grid.columnCount(), kFirstNoteColumn + kMaxNoteColumns);

    Song noEnd;
    noEnd.grid.removeColumn(24);  // Delete After can remove the End column
    setNoteColumnCount(noEnd.grid, 27);
    EXPECT_EQ(findEndColumn(noEnd.grid), 27);
    EXPECT_EQ(noEnd.grid.headerTitle(26), "23");
}

TEST(SongGrid, RenumberAfterInsertAndRemove)
{
    Song song;
    song.grid.insertColumn(6, "new", 50);
    song.grid.removeColumn(4);
    renumberColumns(song.grid);
    for (int c = 4; c < 24; ++c) EXPECT_EQ(song.grid.headerTitle(c), std::to_string(c - 3));
    EXPECT_EQ(song.grid.headerTitle(24), "End");
}

TEST(SongGrid, OutsideCellsReadEmptyIgnoreWritesAndInsertedColumnsCarryCells)
{
    MemoryGrid grid;
    buildSongGrid(grid);
    for (const auto& [row, column] : {std::pair{15, 4}, {-1, 4}, {0, 999}, {3, -5}}) {
        grid.setCellText(row, column, "x");
        grid.setCellColor(row, column, 1);
        EXPECT_EQ(grid.cellText(row, column), "");
        EXPECT_EQ(grid.cellColor(row, column), kDefaultCellColor);
    }
    grid.setCellText(4, 5, "A");
    grid.setCellColor(4, 5, 0x0F22F0);
    grid.insertColumn(5, "x", 50);
    EXPECT_EQ(grid.cellText(4, 6), "A");
    EXPECT_EQ(grid.cellColor(4, 6), 0x0F22F0u);
    EXPECT_EQ(grid.cellText(4, 5), "");
}

TEST(ShowNoteList, TrackBarFollowsTheSongLengthAndTheCounterStaysInIt)
{
    Song song;
    PlainPositionDisplay position;
    position.setCounterText("25");
    position.setPosition(25);
    showNoteList(song, position);
    EXPECT_EQ(position.maximum(), 21);
    EXPECT_EQ(position.counterText(), "1");
    EXPECT_EQ(position.position(), 1);

    position.setCounterText("21");
    position.setPosition(21);
    setNoteColumnCount(song.grid, gridColumnOf(40));
    showNoteList(song, position);
    EXPECT_EQ(position.maximum(), 40);
    EXPECT_EQ(position.counterText(), "21");
    EXPECT_EQ(position.position(), 21);
}

}  // namespace
}  // namespace nimbel
