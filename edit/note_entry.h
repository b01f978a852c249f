// Note entry: what a double-click on a note cell writes once the Note
// Window has given its text, and what Return writes from the grid's own
// editor. The text's notes, separated by single spaces, go into consecutive
// cells of the row from the given one on, in one undo group; the song grows
// by the columns they need, up to its last possible column (past it they are
// not placed, and the user is told). Entered into the first note column,
// the text also refreshes the row's summary cells.
#pragma once

#include "edit_session.h"

#include <string_view>

namespace nimbel {

// Returns the grid column after the last note written; with `roomAfter`
// the song grows by that column too, where the grid's cursor goes next.
// Does nothing (and returns `column`) for an empty text or a cell that is
// not a note cell.
int enterNotes(EditSession& session, int row, int column, std::string_view text, bool roomAfter = false);

}  // namespace nimbel
