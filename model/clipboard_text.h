// The text that carries selected cells between two running copies of the
// program through the system clipboard: one entry per cell, "row~column~text",
// entries joined by "!".
#pragma once

#include "note_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace nimbel {

// The entries of `cells` in their order; "" for no cells.
std::string clipboardText(const std::vector<CellRecord>& cells);

// The cells of a clipboard text, read up to its first empty entry. Any
// program may have put the text there, so it is read defensively: numbers
// that are not numbers read as 0 and large ones saturate, and a cell's text
// ends at its first space or control character, which no note text holds
// (a space inside a cell would split it into several notes at the next
// save). Where the cells may land is for the paste to decide.
std::vector<CellRecord> readClipboardText(std::string_view text);

}  // namespace nimbel
