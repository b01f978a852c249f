#include "edit_handlers.h"

#include "cell_commands.h"
#include "clipboard_commands.h"
#include "column_commands.h"
#include "desktop.h"
#include "hear_notes.h"
#include "program.h"
#include "program_ids.h"
#include "requesters.h"
#include "selection.h"
#include "settings_file.h"
#include "song_grid_input.h"
#include "system_clipboard.h"
#include "undo_history.h"

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

void chooseSelectionColor(Program& program)
{
    const std::int64_t chosen = Requesters(program.desktop).colorRequester(program.selectionColor);
    if (chosen < 0) return;
    program.selectionColor = static_cast<std::uint32_t>(chosen);
    saveSetting(program.folders.settingsFolder + kSettingsFileName, kSelectionColorKey,
                static_cast<std::int32_t>(program.selectionColor));
}

}  // namespace

void withEditSession(Program& program, const std::function<void(EditSession&)>& command)
{
    MessageBoxes messages(program.desktop);
    EditSession session{program.song, program.project, messages, program.selectionColor, program.cursor.cell};
    command(session);
}

void editCommand(Program& program, int command)
{
    Song& song = program.song;
    const std::size_t undoLength = song.undoList.size();
    switch (command) {
    case kEditUndo: undoLastGroup(song); break;
    case kEditRedo: redoLastGroup(song); break;
    case kEditCut: withEditSession(program, cutSelection); break;
    case kEditCopy: copySelection(song); break;
    case kEditPaste: withEditSession(program, pasteClipboard); break;
    case kEditCopyTo: setClipboardText(copyToClipboard(song)); break;
    case kEditPasteFrom:
        withEditSession(program, [&](EditSession& s) { pasteFromClipboard(s, clipboardText()); });
        break;
    case kEditDeleteColumn: withEditSession(program, deleteColumn); break;
    case kEditInsertColumn: withEditSession(program, insertColumn); break;
    case kEditDeleteBefore: withEditSession(program, deleteBefore); break;
    case kEditDeleteAfter: withEditSession(program, deleteAfter); break;
    case kEditClearChannel: withEditSession(program, clearChannel); break;
    case kSelectAll: selectAll(song, program.selectionColor); break;
    case kSelectNone: clearSelection(song); break;
    case kSelectColumn: selectColumn(song, program.selectionColor); break;
    case kSelectChannel: selectChannel(song, program.selectionColor); break;
    case kSelectColor: chooseSelectionColor(program); break;
    default: break;
    }
    showSongCursor(program);  // columns may have come or gone
    if (command == kEditPaste || command == kEditPasteFrom) hearWrittenNotes(program, undoLength, HeardCells::onlyOne);
}

}  // namespace nimbel
