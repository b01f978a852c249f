// Everything the program holds while it runs, in one object passed by
// reference: the song, the project state, the MIDI output and the sequencer,
// the main window's track bar, counter and check marks, the selection colour
// and the handlers of commands that live in other units. start-up fills it,
// the main event loop works on it, shutdown releases it.
#pragma once

#include "file_session.h"
#include "gadget_position_display.h"
#include "main_window.h"
#include "midi_output.h"
#include "note_preview.h"
#include "playhead_view.h"
#include "program_folders.h"
#include "project_state.h"
#include "sequencer.h"
#include "song.h"
#include "song_grid_input.h"
#include "view_options.h"

#include <cstdint>
#include <functional>
#include <string>

namespace nimbel {

class Clock;
class Desktop;
class MidiDevices;
struct Event;

// Commands whose handlers belong to other units: the edit and selection
// commands, the song grid's clicks and keys, the Channel Window, the help
// topics. Tests replace them; an empty handler does nothing.
struct CommandHandlers {
    std::function<void(int command)> editCommand;    // ids 5 … 20 and Redo
    std::function<void(const Event&)> songGrid;      // the song grid's clicks, drags, keys and editor
    std::function<void(int channel)> channelWindow;  // View menu, channel = id − 24
    std::function<void(int command)> helpTopic;      // ids 189 and up
    std::function<void()> helpWindowLayout;          // resize of the Help Window
};

struct Program {
    // `folders` hold the demonstration song and the settings file.
    Program(Desktop& windows, MidiDevices& outputs, Clock& clock, ProgramFolders folders);
    // Closes the main window, which shows the song's grid.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Desktop& desktop;
    MidiDevices& devices;
    const ProgramFolders folders;
    Song song;
    ProjectState project;
    MidiOutput output;
    Sequencer sequencer;
    NotePreview preview;
    GadgetPositionDisplay position;
    MainWindowMusicChecks musicChecks;
    std::uint32_t selectionColor;
    SongCursor cursor;
    ViewOptions options;
    PlayheadView playhead;
    CommandHandlers handlers;
    FileSession files;
};

// Start-up in its order: settings, toolbar images, demonstration song,
// tempo, MIDI output, main window, demonstration song loaded, title,
// playback state. False when the MIDI output could not be opened: the error
// has been shown and no window exists.
bool startUp(Program& program);

// Closes the MIDI output (when open) and every window. The settings file
// and the song are not written here.
void shutDown(Program& program);

// The whole run: start-up, then `fileToOpen` (unless empty) opened as File
// Open opens a chosen file, the main event loop, shutdown. The exit code is 0.
int runProgram(Desktop& desktop, MidiDevices& devices, Clock& clock, const ProgramFolders& folders,
               const std::string& fileToOpen);

}  // namespace nimbel
