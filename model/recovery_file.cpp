#include "recovery_file.h"

#include <charconv>
#include <cstdint>

namespace nimbel {

namespace {

constexpr std::string_view kFirstLine = ";Nimbel MIDI Recovery";
constexpr std::string_view kProject = ";Project ";
constexpr std::string_view kNewProject = ";New project ";
constexpr std::string_view kTime = ";Time ";
constexpr std::string_view kSongHeader = ";Nimbel MIDI Format\r\n";
constexpr std::string_view kStartLine = "\r\nSTART\r\n";
constexpr std::string_view kEndLine = "\r\nEND\r\n";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

bool escaped(unsigned char c) { return c < 0x20 || c == 0x7F || c == '%'; }

std::string escapedPath(std::string_view path)
{
    std::string text;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (!escaped(byte)) {
            text += c;
            continue;
        }
        text += '%';
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0xF];
    }
    return text;
}

// Only the form escapedPath writes is read: anything else is a damaged line.
std::optional<std::string> unescapedPath(std::string_view text)
{
    std::string path;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte != '%') {
            if (escaped(byte)) return std::nullopt;
            path += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const std::size_t high = kHexDigits.find(text[i + 1]);
        const std::size_t low = kHexDigits.find(text[i + 2]);
        if (high == std::string_view::npos || low == std::string_view::npos) return std::nullopt;
        const auto value = static_cast<unsigned char>(high * 16 + low);
        if (!escaped(value) || value == 0) return std::nullopt;  // no path holds a NUL
        path += static_cast<char>(value);
        i += 2;
    }
    return path;
}

// Decimal digits without leading zeros, as std::to_string writes them.
std::optional<std::int64_t> parseSeconds(std::string_view text)
{
    std::int64_t seconds = 0;
    if (text.empty() || text.front() < '0' || text.front() > '9' || (text.front() == '0' && text.size() > 1))
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return seconds;
}

// Takes the next line, ended by CR LF, if it begins with `prefix`: what follows the prefix.
std::optional<std::string_view> takeLine(std::string_view& text, std::string_view prefix)
{
    const std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos || !text.substr(0, end).starts_with(prefix)) return std::nullopt;
    const std::string_view value = text.substr(prefix.size(), end - prefix.size());
    text.remove_prefix(end + 2);
    return value;
}

}  // namespace

std::string recoveryFileText(const RecoveryFacts& facts, std::string_view songText)
{
    std::string text;
    text.reserve(songText.size() + facts.projectPath.size() + 80);
    text.append(kFirstLine).append("\r\n");
    text.append(kProject).append(escapedPath(facts.projectPath)).append("\r\n");
    text.append(kNewProject).append(facts.newProject ? "1" : "0").append("\r\n");
    text.append(kTime).append(std::to_string(facts.time.time_since_epoch().count())).append("\r\n");
    text.append(songText);
    return text;
}

std::optional<RecoveryContents> parseRecoveryFileText(std::string_view text)
{
    const auto first = takeLine(text, kFirstLine);
    const auto project = takeLine(text, kProject);
    const auto newProject = takeLine(text, kNewProject);
    const auto time = takeLine(text, kTime);
    if (!first || !first->empty() || !project || !newProject || (*newProject != "0" && *newProject != "1") || !time)
        return std::nullopt;
    const auto path = unescapedPath(*project);
    const auto seconds = parseSeconds(*time);
    if (!path || !seconds) return std::nullopt;
    if (!text.starts_with(kSongHeader) || text.find(kStartLine) == std::string_view::npos || !text.ends_with(kEndLine))
        return std::nullopt;
    return RecoveryContents{{*path, *newProject == "1", std::chrono::sys_seconds(std::chrono::seconds(*seconds))},
                            std::string(text)};
}

}  // namespace nimbel
