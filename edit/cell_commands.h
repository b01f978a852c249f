// The Edit commands that work on cells: Cut, Copy, Paste and Clear Channel,
// and the pasting of given cells that Paste From shares with Paste.
#pragma once

#include "edit_session.h"

#include <cstdint>
#include <vector>

namespace nimbel {

struct CellRecord;

// Moves the selected cells' remembered texts to the internal clipboard and
// empties the cells, in one undo group (also with nothing selected).
void cutSelection(EditSession& session);
// Copies the selected cells' remembered texts to the internal clipboard.
void copySelection(Song& song);
// Pastes the internal clipboard at the one selected cell, or at the cursor
// when no cell is selected.
void pasteClipboard(EditSession& session);
// Writes `cells` at `destination`: each keeps its row and column offset
// from the top-left of `cells`. Targets right of the song add columns up to
// the 65535 note column limit; targets beyond it are skipped and told once;
// targets outside the note cells are skipped. One undo group; the song is
// marked changed.
void pasteCells(EditSession& session, const std::vector<CellRecord>& cells, CellPosition destination);
// Empties the selected cells, or the cursor's cell when none is selected,
// as one undo group; the internal clipboard is left alone.
void clearCells(EditSession& session);
// Empties every note cell of the selected cell's row.
void clearChannel(EditSession& session);
// Writes the song's tempo as its tempo cell holds it ("1 T" and the tempo),
// as one undo group, and plays it from the next column on.
void setTempo(EditSession& session, std::int32_t tempo);

}  // namespace nimbel
