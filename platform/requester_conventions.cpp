#include "requester_conventions.h"

namespace nimbel {

namespace {

std::vector<std::string> splitAt(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

std::vector<RequesterFilter> parseRequesterFilter(std::string_view filter)
{
    std::vector<RequesterFilter> filters;
    if (filter.empty()) return filters;
    const std::vector<std::string> fields = splitAt(filter, '|');
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i + 1].empty()) continue;
        filters.push_back({fields[i], splitAt(fields[i + 1], ';')});
    }
    return filters;
}

bool isValidFileName(std::string_view name)
{
    if (name.empty()) return false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32) return false;
        if (std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos) return false;
    }
    return true;
}

RequesterStart requesterStart(std::string_view defaultPath)
{
    const size_t last = defaultPath.rfind('/');
    if (last == std::string_view::npos) {
        return {"", isValidFileName(defaultPath) ? std::string(defaultPath) : ""};
    }
    size_t runStart = last;
    while (runStart > 0 && defaultPath[runStart - 1] == '/') --runStart;
    const std::string_view rest = defaultPath.substr(runStart + 1);
    const std::string folder = runStart == 0 ? "/" : std::string(defaultPath.substr(0, runStart));
    return {folder, isValidFileName(rest) ? std::string(rest) : ""};
}

}  // namespace nimbel
