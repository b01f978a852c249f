// The save-changes prompt and the File menu's New, Open, Save and Save As
// with their requesters.
//
// No failure loses the song: a save that fails says "Unable to save" and the
// file name (titled "Nimbel MIDI Error") and keeps the song marked changed,
// and a prompt whose save failed answers cancel, so nothing that follows
// discards the unsaved song. A file that cannot be read, or holds no song,
// is reported as "Unable to open" and the file name (with the reason for a
// file that is no song) before anything of the song is cleared. Saving over
// an existing file asks first.
//
// A Standard MIDI File (known by its content) is imported as a new project
// titled with its name: saving asks for a name, proposing NAME.nmd beside
// it, so the MIDI file is never written over; what the import had to change
// is said in one message box.
#pragma once

#include "project_state.h"

#include <string>

namespace nimbel {

class Desktop;
class PositionDisplay;
class Sequencer;
struct Song;

inline constexpr const char* kProjectFilter = "Nimbel MIDI (*.nmd)|*.nmd|All Files (*.*)|*.*";
// File Open also offers MIDI files, which it imports.
inline constexpr const char* kOpenFilter =
    "Nimbel MIDI (*.nmd)|*.nmd|MIDI files (*.mid *.midi)|*.mid;*.midi|All Files (*.*)|*.*";

// What the file commands act on; all of it outlives the session.
struct FileSession {
    Desktop& desktop;
    Song& song;
    ProjectState& project;
    Sequencer& sequencer;
    PositionDisplay& position;  // the main window's track bar and note counter
    std::string songFolder;     // where the requesters start without a project file; ends with a separator
    int mainWindow = 0;
    // The main window's title as last set, without the changed marker, and
    // whether the marker shows.
    std::string title = {};
    bool titleMarked = false;
};

// The title of a song File New made, before it has a file.
inline constexpr const char* kNewProjectTitle = "Nimbel MIDI - New Project";

// Shows `title` on the main window, followed by " *" while the song has
// unsaved changes.
void showProjectTitle(FileSession& session, std::string title);
// Adds or removes the " *" once the changed flag no longer matches it; the
// main loop calls it after every pass, so every edit, save and discard shows.
void showChangedMarker(FileSession& session);

enum class PromptResult { proceed, cancel };

// Asks whether unsaved changes are to be saved, before the song is replaced
// or the program ends. Proceeds at once when nothing has changed.
PromptResult saveChangesPrompt(FileSession& session);

// The song, its grid rows and its channel state start afresh (the note
// columns stay); the selection and the undo history are emptied, and the
// track bar and counter go back to column 1. Notes still sounding are ended
// first, since no record will remember them afterwards.
void startEmptySong(FileSession& session);

// File New: after the prompt, an empty song in the same note columns, no
// project path, the new-project flag, the title "Nimbel MIDI - New Project".
// New and Open say whether the song was replaced.
bool fileNew(FileSession& session);
bool fileOpen(FileSession& session);
// File Open of a file chosen beforehand (the program's command line): the
// same prompt, load, title and "Unable to open" box, without the requester.
bool fileOpenPath(FileSession& session, const std::string& path);
void fileSave(FileSession& session);
void fileSaveAs(FileSession& session);

}  // namespace nimbel
