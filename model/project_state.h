// Which file the song belongs to and whether it has unsaved changes: the
// current project path, the project-changed flag and the new-project flag,
// with the texts built from them.
#pragma once

#include <string>
#include <string_view>

namespace nimbel {

struct Song;

struct ProjectState {
    std::string currentPath;  // "" after File New
    bool changed = false;     // an edit since the last load, save or File New
    bool isNew = false;       // File New or an import made the song; opening a song file leaves this as it is
    // Where saving a song that has no file yet proposes to put it: beside
    // the MIDI file it was imported from. "" for the program's own folder.
    std::string proposedPath = {};
};

// The text after the last "/" or "\".
std::string_view fileNamePart(std::string_view path);

// "Nimbel MIDI - " and the file-name part of `path`.
std::string projectWindowTitle(std::string_view path);

// "Unable to open " and the file-name part of `path`, then ": " and the
// reason when there is one: what the program and the export tool say of a
// file they cannot open as a song.
std::string unableToOpenText(std::string_view path, std::string_view reason = {});

// Every edit of the song: the project has changed and the note list no
// longer matches the grid.
void markSongChanged(ProjectState& project, Song& song);

}  // namespace nimbel
