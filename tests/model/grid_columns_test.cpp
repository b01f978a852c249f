// The song grid's shape: the End column rules, column counts, renumbering,
// and the change notifications a view relies on.
#include "memory_grid.h"
#include "song.h"
#include "song_columns.h"
#include "song_file_test_support.h"
#include "voice_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbel {
namespace {

using testing::RecordingObserver;

std::vector<std::string> headers(const ListGrid& grid)
{
    std::vector<std::string> titles;
    for (int c = 0; c < grid.columnCount(); ++c) titles.push_back(grid.headerTitle(c));
    return titles;
}

TEST(SongGrid, FreshGridHasTwentyNumberedColumnsThenEnd)
{
    Song song;
    const std::vector<std::string> expected{"Channel", "Voice", "Volume", "Octave", "1",  "2",  "3",  "4",  "5",
                                            "6",       "7",     "8",      "9",      "10", "11", "12", "13", "14",
                                            "15",      "16",    "17",     "18",     "19", "20", "End"};
    EXPECT_EQ(headers(song.grid), expected);
    ASSERT_EQ(song.grid.rowCount(), 15);
    EXPECT_EQ(song.grid.cellText(14, 0), "15");
    EXPECT_EQ(song.grid.columnWidth(0), 100);
    EXPECT_EQ(song.grid.columnWidth(2), 50);
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
    EXPECT_EQ(std::count(titles.begin(), titles.end(), "End"), 1);
    EXPECT_EQ(titles[30], "End");

    Song shrunk;  // the new End column keeps its cells
    shrunk.grid.setCellText(2, 10, "C5Q");
    setNoteColumnCount(shrunk.grid, 10);
    EXPECT_EQ(shrunk.grid.columnCount(), 11);
    EXPECT_EQ(shrunk.grid.headerTitle(10), "End");
    EXPECT_EQ(shrunk.grid.cellText(2, 10), "C5Q");

    setNoteColumnCount(shrunk.grid, 3);  // a file without notes asks for this
    EXPECT_EQ(findEndColumn(shrunk.grid), kFirstNoteColumn);
    EXPECT_EQ(shrunk.grid.headerTitle(3), "Octave");
    setNoteColumnCount(shrunk.grid, 2'000'000'000);
    EXPECT_EQ(findEndColumn(shrunk.grid), kFirstNoteColumn + kMaxNoteColumns - 1);
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
    grid.setCellText(15, 4, "x");
    grid.setCellText(-1, 4, "x");
    grid.setCellText(0, 999, "x");
    grid.setItemData(99, 7);
    EXPECT_EQ(grid.cellText(15, 4), "");
    EXPECT_EQ(grid.cellText(0, -5), "");
    EXPECT_EQ(grid.headerTitle(999), "");
    EXPECT_EQ(grid.itemData(99), 0);
    EXPECT_EQ(grid.cellColor(3, 999), kDefaultCellColor);

    grid.setCellText(4, 5, "A");
    grid.setCellColor(4, 5, 0x0F22F0);
    grid.insertColumn(5, "x", 50);
    EXPECT_EQ(grid.cellText(4, 6), "A");
    EXPECT_EQ(grid.cellColor(4, 6), 0x0F22F0u);
    EXPECT_EQ(grid.cellText(4, 5), "");
    grid.removeAllRows();
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(grid.columnCount(), 26);
}

TEST(SongGrid, ViewLearnsEveryKindOfChangeAndABatchAsOneReset)
{
    MemoryGrid grid;
    RecordingObserver view;
    grid.setObserver(&view);
    grid.insertColumn(0, "Channel", 100);
    grid.appendRow("1");
    grid.setCellText(0, 0, "1 T120");
    grid.setCellColor(0, 0, 255);
    grid.setHeaderTitle(0, "C");
    grid.removeColumn(0);
    grid.removeAllRows();
    const std::vector<std::string> expected{"before insert 0", "after insert 0", "before row 0", "after row 0",
                                            "cell 0,0",        "cell 0,0",       "header 0",     "before remove 0",
                                            "after remove 0",  "before reset",   "after reset"};
    EXPECT_EQ(view.calls, expected);

    Song song;
    RecordingObserver batchView;
    song.grid.setObserver(&batchView);
    {
        MemoryGrid::BatchUpdate batch(song.grid);
        MemoryGrid::BatchUpdate nested(song.grid);
        setNoteColumnCount(song.grid, 500);
        song.grid.setCellText(1, 400, "C");
    }
    EXPECT_EQ(batchView.calls, (std::vector<std::string>{"before reset", "after reset"}));
}

TEST(VoiceNames, GeneralMidiOrderAndEmptyOutsideIt)
{
    EXPECT_EQ(voiceNames[0], "");
    EXPECT_EQ(voiceNames[1], "Acoustic Grand Piano");
    EXPECT_EQ(voiceNames[74], "Flute");
    EXPECT_EQ(voiceNames[128], "Gunshot");
    EXPECT_EQ(voiceCellText(129), "129");
    EXPECT_EQ(voiceCellText(-1), "-1");
}

}  // namespace
}  // namespace nimbel
