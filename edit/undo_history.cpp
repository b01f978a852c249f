#include "undo_history.h"

#include "selection.h"
#include "song.h"
#include "song_columns.h"

namespace nimbel {

namespace {

void appendMarker(Song& song, std::int32_t marker) { song.undoList.push_back({0, 0, {}, marker}); }

}  // namespace

UndoGroup::UndoGroup(Song& song, std::int32_t marker) : song_(song), marker_(marker) { appendMarker(song_, marker_); }

UndoGroup::~UndoGroup() { appendMarker(song_, marker_); }

void recordCell(Song& song, int row, int column)
{
    song.undoList.push_back({row, column, song.grid.cellText(row, column), 0});
}

void recordColumnRemoved(Song& song, int column) { song.undoList.push_back({kColumnRemovedRow, column, {}, 0}); }

void recordColumnInserted(Song& song, int column) { song.undoList.push_back({kColumnInsertedRow, column, {}, 0}); }

void recordColumnTitle(Song& song, int column)
{
    song.undoList.push_back({kColumnTitleRow, column, song.grid.headerTitle(column), 0});
}

void undoLastGroup(Song& song)
{
    clearSelection(song);
    std::vector<CellRecord>& history = song.undoList;
    if (!history.empty()) {
        MemoryGrid::BatchUpdate batch(song.grid);
        history.pop_back();  // the closing marker
        bool columnsChanged = false;
        while (!history.empty()) {
            CellRecord change = std::move(history.back());
            history.pop_back();
            if (change.marker != 0) break;
            if (change.row == kColumnRemovedRow) {
                song.grid.insertColumn(change.column, "New", kNoteColumnWidth);
                columnsChanged = true;
            } else if (change.row == kColumnInsertedRow) {
                song.grid.removeColumn(change.column);
                columnsChanged = true;
            } else if (change.row == kColumnTitleRow) {
                song.grid.setHeaderTitle(change.column, std::move(change.text));
            } else {
                song.grid.setCellText(change.row, change.column, std::move(change.text));
            }
        }
        if (columnsChanged) renumberColumns(song.grid);
    }
    song.noteListStale = true;
}

}  // namespace nimbel
