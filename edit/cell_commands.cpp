#include "cell_commands.h"

#include "column_growth.h"
#include "notation.h"
#include "selection.h"
#include "song_columns.h"
#include "undo_history.h"

#include <algorithm>
#include <cstdint>

namespace nimbel {

void cutSelection(EditSession& session)
{
    Song& song = session.song;
    song.clipList.clear();
    {
        MemoryGrid::BatchUpdate batch(song.grid);
        UndoGroup group(song);
        song.undoList.reserve(song.undoList.size() + song.selectionList.size() + 1);
        song.clipList.reserve(song.selectionList.size());
        for (const CellRecord& s : song.selectionList) {
            song.undoList.push_back(s);
            song.grid.setCellText(s.row, s.column, {});
            song.clipList.push_back(s);
            song.grid.setCellColor(s.row, s.column, kDefaultCellColor);
        }
    }
    song.selectionList.clear();
    markSongChanged(session.project, song);
}

void copySelection(Song& song)
{
    song.clipList.clear();
    MemoryGrid::BatchUpdate batch(song.grid);
    for (const CellRecord& s : song.selectionList) {
        song.clipList.push_back(s);
        song.grid.setCellColor(s.row, s.column, kDefaultCellColor);
    }
    song.selectionList.clear();
}

void pasteClipboard(EditSession& session)
{
    Song& song = session.song;
    if (song.selectionList.size() > 1) {
        session.messages.showError(kOneDestinationMessage);
    } else if (song.clipList.empty()) {
        session.messages.showError(kNothingToPasteMessage);
    } else if (!song.selectionList.empty()) {
        pasteCells(session, song.clipList, {song.selectionList.front().row, song.selectionList.front().column});
    } else if (session.cursor) {
        pasteCells(session, song.clipList, *session.cursor);
    } else {
        session.messages.showError(kOneDestinationMessage);
    }
    clearSelection(song);
}

void pasteCells(EditSession& session, const std::vector<CellRecord>& cells, CellPosition destination)
{
    Song& song = session.song;
    int top = cells.front().row;
    int left = cells.front().column;
    for (const CellRecord& c : cells) {
        top = std::min(top, c.row);
        left = std::min(left, c.column);
    }
    bool pastTheLimit = false;
    {
        MemoryGrid::BatchUpdate batch(song.grid);
        UndoGroup group(song);
        int end = findEndColumn(song.grid);
        for (const CellRecord& c : cells) {
            const std::int64_t row = std::int64_t{destination.row} + c.row - top;
            const std::int64_t column = std::int64_t{destination.column} + c.column - left;
            if (column > kLastSongColumn) {
                pastTheLimit = true;
                continue;
            }
            growSongTo(song, static_cast<int>(column), end);
            if (isNoteCell(song, static_cast<int>(std::clamp<std::int64_t>(row, -1, kSongRows)),
                           static_cast<int>(column))) {
                recordCell(song, static_cast<int>(row), static_cast<int>(column));
                song.grid.setCellText(static_cast<int>(row), static_cast<int>(column), c.text);
            }
        }
    }
    markSongChanged(session.project, song);
    if (pastTheLimit) session.messages.showError(kTooManyColumnsMessage);
}

void clearCells(EditSession& session)
{
    Song& song = session.song;
    std::vector<CellPosition> cells;
    for (const CellRecord& s : song.selectionList) cells.push_back({s.row, s.column});
    if (cells.empty() && session.cursor && isNoteCell(song, session.cursor->row, session.cursor->column))
        cells.push_back(*session.cursor);
    if (cells.empty()) return;
    {
        MemoryGrid::BatchUpdate batch(song.grid);
        UndoGroup group(song);
        for (const CellPosition& cell : cells) {
            recordCell(song, cell.row, cell.column);
            song.grid.setCellText(cell.row, cell.column, {});
        }
    }
    clearSelection(song);
    markSongChanged(session.project, song);
}

void setTempo(EditSession& session, std::int32_t tempo)
{
    Song& song = session.song;
    {
        UndoGroup group(song);
        recordCell(song, 0, kChannelColumn);
        song.grid.setCellText(0, kChannelColumn, "1 T" + std::to_string(tempo));
    }
    song.tempo = tempoOfCell(song.grid);
    markSongChanged(session.project, song);
}

void clearChannel(EditSession& session)
{
    Song& song = session.song;
    if (song.selectionList.size() > 1) {
        session.messages.showError("Please select only one channel");
        return;
    }
    if (song.selectionList.empty()) return;
    markSongChanged(session.project, song);
    const int row = song.selectionList.front().row;
    {
        MemoryGrid::BatchUpdate batch(song.grid);
        UndoGroup group(song);
        const int last = lastNoteColumn(song.grid);
        for (int c = kFirstNoteColumn; c <= last; ++c) {
            recordCell(song, row, c);
            song.grid.setCellText(row, c, {});
        }
    }
    clearSelection(song);
}

}  // namespace nimbel
