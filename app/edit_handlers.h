// The main window's Edit and Select commands, connecting the edit layer to
// the window, the colour requester, the settings file and the system
// clipboard.
#pragma once

#include "edit_session.h"

#include <functional>

namespace nimbel {

struct Program;

// Ids 5 … 20 and Redo.
void editCommand(Program& program, int command);

// Runs `command` with an edit session over the program's song: its errors
// shown in message boxes, its cursor the song grid's.
void withEditSession(Program& program, const std::function<void(EditSession&)>& command);

}  // namespace nimbel
