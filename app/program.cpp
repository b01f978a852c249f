#include "program.h"

#include "channel_window.h"
#include "demo_song.h"
#include "desktop.h"
#include "edit_handlers.h"
#include "help_window.h"
#include "main_loop.h"
#include "program_ids.h"
#include "requesters.h"
#include "settings_file.h"
#include "song_file.h"

namespace nimbel {

Program::Program(Desktop& windows, MidiDevices& outputs, Clock& clock, ProgramFolders chosenFolders)
    : desktop(windows),
      devices(outputs),
      folders(std::move(chosenFolders)),
      sequencer(song, output, clock),
      preview(output, clock, song.channels),
      position(desktop, kMainWindow, kPositionTrackBar, kNoteCounter),
      musicChecks(desktop),
      selectionColor(kDefaultSelectionColor),
      files{desktop, song, project, sequencer, position, folders.songFolder, kMainWindow}
{
    handlers.editCommand = [this](int command) { nimbel::editCommand(*this, command); };
    handlers.songGrid = [this](const Event& event) { handleSongGridEvent(*this, event); };
    handlers.channelWindow = [this](int channel) {
        openChannelWindow({desktop, song, project, sequencer, options.hearNotes ? &preview : nullptr, kMainWindow,
                           kSongGrid, kStopImageId, kPauseImageId, kPlayImageId},
                          channel);
    };
    handlers.helpTopic = [this](int command) { helpTopicCommand(desktop, command); };
    handlers.helpWindowLayout = [this] { layoutHelpWindow(desktop); };
}

Program::~Program() { desktop.closeWindow(kMainWindow); }

bool startUp(Program& program)
{
    // The voice names are constant data and the song object already holds the
    // note list with its default record, the channel state and the cell lists.
    program.selectionColor =
        static_cast<std::uint32_t>(loadSetting(program.folders.settingsFolder + kSettingsFileName, kSelectionColorKey)
                                       .value_or(static_cast<std::int32_t>(kDefaultSelectionColor)));
    loadToolbarImages(program.desktop);
    ensureDemoSong(program.folders.songFolder);
    program.song.tempo = kDefaultTempo;

    const int device = program.output.chooseOutputDevice(program.devices);
    if (!program.output.openOutput(program.devices, device)) {
        Requesters(program.desktop)
            .messageBox("Error", "Unable to open MIDI output", MessageButtons::ok, MessageIcon::error);
        return false;
    }

    createMainWindow(program.desktop, program.song, program.position);
    layoutMainWindow(program.desktop);
    loadViewOptions(program);

    program.project.currentPath = program.folders.songFolder + std::string(kDemoSongFileName);
    loadSong(program.song, program.position, program.project.currentPath);
    program.desktop.setWindowTitle(kMainWindow, projectWindowTitle(program.project.currentPath));
    program.sequencer.resetPlayback();
    resetSongCursor(program);
    return true;
}

void shutDown(Program& program)
{
    if (program.output.isOpen()) program.output.closeOutput();
    program.desktop.closeAllWindows();
}

int runProgram(Desktop& desktop, MidiDevices& devices, Clock& clock, const ProgramFolders& folders,
               const std::string& fileToOpen)
{
    Program program(desktop, devices, clock, folders);
    if (startUp(program)) {
        if (!fileToOpen.empty() && fileOpenPath(program.files, fileToOpen)) resetSongCursor(program);
        mainEventLoop(program);
    }
    shutDown(program);
    return 0;
}

}  // namespace nimbel
