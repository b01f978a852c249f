// Where the program keeps its demonstration song and its settings file:
// beside the program file, as long as the program may write there; when it
// is installed where it may not (a system prefix, a read-only mount), in
// the user's own data and config folders instead. Recovery files are always
// in the user's data folder.
#pragma once

#include <string>

namespace nimbel {

struct ProgramFolders {
    std::string songFolder;      // the demonstration song; the file requesters start here
    std::string settingsFolder;  // the settings file
    std::string recoveryFolder;  // the recovery files of unsaved changes (recoveryFolder() below)
};

// The folder of the running program file, with a trailing separator. Needs
// the GuiApplication.
std::string programDirectory();

// Every folder ends with a separator. `programDirectory` (ending with one)
// is used when it is writable; otherwise "nimbel-midi/" in the user's data
// folder and in the user's config folder, made when missing. The recovery
// folder is always recoveryFolder().
ProgramFolders programFolders(const std::string& programDirectory);

// Where each running copy keeps the unsaved changes of its song:
// "nimbel-midi/recovery/" in the user's data folder, made when missing. It
// is there even when the other files are beside the program: unsaved
// changes belong to the user, not to one installation.
std::string recoveryFolder();

}  // namespace nimbel
