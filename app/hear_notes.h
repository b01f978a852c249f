// Notes heard as they are written in the song grid (View > "Hear Notes While
// Editing"): the notes note entry writes, from the Note Window's OK or the
// grid's editor, and a paste into a single cell, while the song is stopped
// or paused. What is heard is found from the undo group the command added,
// so the commands themselves know nothing of it.
#pragma once

#include <cstddef>

namespace nimbel {

struct Program;

enum class HeardCells { all, onlyOne };

// `undoLengthBefore` is the undo list's length before the command ran; the
// cells of the group it added are heard (with `onlyOne`, only when it wrote
// a single cell). A group that removed or inserted columns is not heard.
void hearWrittenNotes(Program& program, std::size_t undoLengthBefore, HeardCells cells);

}  // namespace nimbel
