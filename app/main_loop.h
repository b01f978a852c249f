// The main event loop: one event per pass, handed to its handler by kind and
// by the command table; a pass without an event gives the sequencer its idle
// step, whose sleep paces the loop, and then keeps the recovery file. After
// every pass the title shows whether the song has unsaved changes. Runs
// until File > Exit or a close request of the main window is accepted by the
// save-changes prompt.
#pragma once

namespace nimbel {

struct Program;

enum class Pass { goOn, leave };

Pass runPass(Program& program);
void mainEventLoop(Program& program);

// Ids 0 … 23 exactly (and Redo), then every id of 189 and up to the help
// topics, then 24 … 39 to the Channel Window for channel id − 24; others do
// nothing.
Pass dispatchCommand(Program& program, int command);

}  // namespace nimbel
