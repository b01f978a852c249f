// How a file requester reads its arguments: the filter text of description
// and pattern pairs separated by "|", and the default path, whose folder part
// is where the requester opens and whose rest is proposed as the file name
// only when it is a valid file name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nimbel {

struct RequesterFilter {
    std::string description;
    std::vector<std::string> patterns;  // the pattern text split at ";"
    friend bool operator==(const RequesterFilter&, const RequesterFilter&) = default;
};

// Pairs of description and pattern; a description without a pattern is dropped.
std::vector<RequesterFilter> parseRequesterFilter(std::string_view filter);

// No control characters and none of " * / : < > ? \ |, and not empty.
bool isValidFileName(std::string_view name);

struct RequesterStart {
    std::string folder;    // "" when the path names no folder
    std::string fileName;  // "" when nothing is proposed
    friend bool operator==(const RequesterStart&, const RequesterStart&) = default;
};

// The folder is the text before the last run of separators. The rest begins
// after the first separator of that run: the program's defaults join a folder
// that already ends in a separator to "/newfile.nmd" or "/*.nmd", so their
// rest keeps a "/", is no valid file name, and the requester opens in the
// program's folder with an empty file-name box.
RequesterStart requesterStart(std::string_view defaultPath);

}  // namespace nimbel
