#include "settings_file.h"

#include "decimal_reader.h"
#include "file_replacement.h"
#include "text_file.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

namespace nimbel {

namespace {

constexpr std::string_view kBlanks = " \t";

bool sameKey(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A settings line as it is read back and rewritten.
struct SettingsLine {
    enum class Kind { key, group, comment, other } kind = Kind::other;
    std::string_view key;    // key lines: the key
    std::string_view value;  // key lines: the value; group and comment lines: the name or comment text
    std::string_view raw;    // other lines are kept as they stand
};

SettingsLine parseLine(std::string_view raw)
{
    SettingsLine line;
    line.raw = raw;
    const std::string_view text = trimmed(raw, kBlanks);
    if (text.empty()) return line;
    if (text.front() == ';') {
        line.kind = SettingsLine::Kind::comment;
        line.value = trimmed(text.substr(1), kBlanks);
    } else if (text.front() == '[' && text.back() == ']' && text.size() >= 2) {
        line.kind = SettingsLine::Kind::group;
        line.value = trimmed(text.substr(1, text.size() - 2), kBlanks);
    } else if (const size_t eq = text.find('='); eq != std::string_view::npos && eq > 0) {
        line.kind = SettingsLine::Kind::key;
        line.key = trimmed(text.substr(0, eq), kBlanks);
        line.value = trimmed(text.substr(eq + 1), kBlanks);
    }
    return line;
}

std::vector<SettingsLine> parseSettings(std::string_view text)
{
    std::vector<SettingsLine> lines;
    forEachLine(text, [&](std::string_view raw) { lines.push_back(parseLine(raw)); });
    return lines;
}

std::string lineText(const SettingsLine& line)
{
    switch (line.kind) {
    case SettingsLine::Kind::key: return std::string(line.key) + " = " + std::string(line.value);
    case SettingsLine::Kind::group: return "[" + std::string(line.value) + "]";
    case SettingsLine::Kind::comment: return "; " + std::string(line.value);
    case SettingsLine::Kind::other: break;
    }
    return std::string(line.raw);
}

// Index of the `key` line before the first group, or of the first group
// line (where a new key goes) with `found` false.
size_t keyIndex(const std::vector<SettingsLine>& lines, std::string_view key, bool& found)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == SettingsLine::Kind::group) break;
        if (lines[i].kind == SettingsLine::Kind::key && sameKey(lines[i].key, key)) {
            found = true;
            return i;
        }
    }
    found = false;
    const auto group = std::find_if(lines.begin(), lines.end(),
                                    [](const SettingsLine& l) { return l.kind == SettingsLine::Kind::group; });
    return static_cast<size_t>(group - lines.begin());
}

}  // namespace

std::optional<std::int32_t> settingFromText(std::string_view settingsText, std::string_view key)
{
    const std::vector<SettingsLine> lines = parseSettings(settingsText);
    bool found = false;
    const size_t at = keyIndex(lines, key, found);
    if (!found) return std::nullopt;
    return readDecimal(lines[at].value, Digits::decimalOnly);
}

std::string settingsWithValue(std::string_view settingsText, std::string_view key, std::int32_t value)
{
    std::vector<SettingsLine> lines = parseSettings(settingsText);
    const std::string text = std::to_string(value);
    bool found = false;
    const size_t at = keyIndex(lines, key, found);
    if (!found) {
        SettingsLine added;
        added.kind = SettingsLine::Kind::key;
        added.key = key;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added);
    }
    lines[at].value = text;

    std::string out;
    for (const SettingsLine& line : lines) out += lineText(line) + "\r\n";
    return out;
}

std::optional<std::int32_t> loadSetting(const std::string& iniPath, std::string_view key)
{
    std::string text;
    return readTextFile(iniPath, text) ? settingFromText(text, key) : std::nullopt;
}

bool saveSetting(const std::string& iniPath, std::string_view key, std::int32_t value)
{
    std::string text;
    if (!readTextFile(iniPath, text)) text.clear();  // missing or unreadable: start an empty file
    return replaceFileContents(iniPath, settingsWithValue(text, key, value));
}

}  // namespace nimbel
