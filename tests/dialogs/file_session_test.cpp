// The save-changes prompt and File Open, Save and Save As, driven as a user
// would answer them: prompts and requesters answered by a script, files in a
// temporary program folder.
#include "../support/offscreen_application.h"
#include "../support/scratch_files.h"

#include "desktop.h"
#include "file_session.h"
#include "grid_display.h"
#include "midi_output.h"
#include "recording_midi.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"
#include "selection.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing_support::fileText;
using testing_support::OffscreenApplication;
namespace fs = std::filesystem;

constexpr const char* kNewPrompt = "Your new music file has changed.\nDo you wish to save changes?";

// The project's path and flags as one value to compare.
std::tuple<std::string, bool, bool> state(const ProjectState& p) { return {p.currentPath, p.changed, p.isNew}; }

class FileCommands : public ::testing::Test {
protected:
    FileCommands()
    {
        desktop.openWindow(0, {"Nimbel MIDI - MIDI.txt", {604, 298}, WindowFrame::resizable, std::nullopt, {}});
        desktop.setDialogScript(&script);
        output.openOutput(devices, output.chooseOutputDevice(devices));
        project.currentPath = (folder / "MIDI.txt").string();
    }

    void writeSong(const std::string& name, const std::string& text) { std::ofstream(folder / name) << text; }
    std::string path(const std::string& name) const { return (folder / name).string(); }
    void editCell(int row, int noteColumn, const std::string& text)
    {
        song.grid.setCellText(row, gridColumnOf(noteColumn), text);
        markSongChanged(project, song);
    }

    testing_support::ScratchFolder scratch{"nimbel-files"};
    const fs::path& folder = scratch.path;
    QueuedDialogScript script;
    Desktop desktop{OffscreenApplication::application()};
    Song song;
    ProjectState project;
    SimulatedClock clock;
    MessageLog sent;
    RecordingMidiDevices devices{clock, sent};
    MidiOutput output;
    Sequencer sequencer{song, output, clock};
    PlainPositionDisplay position;
    FileSession session{desktop, song, project, sequencer, position, scratch.directory(), 0};
};

TEST_F(FileCommands, UnchangedProjectProceedsWithoutAsking)
{
    project.isNew = true;
    EXPECT_EQ(saveChangesPrompt(session), PromptResult::proceed);
    EXPECT_TRUE(script.messages().empty());
}

TEST_F(FileCommands, ChangedProjectNamesItsFileAndYesWritesThereWithoutARequester)
{
    project.currentPath = path("song.nmd");
    editCell(0, 1, "C5Q");
    script.expectMessage(MessageReply::yes);
    EXPECT_EQ(saveChangesPrompt(session), PromptResult::proceed);
    ASSERT_EQ(script.messages().size(), 1u);
    const ShownMessage& prompt = script.messages()[0];
    EXPECT_EQ(prompt.title, "Nimbel MIDI");
    EXPECT_EQ(prompt.text, "Music file song.nmd has changed.\nDo you wish to save changes?");
    EXPECT_EQ(prompt.buttons, MessageButtons::yesNoCancel);
    EXPECT_EQ(prompt.defaultButton, "Yes");
    EXPECT_EQ(prompt.icon, MessageIcon::none);
    EXPECT_TRUE(script.requesters().empty());
    EXPECT_NE(fileText(folder / "song.nmd").find("N1X1C5Q\r\n"), std::string::npos);
    EXPECT_FALSE(project.changed);
}

TEST_F(FileCommands, ChangedProjectNoClearsTheFlagAndCancelEscapeAndCloseBoxKeepIt)
{
    editCell(0, 1, "C");
    for (MessageReply reply : {MessageReply::cancel, MessageReply::escapeKey, MessageReply::closeBox}) {
        script.expectMessage(reply);
        EXPECT_EQ(saveChangesPrompt(session), PromptResult::cancel);
        EXPECT_TRUE(project.changed);
    }
    script.expectMessage(MessageReply::no);
    EXPECT_EQ(saveChangesPrompt(session), PromptResult::proceed);
    EXPECT_FALSE(project.changed);
    EXPECT_FALSE(fs::exists(folder / "MIDI.txt")) << "No writes nothing";
}

TEST_F(FileCommands, ChangedNewProjectYesWithCancelledRequesterStaysChangedAndNoClearsBothFlags)
{
    project = {"", true, true};
    script.expectMessage(MessageReply::yes);
    script.expectRequesterCancel();
    EXPECT_EQ(saveChangesPrompt(session), PromptResult::cancel);
    EXPECT_EQ(script.messages().at(0).text, kNewPrompt);
    EXPECT_EQ(state(project), state({"", true, true}));
    ASSERT_EQ(script.requesters().size(), 1u);
    const ShownRequester& asked = script.requesters()[0];
    EXPECT_EQ(asked.kind, RequesterKind::save);
    EXPECT_EQ(asked.title, "Save Nimbel MIDI");
    EXPECT_EQ(asked.folder, folder.string()) << "the program folder with an empty name box";
    EXPECT_EQ(asked.fileName, "");

    script.expectMessage(MessageReply::no);
    EXPECT_EQ(saveChangesPrompt(session), PromptResult::proceed);
    EXPECT_EQ(state(project), state({"", false, false}));
}

