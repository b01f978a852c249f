#include "column_commands.h"

#include "selection.h"
#include "song_columns.h"
#include "undo_history.h"

#include <optional>

namespace nimbel {

namespace {

// The one selected cell, or nothing (after saying so when there are several).
std::optional<CellRecord> selectedColumnCell(EditSession& session)
{
    const std::vector<CellRecord>& selection = session.song.selectionList;
    if (selection.size() > 1) session.messages.showError("Please select only one column");
    if (selection.size() != 1) return std::nullopt;
    return selection.front();
}

// Records the column's cells, its title and its removal, then removes it.
void removeRecordedColumn(Song& song, int column)
{
    for (int r = 0; r < kSongRows; ++r) recordCell(song, r, column);
    recordColumnTitle(song, column);
    recordColumnRemoved(song, column);
    song.grid.removeColumn(column);
}

// Removes the columns `first` … `last`, highest first, as one undo group.
void removeColumnRange(EditSession& session, int first, int last)
{
    Song& song = session.song;
    markSongChanged(session.project, song);
    {
        MemoryGrid::BatchUpdate batch(song.grid);
        UndoGroup group(song);
        for (int c = last; c >= first; --c) removeRecordedColumn(song, c);
        renumberColumns(song.grid);
    }
    clearSelection(song);
}

}  // namespace

void deleteColumn(EditSession& session)
{
    const std::optional<CellRecord> selected = selectedColumnCell(session);
    if (!selected) return;
    Song& song = session.song;
    song.grid.setCellColor(selected->row, selected->column, kDefaultCellColor);
    markSongChanged(session.project, song);
    {
        UndoGroup group(song);
        removeRecordedColumn(song, selected->column);
    }
    renumberColumns(song.grid);
    song.selectionList.clear();
}

void insertColumn(EditSession& session)
{
    const std::optional<CellRecord> selected = selectedColumnCell(session);
    if (!selected) return;
    Song& song = session.song;
    if (song.grid.columnCount() > kLastSongColumn) {
        session.messages.showError(kTooManyColumnsMessage);
        return;
    }
    markSongChanged(session.project, song);
    {
        UndoGroup group(song);
        recordColumnInserted(song, selected->column);
        song.grid.setCellColor(selected->row, selected->column, kDefaultCellColor);
        song.grid.insertColumn(selected->column, "New", kNoteColumnWidth);
    }
    renumberColumns(song.grid);
    song.selectionList.clear();
}

void deleteBefore(EditSession& session)
{
    if (const std::optional<CellRecord> selected = selectedColumnCell(session))
        removeColumnRange(session, kFirstNoteColumn, selected->column);
}

void deleteAfter(EditSession& session)
{
    if (const std::optional<CellRecord> selected = selectedColumnCell(session))
        removeColumnRange(session, selected->column, lastNoteColumn(session.song.grid));
}

}  // namespace nimbel
