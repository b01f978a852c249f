#include "song_grid_input.h"

#include "cell_commands.h"
#include "desktop.h"
#include "edit_handlers.h"
#include "gadgets.h"
#include "grid_mapping.h"
#include "hear_notes.h"
#include "list_grid_actions.h"
#include "main_loop.h"
#include "note_entry.h"
#include "note_window.h"
#include "program.h"
#include "program_ids.h"
#include "selection.h"
#include "song_columns.h"
#include "text_file.h"

#include <algorithm>
#include <string_view>

namespace nimbel {

namespace {

// The characters of the notation that open the editor when typed into the grid.
constexpr std::string_view kNotationCharacters = "ABCDEFGRVWHQST0123456789#+-<>,.";

CellPosition insideTheSong(const Song& song, CellPosition cell)
{
    const int last = std::max(kFirstNoteColumn, lastNoteColumn(song.grid));
    return {std::clamp(cell.row, 0, kSongRows - 1), std::clamp(cell.column, kFirstNoteColumn, last)};
}

// Moves the cursor; with `extend` the selection becomes the rectangle from
// the range's fixed corner (the cursor where the range began) to the cursor.
void moveCursor(Program& program, CellPosition to, bool extend)
{
    SongCursor& cursor = program.cursor;
    if (extend && !cursor.anchor) cursor.anchor = cursor.cell;
    if (!extend) cursor.anchor.reset();
    cursor.cell = insideTheSong(program.song, to);
    if (extend) {
        selectRectangle(program.song, cursor.anchor->row, cursor.anchor->column, cursor.cell.row, cursor.cell.column,
                        program.selectionColor);
    }
    showSongCursor(program);
}

void openEditor(Program& program, std::string_view text)
{
    const CellPosition at = program.cursor.cell;
    ListGridActions(program.desktop).openGridEditor(kMainWindow, kSongGrid, at.row, at.column, text);
}

// Return in the editor: its notes go in as the Note Window's OK puts them,
// and the cursor moves to the column after them.
void acceptEditor(Program& program)
{
    ListGridActions grid(program.desktop);
    std::string text = grid.gridEditorText(kMainWindow, kSongGrid);
    grid.closeGridEditor(kMainWindow, kSongGrid);
    toUpperAscii(text);
    const CellPosition at = program.cursor.cell;
    int after = at.column;
    const std::size_t undoLength = program.song.undoList.size();
    withEditSession(program, [&](EditSession& s) { after = enterNotes(s, at.row, at.column, text, true); });
    hearWrittenNotes(program, undoLength, HeardCells::all);
    moveCursor(program, {at.row, after}, false);
}

void handleKey(Program& program, const Event& event)
{
    const CellPosition at = program.cursor.cell;
    const int page = std::max(1, Gadgets(program.desktop).gridViewWidth(kMainWindow, kSongGrid) / kNoteColumnWidth);
    switch (event.key) {
    case Key::left: moveCursor(program, {at.row, at.column - 1}, event.shift); break;
    case Key::right: moveCursor(program, {at.row, at.column + 1}, event.shift); break;
    case Key::up: moveCursor(program, {at.row - 1, at.column}, event.shift); break;
    case Key::down: moveCursor(program, {at.row + 1, at.column}, event.shift); break;
    case Key::home: moveCursor(program, {at.row, kFirstNoteColumn}, event.shift); break;
    case Key::end: moveCursor(program, {at.row, lastNoteColumn(program.song.grid)}, event.shift); break;
    case Key::pageUp: moveCursor(program, {at.row, at.column - page}, event.shift); break;
    case Key::pageDown: moveCursor(program, {at.row, at.column + page}, event.shift); break;
    case Key::enter:
    case Key::f2: openEditor(program, program.song.grid.cellText(at.row, at.column)); break;
    case Key::del:
    case Key::backspace: withEditSession(program, clearCells); break;
    case Key::space: dispatchCommand(program, program.sequencer.isPlaying() ? kMusicPause : kMusicPlay); break;
    case Key::f1: dispatchCommand(program, kHelpMainWindow); break;
    case Key::character:
        if (const char typed = upperAscii(event.text); kNotationCharacters.find(typed) != std::string_view::npos)
            openEditor(program, std::string(1, typed));
        break;
    case Key::none:
    case Key::escape: break;
    }
}

std::optional<CellPosition> noteCellUnderMouse(Program& program)
{
    const Point mouse = program.desktop.mousePosition(kMainWindow);
    const std::optional<GridCell> cell = cellAt(program.desktop, kMainWindow, kSongGrid, mouse);
    if (!cell || !isNoteCell(program.song, cell->row, cell->column)) return std::nullopt;
    return CellPosition{cell->row, cell->column};
}

// A click toggles the cell's selection (moving the counter and track bar to
// a cell it selects) and puts the cursor there; with Shift it selects the
// rectangle from the cursor instead.
void click(Program& program, bool shift)
{
    ListGridActions(program.desktop).closeGridEditor(kMainWindow, kSongGrid);
    const std::optional<CellPosition> cell = noteCellUnderMouse(program);
    if (!cell) return;
    if (shift) {
        moveCursor(program, *cell, true);
        return;
    }
    program.cursor.dragStart = *cell;
    moveCursor(program, *cell, false);
    if (!toggleSelection(program.song, cell->row, cell->column, program.selectionColor)) return;
    const int noteColumn = noteColumnOf(cell->column);
    program.position.setCounterText(std::to_string(noteColumn));
    program.position.setPosition(noteColumn);
}

// A drag selects the rectangle it sweeps.
void drag(Program& program)
{
    const std::optional<CellPosition> cell = noteCellUnderMouse(program);
    if (!cell || !program.cursor.dragStart) return;
    program.cursor.anchor = program.cursor.dragStart;
    moveCursor(program, *cell, true);
}

void doubleClick(Program& program)
{
    const std::optional<CellPosition> cell = noteCellUnderMouse(program);
    if (!cell) return;
    moveCursor(program, *cell, false);
    const std::string text =
        showNoteWindow(program.desktop, kMainWindow, program.song.grid.cellText(cell->row, cell->column));
    const std::size_t undoLength = program.song.undoList.size();
    withEditSession(program, [&](EditSession& s) { enterNotes(s, cell->row, cell->column, text); });
    hearWrittenNotes(program, undoLength, HeardCells::all);
}

}  // namespace

void handleSongGridEvent(Program& program, const Event& event)
{
    if (event.kind == EventKind::key) {
        handleKey(program, event);
        return;
    }
    switch (event.action) {
    case GadgetAction::leftClick: click(program, event.shift); break;
    case GadgetAction::dragged: drag(program); break;
    case GadgetAction::doubleClick: doubleClick(program); break;
    case GadgetAction::editAccepted: acceptEditor(program); break;
    case GadgetAction::editCancelled: ListGridActions(program.desktop).closeGridEditor(kMainWindow, kSongGrid); break;
    default: break;
    }
}

void resetSongCursor(Program& program)
{
    program.cursor = {{0, kFirstNoteColumn}, std::nullopt, std::nullopt};
    showSongCursor(program);
    // The keyboard's shortcuts work in the active window.
    program.desktop.activateWindow(kMainWindow);
    Gadgets(program.desktop).focusGadget(kMainWindow, kSongGrid);
}

void showSongCursor(Program& program)
{
    SongCursor& cursor = program.cursor;
    cursor.cell = insideTheSong(program.song, cursor.cell);
    ListGridActions(program.desktop).setGridCursor(kMainWindow, kSongGrid, cursor.cell.row, cursor.cell.column);
}

}  // namespace nimbel
