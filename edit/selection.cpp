#include "selection.h"

#include "song.h"
#include "song_columns.h"

#include <algorithm>
#include <unordered_set>

namespace nimbel {

namespace {

std::uint64_t cellKey(int row, int column)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32) | static_cast<std::uint32_t>(column);
}

void select(Song& song, int row, int column, std::uint32_t color)
{
    song.selectionList.push_back({row, column, song.grid.cellText(row, column), 0});
    song.grid.setCellColor(row, column, color);
}

// Selects the cells `cells` yields that are not selected yet, in order.
template <typename Cells>
void selectMissing(Song& song, std::uint32_t color, Cells cells)
{
    std::unordered_set<std::uint64_t> selected;
    selected.reserve(song.selectionList.size());
    for (const CellRecord& s : song.selectionList) selected.insert(cellKey(s.row, s.column));
    MemoryGrid::BatchUpdate batch(song.grid);
    cells([&](int row, int column) {
        if (isNoteCell(song, row, column) && selected.insert(cellKey(row, column)).second)
            select(song, row, column, color);
    });
}

}  // namespace

bool isNoteCell(const Song& song, int row, int column)
{
    return row >= 0 && row < kSongRows && row < song.grid.rowCount() && column >= kFirstNoteColumn &&
           column < song.grid.columnCount();
}

void clearSelection(Song& song)
{
    MemoryGrid::BatchUpdate batch(song.grid);
    for (const CellRecord& cell : song.selectionList) song.grid.setCellColor(cell.row, cell.column, kDefaultCellColor);
    song.selectionList.clear();
}

void clearSelectionAndHistory(Song& song)
{
    clearSelection(song);
    song.undoList.clear();
    song.redoList.clear();
}

bool toggleSelection(Song& song, int row, int column, std::uint32_t color)
{
    const auto found = std::find_if(song.selectionList.begin(), song.selectionList.end(),
                                    [&](const CellRecord& s) { return s.row == row && s.column == column; });
    if (found != song.selectionList.end()) {
        song.grid.setCellColor(row, column, kDefaultCellColor);
        song.selectionList.erase(found);
        return false;
    }
    if (!isNoteCell(song, row, column)) return false;
    select(song, row, column, color);
    return true;
}

void selectAll(Song& song, std::uint32_t color)
{
    song.selectionList.clear();
    selectMissing(song, color, [&](auto add) {
        const int last = lastNoteColumn(song.grid);
        for (int c = kFirstNoteColumn; c <= last; ++c) {
            for (int r = 0; r < kSongRows; ++r) add(r, c);
        }
    });
}

void selectRectangle(Song& song, int row1, int column1, int row2, int column2, std::uint32_t color)
{
    MemoryGrid::BatchUpdate batch(song.grid);
    clearSelection(song);
    selectMissing(song, color, [&](auto add) {
        for (int c = std::min(column1, column2); c <= std::max(column1, column2); ++c)
            for (int r = std::min(row1, row2); r <= std::max(row1, row2); ++r) add(r, c);
    });
}

void selectColumn(Song& song, std::uint32_t color)
{
    if (song.selectionList.empty()) return;
    const int column = song.selectionList.back().column;
    selectMissing(song, color, [&](auto add) {
        for (int r = 0; r < kSongRows; ++r) add(r, column);
    });
}

void selectChannel(Song& song, std::uint32_t color)
{
    if (song.selectionList.empty()) return;
    const int row = song.selectionList.back().row;
    selectMissing(song, color, [&](auto add) {
        const int last = lastNoteColumn(song.grid);
        for (int c = kFirstNoteColumn; c <= last; ++c) add(row, c);
    });
}

}  // namespace nimbel
