#include "clipboard_text.h"

#include "decimal_reader.h"

#include <algorithm>

namespace nimbel {

namespace {

// The part of `text` before the first `separator` at or after `from`, and
// where the next part begins (past the end when there is none).
std::string_view fieldAt(std::string_view text, std::size_t& from, char separator)
{
    if (from > text.size()) return {};
    const std::size_t end = std::min(text.find(separator, from), text.size());
    const std::string_view field = text.substr(from, end - from);
    from = end + 1;
    return field;
}

std::string_view upToSpaceOrControl(std::string_view text)
{
    std::size_t n = 0;
    while (n < text.size() && static_cast<unsigned char>(text[n]) > ' ' && text[n] != '\x7f') ++n;
    return text.substr(0, n);
}

}  // namespace

std::string clipboardText(const std::vector<CellRecord>& cells)
{
    std::string text;
    for (const CellRecord& cell : cells) {
        text += std::to_string(cell.row) + "~" + std::to_string(cell.column) + "~" + cell.text + "!";
    }
    if (!text.empty()) text.pop_back();
    return text;
}

std::vector<CellRecord> readClipboardText(std::string_view text)
{
    std::vector<CellRecord> cells;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view entry = fieldAt(text, at, '!');
        if (entry.empty()) break;
        std::size_t field = 0;
        CellRecord cell;
        cell.row = readDecimal(fieldAt(entry, field, '~'));
        cell.column = readDecimal(fieldAt(entry, field, '~'));
        cell.text = upToSpaceOrControl(fieldAt(entry, field, '~'));
        cells.push_back(std::move(cell));
    }
    return cells;
}

}  // namespace nimbel