TEST_F(FileCommands, ChangedNewProjectYesWritesTheChosenFileAndKeepsTheTitle)
{
    project = {"", true, true};
    editCell(2, 3, "E4H");
    script.expectMessage(MessageReply::yes);
    script.expectFileName("first.nmd");
    EXPECT_EQ(saveChangesPrompt(session), PromptResult::proceed);
    EXPECT_EQ(state(project), state({path("first.nmd"), false, false}));
    EXPECT_NE(fileText(folder / "first.nmd").find("N3X3E4H"), std::string::npos);
    EXPECT_EQ(desktop.windowTitle(0), "Nimbel MIDI - MIDI.txt");
}

TEST_F(FileCommands, SaveAsWritesExactlyTheTypedNameAndOverwritesWithoutAQuestion)
{
    editCell(0, 1, "C");
    script.expectFileName("tune");
    fileSaveAs(session);
    EXPECT_TRUE(fs::is_regular_file(folder / "tune"));
    EXPECT_FALSE(fs::exists(folder / "tune.nmd"));
    EXPECT_EQ(state(project), state({path("tune"), false, false}));
    EXPECT_EQ(desktop.windowTitle(0), "Nimbel MIDI - tune");
    ASSERT_EQ(script.requesters().size(), 1u);
    EXPECT_EQ(script.requesters()[0].selectedFilter, "Nimbel MIDI (*.nmd)");
    EXPECT_EQ(script.requesters()[0].fileName, "MIDI.txt") << "proposes the current file";

    writeSong("old.nmd", "old contents");
    script.expectFileName("old.nmd");
    fileSaveAs(session);
    EXPECT_EQ(script.messages().size(), 0u);
    EXPECT_EQ(script.unanswered(), 0);
    EXPECT_NE(fileText(folder / "old.nmd"), "old contents");
    EXPECT_EQ(project.currentPath, path("old.nmd"));
}

TEST_F(FileCommands, SaveToTheCurrentPathClearsSelectionHistoryAndPlaybackButNotTheNewFlag)
{
    project = {path("song.nmd"), true, true};
    song.selectionList.push_back({1, 5, "", 0});
    song.grid.setCellColor(1, 5, 0x0F22F0);
    song.undoList.push_back({0, 0, "", 1});
    song.noteListStale = true;
    fileSave(session);
    EXPECT_TRUE(script.requesters().empty());
    EXPECT_TRUE(fs::exists(folder / "song.nmd"));
    EXPECT_EQ(state(project), state({path("song.nmd"), false, true}));
    EXPECT_TRUE(song.selectionList.empty());
    EXPECT_EQ(song.grid.cellColor(1, 5), kDefaultCellColor);
    EXPECT_TRUE(song.undoList.empty());
    EXPECT_FALSE(song.noteListStale);
    EXPECT_EQ(sequencer.state().playColumn, 0);
    EXPECT_EQ(desktop.windowTitle(0), "Nimbel MIDI - MIDI.txt");
}

TEST_F(FileCommands, FailedSaveSaysSoAndKeepsTheSongChanged)
{
    fs::create_directories(folder / "in the way.nmd");  // a folder where the file should go
    project.currentPath = path("in the way.nmd");
    editCell(0, 1, "C");
    song.undoList.push_back({0, 0, "", 1});
    fileSave(session);
    ASSERT_EQ(script.messages().size(), 1u);
    EXPECT_EQ(script.messages()[0].title, "Nimbel MIDI Error");
    EXPECT_EQ(script.messages()[0].text, "Unable to save in the way.nmd");
    EXPECT_EQ(script.messages()[0].buttons, MessageButtons::ok);
    EXPECT_TRUE(project.changed);
    EXPECT_FALSE(song.undoList.empty()) << "nothing of a successful save happens";

    script.expectFileName("no such folder/song.nmd");
    fileSaveAs(session);
    EXPECT_EQ(script.messages().size(), 2u);
    EXPECT_TRUE(project.changed);
}

TEST_F(FileCommands, PromptWhoseSaveFailedAnswersCancel)
{
    fs::create_directories(folder / "blocked.nmd");
    project.currentPath = path("blocked.nmd");
    editCell(0, 1, "C");
    script.expectMessage(MessageReply::yes);
    script.expectMessage(MessageReply::ok);
    EXPECT_EQ(saveChangesPrompt(session), PromptResult::cancel);
    EXPECT_TRUE(project.changed);

    project = {"", true, true};
    script.expectMessage(MessageReply::yes);
    script.expectFileName("no such folder/blocked.nmd");
    script.expectMessage(MessageReply::ok);
    EXPECT_EQ(saveChangesPrompt(session), PromptResult::cancel);
    EXPECT_EQ(script.messages().back().text, "Unable to save blocked.nmd");
    EXPECT_EQ(state(project), state({"", true, true})) << "the failed file does not become the project";
}

