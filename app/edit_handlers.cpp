#include "edit_handlers.h"

#include "cell_commands.h"
#include "clipboard_commands.h"
#include "column_commands.h"
#include "desktop.h"
#include "grid_mapping.h"
#include "note_entry.h"
#include "note_window.h"
#include "program.h"
#include "program_ids.h"
#include "requesters.h"
#include "selection.h"
#include "settings_file.h"
#include "song_columns.h"
#include "system_clipboard.h"
#include "undo_history.h"

#include <optional>

namespace nimbel {

namespace {

class MessageBoxes final : public EditMessages {
public:
    explicit MessageBoxes(Desktop& desktop) : desktop_(desktop) {}
    void showError(std::string_view text) override
    {
        Requesters(desktop_).messageBox("Nimbel MIDI Error", text, MessageButtons::ok, MessageIcon::none);
    }

private:
    Desktop& desktop_;
};

// Runs `command` with an edit session over the program's song.
template <typename Command>
void withSession(Program& program, Command command)
{
    MessageBoxes messages(program.desktop);
    EditSession session{program.song, program.project, messages, program.selectionColor};
    command(session);
}

std::optional<GridCell> cellUnderMouse(Program& program)
{
    const Point mouse = program.desktop.mousePosition(kMainWindow);
    return cellAt(program.desktop, kMainWindow, kSongGrid, mouse);
}

void chooseSelectionColor(Program& program)
{
    const std::int64_t chosen = Requesters(program.desktop).colorRequester(program.selectionColor);
    if (chosen < 0) return;
    program.selectionColor = static_cast<std::uint32_t>(chosen);
    saveSelectionColor(program.folders.settingsFolder + kSettingsFileName, program.selectionColor);
}

}  // namespace

void editCommand(Program& program, int command)
{
    Song& song = program.song;
    switch (command) {
    case kEditUndo: undoLastGroup(song); break;
    case kEditCut: withSession(program, cutSelection); break;
    case kEditCopy: copySelection(song); break;
    case kEditPaste: withSession(program, pasteClipboard); break;
    case kEditCopyTo: setClipboardText(copyToClipboard(song)); break;
    case kEditPasteFrom: withSession(program, [&](EditSession& s) { pasteFromClipboard(s, clipboardText()); }); break;
    case kEditDeleteColumn: withSession(program, deleteColumn); break;
    case kEditInsertColumn: withSession(program, insertColumn); break;
    case kEditDeleteBefore: withSession(program, deleteBefore); break;
    case kEditDeleteAfter: withSession(program, deleteAfter); break;
    case kEditClearChannel: withSession(program, clearChannel); break;
    case kSelectAll: selectAll(song, program.selectionColor); break;
    case kSelectNone: clearSelection(song); break;
    case kSelectColumn: selectColumn(song, program.selectionColor); break;
    case kSelectChannel: selectChannel(song, program.selectionColor); break;
    case kSelectColor: chooseSelectionColor(program); break;
    default: break;
    }
}

void songGridClick(Program& program)
{
    const std::optional<GridCell> cell = cellUnderMouse(program);
    if (!cell || !toggleSelection(program.song, cell->row, cell->column, program.selectionColor)) return;
    const int noteColumn = noteColumnOf(cell->column);
    program.position.setCounterText(std::to_string(noteColumn));
    program.position.setPosition(noteColumn);
}

void songGridDoubleClick(Program& program)
{
    const std::optional<GridCell> cell = cellUnderMouse(program);
    if (!cell || !isNoteCell(program.song, cell->row, cell->column)) return;
    const std::string text =
        showNoteWindow(program.desktop, kMainWindow, program.song.grid.cellText(cell->row, cell->column));
    withSession(program, [&](EditSession& s) { enterNotes(s, cell->row, cell->column, text); });
}

}  // namespace nimbel
