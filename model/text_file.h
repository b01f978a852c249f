// Reading text files shared by the song file and the settings file: read a
// file at once, walk its lines ended by CR, LF or CR LF, trim blanks.
// Files are written through file_replacement.h.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace nimbel {

// False when the file cannot be read (missing, a folder, no permission).
bool readTextFile(const std::string& path, std::string& contents);

// The letters a to z as A to Z; every other byte as it is. Note texts and
// song files are read in upper case, whatever the code page.
constexpr char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
void toUpperAscii(std::string& text);

// `text` without the characters of `blanks` at its start and end.
std::string_view trimmed(std::string_view text, std::string_view blanks = " ");

// Calls `handle(line)` for each line of `text`, without its line end. A last
// line without a line end is handled too; a final line end adds no empty line.
template <typename Handle>
void forEachLine(std::string_view text, Handle&& handle)
{
    size_t start = 0;
    while (start < text.size()) {
        // One pass over the line; find_first_of would search the two line ends at every character.
        const auto lineEnd =
            std::find_if(text.begin() + start, text.end(), [](char c) { return c == '\r' || c == '\n'; });
        const size_t end = lineEnd == text.end() ? std::string_view::npos : static_cast<size_t>(lineEnd - text.begin());
        if (end == std::string_view::npos) {
            handle(text.substr(start));
            return;
        }
        handle(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

}  // namespace nimbel
