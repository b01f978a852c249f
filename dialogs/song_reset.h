// Forgetting the selection and the undo history, as the file commands and
// File New do: selected cells get the grid's default background back.
#pragma once

namespace nimbel {

struct Song;

void clearSelection(Song& song);
void clearSelectionAndHistory(Song& song);

}  // namespace nimbel
