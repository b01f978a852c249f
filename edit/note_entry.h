// Note entry: what a double-click on a note cell writes once the Note
// Window has given its text. The text's notes, separated by single spaces,
// go into consecutive cells of the row from the clicked one on, in one undo
// group; notes right of the grid's last column are not placed. Entered into
// the first note column, the text also refreshes the row's summary cells.
#pragma once

#include "edit_session.h"

#include <string_view>

namespace nimbel {

// Does nothing for an empty text or a cell that is not a note cell.
void enterNotes(EditSession& session, int row, int column, std::string_view text);

}  // namespace nimbel
