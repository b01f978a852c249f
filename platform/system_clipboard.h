// The desktop's clipboard as plain text, shared with other programs (another
// running copy takes cells from it). Needs the GuiApplication; its thread only.
#pragma once

#include <string>
#include <string_view>

namespace nimbel {

// The clipboard's text, each character one byte (characters past 255 read as '?').
std::string clipboardText();
void setClipboardText(std::string_view text);

}  // namespace nimbel
