// The selection of note cells: selectionList in the order the cells were
// selected, each painted in the selection colour while selected. Only note
// cells that exist are ever selected (grid columns 4 up to the last, rows
// 0 … 14).
#pragma once

#include <cstdint>

namespace nimbel {

struct Song;

// Whether (row, column) is a note cell of the song grid.
bool isNoteCell(const Song& song, int row, int column);

// Gives every selected cell the default background and empties the selection.
void clearSelection(Song& song);
// The same, and the undo history and the redo list are emptied: File New, Open and Save.
void clearSelectionAndHistory(Song& song);

// A left click on a cell: a selected cell is deselected; a note cell that
// is not selected becomes selected and painted. True when the click selected
// the cell; clicks on other cells (summary columns, past the grid) do nothing.
bool toggleSelection(Song& song, int row, int column, std::uint32_t color);

// Select > All: every note cell up to the End column, column by column.
void selectAll(Song& song, std::uint32_t color);
// Selects the rectangle of note cells between two corner cells (in either
// order) instead of what was selected before, column by column.
void selectRectangle(Song& song, int row1, int column1, int row2, int column2, std::uint32_t color);
// Select > Column and Channel: the column, or the row, of the cell selected
// last, without selecting a cell twice. Nothing when nothing is selected.
void selectColumn(Song& song, std::uint32_t color);
void selectChannel(Song& song, std::uint32_t color);

}  // namespace nimbel
