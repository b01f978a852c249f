#include "clipboard_commands.h"

#include "cell_commands.h"
#include "clipboard_text.h"
#include "selection.h"

namespace nimbel {

std::string copyToClipboard(Song& song)
{
    copySelection(song);
    return clipboardText(song.clipList);
}

void pasteFromClipboard(EditSession& session, std::string_view clipboard)
{
    Song& song = session.song;
    if (song.selectionList.size() != 1) {
        session.messages.showError(kOneDestinationMessage);
    } else {
        song.clipList = readClipboardText(clipboard);
        if (song.clipList.empty()) {
            session.messages.showError(kNothingToPasteMessage);
        } else {
            pasteCells(session, song.clipList, {song.selectionList.front().row, song.selectionList.front().column});
        }
    }
    clearSelection(song);
}

}  // namespace nimbel
