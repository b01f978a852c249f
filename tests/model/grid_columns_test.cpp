// The song grid's shape: the End column rules, column counts, renumbering,
// and the change notifications a view relies on.
#include "memory_grid.h"
#include "song.h"
#include "song_columns.h"
#include "voice_names.h"

#include <gtest/gtest.h>

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

TEST(SongGrid, FreshGridHasTwentyNumberedColumnsThenEnd)
{
    Song song;
    const auto titles = headers(song.grid);
    ASSERT_EQ(titles.size(), 25u);
    EXPECT_EQ(titles[0], "Channel");
    EXPECT_EQ(titles[3], "Octave");
    EXPECT_EQ(titles[4], "1");
    EXPECT_EQ(titles[23], "20");
    EXPECT_EQ(titles[24], "End");
    EXPECT_EQ(findEndColumn(song.grid), 24);
    ASSERT_EQ(song.grid.rowCount(), 15);
    EXPECT_EQ(song.grid.cellText(0, 0), "1");
    EXPECT_EQ(song.grid.cellText(14, 0), "15");
    EXPECT_EQ(song.grid.columnWidth(0), 100);
    EXPECT_EQ(song.grid.columnWidth(2), 50);
}

TEST(SongGrid, EndColumnIsFoundByEndBlankOrEmptyTitle)
{
    Song song;
    song.grid.setHeaderTitle(10, " ");
    EXPECT_EQ(findEndColumn(song.grid), 10);
    song.grid.setHeaderTitle(7, "");
    EXPECT_EQ(findEndColumn(song.grid), 7);

    Song noEnd;
    noEnd.grid.removeColumn(24);
    EXPECT_EQ(findEndColumn(noEnd.grid), noEnd.grid.columnCount());
}

TEST(SongGrid, GrowingMovesTheEndColumnAndNumbersTheNewOnes)
{
    Song song;
    setNoteColumnCount(song.grid, 30);
    const auto titles = headers(song.grid);
    ASSERT_EQ(titles.size(), 31u);
    EXPECT_EQ(titles[29], "26");
    EXPECT_EQ(titles[30], "End");
    EXPECT_EQ(std::count(titles.begin(), titles.end(), "End"), 1);
}

TEST(SongGrid, ShrinkingRemovesColumnsAndKeepsTheNewEndColumnsCells)
{
    Song song;
    song.grid.setCellText(2, 10, "C5Q");
    song.grid.setCellText(2, 11, "gone");
    setNoteColumnCount(song.grid, 10);
    EXPECT_EQ(song.grid.columnCount(), 11);
    EXPECT_EQ(song.grid.headerTitle(10), "End");
    EXPECT_EQ(song.grid.cellText(2, 10), "C5Q");
    EXPECT_EQ(findEndColumn(song.grid), 10);
}

TEST(SongGrid, ColumnCountStaysWithinOneAndTheLimit)
{
    Song song;
    setNoteColumnCount(song.grid, 3);  // a file without notes asks for this
    EXPECT_EQ(findEndColumn(song.grid), kFirstNoteColumn);
    EXPECT_EQ(song.grid.headerTitle(3), "Octave");

    setNoteColumnCount(song.grid, 2'000'000'000);
    EXPECT_EQ(findEndColumn(song.grid), kFirstNoteColumn + kMaxNoteColumns - 1);
    EXPECT_EQ(song.grid.columnCount(), kFirstNoteColumn + kMaxNoteColumns);
}

TEST(SongGrid, GrowingAGridWithoutEndColumnStillEndsWithOne)
{
    Song song;
    song.grid.removeColumn(24);  // Delete After can remove the End column
    setNoteColumnCount(song.grid, 27);
    EXPECT_EQ(findEndColumn(song.grid), 27);
    EXPECT_EQ(song.grid.headerTitle(26), "23");
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

TEST(SongGrid, OutsideCellsReadEmptyAndIgnoreWrites)
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
}

TEST(SongGrid, InsertedColumnsCarryCellsAlong)
{
    MemoryGrid grid;
    buildSongGrid(grid);
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

struct RecordingObserver : GridObserver {
    std::vector<std::string> calls;
    void cellChanged(int r, int c) override { calls.push_back("cell " + std::to_string(r) + "," + std::to_string(c)); }
    void headerChanged(int c) override { calls.push_back("header " + std::to_string(c)); }
    void beforeColumnInserted(int c) override { calls.push_back("before insert " + std::to_string(c)); }
    void afterColumnInserted(int c) override { calls.push_back("after insert " + std::to_string(c)); }
    void beforeColumnRemoved(int c) override { calls.push_back("before remove " + std::to_string(c)); }
    void afterColumnRemoved(int c) override { calls.push_back("after remove " + std::to_string(c)); }
    void beforeRowAppended(int r) override { calls.push_back("before row " + std::to_string(r)); }
    void afterRowAppended(int r) override { calls.push_back("after row " + std::to_string(r)); }
    void beforeReset() override { calls.push_back("before reset"); }
    void afterReset() override { calls.push_back("after reset"); }
};

TEST(SongGrid, ViewLearnsEveryKindOfChange)
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
}

TEST(SongGrid, BatchUpdateReportsOneReset)
{
    Song song;
    RecordingObserver view;
    song.grid.setObserver(&view);
    {
        MemoryGrid::BatchUpdate batch(song.grid);
        MemoryGrid::BatchUpdate nested(song.grid);
        setNoteColumnCount(song.grid, 500);
        song.grid.setCellText(1, 400, "C");
    }
    EXPECT_EQ(view.calls, (std::vector<std::string>{"before reset", "after reset"}));
}

TEST(VoiceNames, GeneralMidiOrder)
{
    EXPECT_EQ(voiceNames[0], "");
    EXPECT_EQ(voiceNames[1], "Acoustic Grand Piano");
    EXPECT_EQ(voiceNames[11], "Music Box");
    EXPECT_EQ(voiceNames[74], "Flute");
    EXPECT_EQ(voiceNames[80], "Ocarina");
    EXPECT_EQ(voiceNames[128], "Gunshot");
    EXPECT_EQ(voiceName(129), "");
    EXPECT_EQ(voiceName(-1), "");
}

}  // namespace
}  // namespace nimbel