TEST_F(FileCommands, OpenLoadsTheChosenFileEndsSoundingNotesAndResetsEverything)
{
    writeSong("song.nmd", "START\r\nT90\r\nN2X3D4Q\r\nEND\r\n");
    song.grid.setCellText(5, gridColumnOf(7), "old note");
    song.selectionList.push_back({5, gridColumnOf(7), "old note", 0});
    song.undoList.push_back({0, 0, "", 1});
    project.isNew = true;
    output.noteOn(1, 60, 70);
    script.expectFileName("song.nmd");
    fileOpen(session);

    ASSERT_EQ(script.requesters().size(), 1u);
    EXPECT_EQ(script.requesters()[0].title, "Open Nimbel MIDI Project");
    EXPECT_EQ(script.requesters()[0].fileName, "MIDI.txt") << "starts from the current project";
    EXPECT_EQ(state(project), state({path("song.nmd"), false, true})) << "File Open leaves the new-project flag";
    EXPECT_EQ(desktop.windowTitle(0), "Nimbel MIDI - song.nmd");
    EXPECT_EQ(song.grid.cellText(1, gridColumnOf(3)), "D4Q");
    EXPECT_EQ(song.grid.cellText(5, gridColumnOf(7)), "");
    EXPECT_EQ(song.tempo, 90);
    EXPECT_TRUE(song.selectionList.empty());
    EXPECT_TRUE(song.undoList.empty());
    EXPECT_FALSE(output.hasSoundingNotes());
    EXPECT_EQ(sent.back().packed, 0x003C91u) << "the sounding note was ended";
}

TEST_F(FileCommands, OpenWithoutAProjectPathStartsInTheProgramFolder)
{
    project.currentPath = "";
    script.expectRequesterCancel();
    song.grid.setCellText(0, 4, "kept");
    fileOpen(session);
    EXPECT_EQ(script.requesters().at(0).folder, folder.string());
    EXPECT_EQ(script.requesters().at(0).fileName, "");
    EXPECT_EQ(song.grid.cellText(0, 4), "kept") << "a cancelled requester leaves the song";
}

TEST_F(FileCommands, OpenOfAnUnreadableFileSaysSoAndLeavesSongTitleAndFlags)
{
    editCell(0, 1, "C5Q");
    script.expectMessage(MessageReply::no);
    script.expectFileName("missing.nmd");
    fileOpen(session);
    ASSERT_EQ(script.messages().size(), 2u);
    EXPECT_EQ(script.messages()[1].title, "Nimbel MIDI Error");
    EXPECT_EQ(script.messages()[1].text, "Unable to open missing.nmd");
    EXPECT_EQ(song.grid.cellText(0, gridColumnOf(1)), "C5Q");
    EXPECT_EQ(state(project), state({path("MIDI.txt"), true, false})) << "the unsaved song is still unsaved";
    EXPECT_EQ(desktop.windowTitle(0), "Nimbel MIDI - MIDI.txt");
}

TEST_F(FileCommands, NewThenOpenKeepsAskingAsANewProject)
{
    writeSong("song.nmd", "START\r\nN1X1C\r\nEND\r\n");
    startEmptySong(session);
    project = {"", false, true};
    script.expectFileName("song.nmd");
    fileOpen(session);
    editCell(0, 2, "D");
    script.expectMessage(MessageReply::yes);
    script.expectRequesterCancel();
    EXPECT_EQ(saveChangesPrompt(session), PromptResult::cancel);
    EXPECT_EQ(script.messages().at(0).text, kNewPrompt);
    EXPECT_EQ(script.requesters().size(), 2u) << "Yes asks for a file name again";
}

TEST_F(FileCommands, StartingAnEmptySongKeepsTheNoteColumns)
{
    setNoteColumnCount(song.grid, gridColumnOf(40));
    song.grid.setCellText(3, gridColumnOf(12), "G");
    song.selectionList.push_back({3, gridColumnOf(12), "G", 0});
    song.undoList.push_back({0, 0, "", 1});
    startEmptySong(session);
    EXPECT_EQ(findEndColumn(song.grid), gridColumnOf(40));
    EXPECT_EQ(song.grid.cellText(3, gridColumnOf(12)), "");
    EXPECT_TRUE(song.selectionList.empty());
    EXPECT_TRUE(song.undoList.empty());
    EXPECT_EQ(position.maximum(), 40);
}

TEST(ProjectState, FileNamePartAndTitle)
{
    for (const auto& [path, name] : std::vector<std::pair<std::string, std::string>>{
             {"/home/user/song.nmd", "song.nmd"}, {"C:\\music\\tune", "tune"}, {"plain", "plain"}, {"/folder/", ""}})
        EXPECT_EQ(fileNamePart(path), name) << path;
    EXPECT_EQ(projectWindowTitle("/x/MIDI.txt"), "Nimbel MIDI - MIDI.txt");
}

}  // namespace
}  // namespace nimbel
