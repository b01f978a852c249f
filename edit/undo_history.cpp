#include "undo_history.h"

#include "notation.h"
#include "selection.h"
#include "song.h"
#include "song_columns.h"

namespace nimbel {

namespace {

void appendMarker(Song& song, std::int32_t marker) { song.undoList.push_back({0, 0, {}, marker}); }

}  // namespace

UndoGroup::UndoGroup(Song& song, std::int32_t marker) : song_(song), marker_(marker)
{
    song_.redoList.clear();
    appendMarker(song_, marker_);
}

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

namespace {

// Takes the newest group off `from`, newest change first, and appends to
// `to` a group of what each change replaced, in the order made, so that
// taking that group back restores what `from` held.
void takeBackGroup(Song& song, std::vector<CellRecord>& from, std::vector<CellRecord>& to)
{
    clearSelection(song);
    if (!from.empty()) {
        MemoryGrid::BatchUpdate batch(song.grid);
        const std::int32_t marker = from.back().marker;
        from.pop_back();  // the closing marker
        to.push_back({0, 0, {}, marker});
        bool columnsChanged = false;
        while (!from.empty()) {
            CellRecord change = std::move(from.back());
            from.pop_back();
            if (change.marker != 0) break;
            if (change.row == kColumnRemovedRow) {
                song.grid.insertColumn(change.column, change.text.empty() ? "New" : change.text, kNoteColumnWidth);
                to.push_back({kColumnInsertedRow, change.column, {}, 0});
                columnsChanged = true;
            } else if (change.row == kColumnInsertedRow) {
                // Its cells were taken back before it, so it goes as empty as it came, with its title.
                to.push_back({kColumnRemovedRow, change.column, song.grid.headerTitle(change.column), 0});
                song.grid.removeColumn(change.column);
                columnsChanged = true;
            } else if (change.row == kColumnTitleRow) {
                to.push_back({kColumnTitleRow, change.column, song.grid.headerTitle(change.column), 0});
                song.grid.setHeaderTitle(change.column, std::move(change.text));
            } else {
                to.push_back({change.row, change.column, song.grid.cellText(change.row, change.column), 0});
                song.grid.setCellText(change.row, change.column, std::move(change.text));
            }
        }
        to.push_back({0, 0, {}, marker});
        if (columnsChanged) renumberColumns(song.grid);
        song.tempo = tempoOfCell(song.grid);  // a tempo taken back plays from the next column on
    }
    song.noteListStale = true;
}

}  // namespace

void undoLastGroup(Song& song) { takeBackGroup(song, song.undoList, song.redoList); }

void redoLastGroup(Song& song) { takeBackGroup(song, song.redoList, song.undoList); }

}  // namespace nimbel
