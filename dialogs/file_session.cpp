#include "file_session.h"

#include "desktop.h"
#include "grid_display.h"
#include "position_display.h"
#include "requesters.h"
#include "selection.h"
#include "sequencer.h"
#include "song.h"
#include "song_file.h"
#include "song_opening.h"

#include <filesystem>
#include <functional>
#include <system_error>

namespace nimbel {

namespace {

constexpr const char* kPromptTitle = "Nimbel MIDI";
constexpr const char* kErrorTitle = "Nimbel MIDI Error";
constexpr const char* kOpenTitle = "Open Nimbel MIDI Project";
constexpr const char* kSaveTitle = "Save Nimbel MIDI";

enum class PromptOutcome { unchanged, saved, discarded, cancelled };

void reportError(FileSession& s, const std::string& text)
{
    Requesters(s.desktop).messageBox(kErrorTitle, text, MessageButtons::ok, MessageIcon::none);
}

// Writes the song to `path`, or says why not and returns false.
bool writeProject(FileSession& s, const std::string& path)
{
    // Saving rebuilds the note list, which forgets which notes sound.
    s.sequencer.endSoundingNotes();
    if (saveSong(s.song, path)) return true;
    reportError(s, "Unable to save " + std::string(fileNamePart(path)));
    return false;
}

// The song was just saved to `path`, a name of its own: the project is that
// file from now on, unchanged, and the title says so.
void becomeSavedFile(FileSession& s, const std::string& path)
{
    s.project.currentPath = path;
    s.project.proposedPath.clear();
    s.project.changed = false;
    s.project.isNew = false;
    showProjectTitle(s, projectWindowTitle(path));
}

// The path to save to, "" when the user cancelled. Choosing a file that
// exists asks first; No shows the requester again with that name.
std::string askForSavePath(FileSession& s, std::string defaultPath)
{
    for (;;) {
        std::string path = Requesters(s.desktop).saveFileRequester(kSaveTitle, defaultPath, kProjectFilter, 0);
        std::error_code error;
        if (path.empty() || !std::filesystem::exists(path, error)) return path;
        const std::string question = std::string(fileNamePart(path)) + " already exists. Do you want to replace it?";
        if (Requesters(s.desktop).messageBox(kSaveTitle, question, MessageButtons::yesNo, MessageIcon::none) ==
            MessageAnswer::yes)
            return path;
        defaultPath = std::move(path);
    }
}

// Where Save As starts: the song's file, the file an imported song came
// from with ".nmd", or "newfile.nmd" in the program's folder.
std::string pathToPropose(const FileSession& s)
{
    if (!s.project.currentPath.empty()) return s.project.currentPath;
    if (!s.project.proposedPath.empty()) return s.project.proposedPath;
    return s.songFolder + "/newfile.nmd";
}

// The file an imported song is proposed to be saved as: its name with ".nmd" for its extension.
std::string projectBeside(const std::string& path)
{
    std::filesystem::path project(path);
    return project.replace_extension(".nmd").string();
}

PromptOutcome promptForChanges(FileSession& s)
{
    ProjectState& project = s.project;
    if (!project.changed) return PromptOutcome::unchanged;
    const std::string question = project.isNew
                                     ? std::string("Your new music file has changed.\nDo you wish to save changes?")
                                     : "Music file " + std::string(fileNamePart(project.currentPath)) +
                                           " has changed.\nDo you wish to save changes?";
    switch (Requesters(s.desktop).messageBox(kPromptTitle, question, MessageButtons::yesNoCancel, MessageIcon::none)) {
    case MessageAnswer::yes: break;
    case MessageAnswer::no:
        project.changed = false;
        project.isNew = false;
        return PromptOutcome::discarded;
    default: return PromptOutcome::cancelled;
    }
    if (!project.isNew) {
        if (!writeProject(s, project.currentPath)) return PromptOutcome::cancelled;
        project.changed = false;
        return PromptOutcome::saved;
    }
    const std::string path = askForSavePath(s, pathToPropose(s));
    if (path.empty() || !writeProject(s, path)) return PromptOutcome::cancelled;
    // What follows may still be cancelled (an Open requester), leaving this song shown under its new name.
    becomeSavedFile(s, path);
    return PromptOutcome::saved;
}

// File Open after its prompt: `chosen` gives the path to open, "" when none
// was chosen. True when the song was replaced.
bool openAfterPrompt(FileSession& session, const std::function<std::string()>& chosen)
{
    const ProjectState before = session.project;
    const PromptOutcome prompt = promptForChanges(session);
    if (prompt == PromptOutcome::cancelled) return false;
    const std::string path = chosen();
    if (path.empty()) return false;

    std::string contents;
    const bool readable = readSongFile(path, contents);
    const SongFileText file = prepareSongFile(readable ? std::move(contents) : std::string());
    if (!readable || !file.refusal.empty()) {
        reportError(session, unableToOpenText(path, file.refusal));
        // The song stays, so a "No" to saving it must not leave it looking saved.
        if (prompt == PromptOutcome::discarded) session.project = before;
        return false;
    }
    startEmptySong(session);
    ProjectState& project = session.project;
    project.currentPath = file.imported ? std::string() : path;
    project.proposedPath = file.imported ? projectBeside(path) : std::string();
    if (file.imported) project.isNew = true;
    loadSongText(session.song, session.position, file.text);
    showProjectTitle(session, projectWindowTitle(path));
    session.sequencer.resetPlayback();
    if (!file.approximations.empty()) {
        Requesters(session.desktop)
            .messageBox(kPromptTitle, importReportMessage(file.approximations), MessageButtons::ok, MessageIcon::none);
    }
    return true;
}

}  // namespace

void showProjectTitle(FileSession& session, std::string title)
{
    session.title = std::move(title);
    session.titleMarked = session.project.changed;
    session.desktop.setWindowTitle(session.mainWindow, session.titleMarked ? session.title + " *" : session.title);
}

void showChangedMarker(FileSession& session)
{
    if (session.titleMarked != session.project.changed) showProjectTitle(session, std::move(session.title));
}

PromptResult saveChangesPrompt(FileSession& session)
{
    return promptForChanges(session) == PromptOutcome::cancelled ? PromptResult::cancel : PromptResult::proceed;
}

void startEmptySong(FileSession& session)
{
    session.sequencer.endSoundingNotes();
    newSong(session.song, session.position);
    clearSelectionAndHistory(session.song);
    // Play starts from the track bar, which belonged to the song before.
    session.position.setPosition(1);
    session.position.setCounterText("1");
}

bool fileNew(FileSession& session)
{
    if (saveChangesPrompt(session) == PromptResult::cancel) return false;
    startEmptySong(session);
    session.project.currentPath.clear();
    session.project.proposedPath.clear();
    session.project.isNew = true;
    showProjectTitle(session, kNewProjectTitle);
    session.sequencer.resetPlayback();
    return true;
}

bool fileOpen(FileSession& session)
{
    return openAfterPrompt(session, [&session] {
        const std::string defaultPath =
            session.project.currentPath.empty() ? session.songFolder + "/*.nmd" : session.project.currentPath;
        return Requesters(session.desktop).openFileRequester(kOpenTitle, defaultPath, kOpenFilter, 0);
    });
}

bool fileOpenPath(FileSession& session, const std::string& path)
{
    return openAfterPrompt(session, [&path] { return path; });
}

void fileSave(FileSession& session)
{
    if (session.project.currentPath.empty()) {
        fileSaveAs(session);
        return;
    }
    if (!writeProject(session, session.project.currentPath)) return;
    session.project.changed = false;
    session.sequencer.resetPlayback();
    clearSelectionAndHistory(session.song);
}

void fileSaveAs(FileSession& session)
{
    const std::string path = askForSavePath(session, pathToPropose(session));
    if (path.empty() || !writeProject(session, path)) return;
    becomeSavedFile(session, path);
    session.sequencer.resetPlayback();
    clearSelectionAndHistory(session.song);
}

}  // namespace nimbel
