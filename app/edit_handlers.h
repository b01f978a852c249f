// The main window's editing: clicks and double-clicks on the song grid and
// the Edit and Select commands, connecting the edit layer to the window,
// the Note Window, the colour requester, the settings file and the system
// clipboard.
#pragma once

namespace nimbel {

struct Program;

// Ids 5 … 20.
void editCommand(Program& program, int command);
// At the mouse position of the song grid's latest click.
void songGridClick(Program& program);
void songGridDoubleClick(Program& program);

}  // namespace nimbel
