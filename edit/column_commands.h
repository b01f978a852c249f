// The Edit commands that remove or insert note columns at the one selected
// cell: Delete Column, Insert Column, Delete Before and Delete After. With
// more than one cell selected they say so and change nothing; with none
// they do nothing. Each is one undo group and marks the song changed.
#pragma once

#include "edit_session.h"

namespace nimbel {

void deleteColumn(EditSession& session);
// Refused, with a message, when the song already has 65535 note columns.
void insertColumn(EditSession& session);
// Removes the selected column and every note column left of it.
void deleteBefore(EditSession& session);
// Removes the selected column and every column right of it, the End
// column included.
void deleteAfter(EditSession& session);

}  // namespace nimbel
