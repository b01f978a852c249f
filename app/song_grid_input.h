// What the user does in the song grid, with the mouse and from the keyboard:
// a click selects or releases a cell and puts the cursor on it, Shift+click,
// Shift+arrows and a drag select a rectangle, a double-click opens the Note
// Window; the arrow keys, Home, End, Page Up and Page Down move the cursor;
// a character of the notation opens an editor over the cursor's cell (Return
// or F2 opens it with the cell's text), whose Return writes its notes by note
// entry and moves the cursor past them; Delete and Backspace empty cells;
// Space plays or pauses; F1 shows the main window's help.
#pragma once

#include "edit_session.h"

#include <optional>

namespace nimbel {

struct Event;
struct Program;

// Where the keyboard works in the song grid: always a note cell.
struct SongCursor {
    CellPosition cell;
    std::optional<CellPosition> anchor;     // the fixed corner of a range being extended
    std::optional<CellPosition> dragStart;  // the cell the latest left click pressed
};

// Any event of the song grid (clicks, drags, keys, the editor's end), and
// the keys the main window itself takes.
void handleSongGridEvent(Program& program, const Event& event);

// Channel 1, note column 1, with the keyboard: after start-up, File New and File Open.
void resetSongCursor(Program& program);
// Keeps the cursor on a note cell after the columns changed, and shows it.
void showSongCursor(Program& program);

}  // namespace nimbel
