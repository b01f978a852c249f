// Copy To and Paste From: the selected cells carried to another running
// copy of the program as clipboard text. The program moves the text to and
// from the system clipboard; these commands make and read it.
#pragma once

#include "edit_session.h"

#include <string>
#include <string_view>

namespace nimbel {

// Copies the selection as Copy does and returns the text for the clipboard.
std::string copyToClipboard(Song& song);

// Pastes the cells of a clipboard text at the one selected cell as Paste
// does, with Paste's two messages, and always ends with no selection.
void pasteFromClipboard(EditSession& session, std::string_view clipboard);

}  // namespace nimbel
