#include "project_state.h"

#include "song.h"

namespace nimbel {

std::string_view fileNamePart(std::string_view path)
{
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string projectWindowTitle(std::string_view path) { return "Nimbel MIDI - " + std::string(fileNamePart(path)); }

std::string unableToOpenText(std::string_view path, std::string_view reason)
{
    std::string text = "Unable to open " + std::string(fileNamePart(path));
    if (!reason.empty()) text.append(": ").append(reason);
    return text;
}

void markSongChanged(ProjectState& project, Song& song)
{
    project.changed = true;
    song.noteListStale = true;
}

}  // namespace nimbel
