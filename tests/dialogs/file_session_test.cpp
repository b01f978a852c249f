// The save-changes prompt and File Open, Save and Save As, driven as a user
// would answer them: prompts and requesters answered by a script, files in a
// temporary program folder.
#include "support/desktop_driver.h"
#include "support/dialog_script.h"
#include "support/files.h"
#include "support/offscreen_application.h"
#include "support/playback_rig.h"

#include "desktop.h"
#include "file_session.h"
#include "grid_display.h"
#include "midi_output.h"
#include "recording_midi.h"
#include "selection.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"

#include <gtest/gtest.h>

#include <map>

namespace nimbel {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

constexpr const char* kNewPrompt = "Your new music file has changed.\nDo you wish to save changes?";

using Names = std::vector<std::string>;

// The project's path and flags as one value to compare.
std::tuple<std::string, bool, bool> state(const ProjectState& p) { return {p.currentPath, p.changed, p.isNew}; }

// A song, its project state and a sequencer in a fresh program folder, with
// the main window open and a dialog script answering for the user.
struct FileRig : PlaybackRig {
    FileRig()
    {
        desktop.openWindow(0, {"Nimbel MIDI - MIDI.txt", {604, 298}, WindowFrame::resizable, std::nullopt, {}});
        project.currentPath = (folder / "MIDI.txt").string();
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }
    void editCell(int row, int noteColumn, const std::string& text)
    {
        song.grid.setCellText(row, gridColumnOf(noteColumn), text);
        markSongChanged(project, song);
    }

    testing_support::ScratchFolder scratch{"nimbel-files"};
    const fs::path& folder = scratch.path;
    Desktop desktop{OffscreenApplication::application()};
    DesktopDriver driver{desktop};
    QueuedDialogScript script{desktop};
    ProjectState project;
    FileSession session{desktop, song, project, sequencer, position, scratch.directory(), 0};
};

class FileCommands : public ::testing::Test, protected FileRig {};

// How a prompt is answered: a button or key of the message box, "type NAME"
// in the file requester, or "no file" to cancel the requester.
void answer(QueuedDialogScript& script, const std::string& reply)
{
    const std::map<std::string, MessageReply> buttons = {{"yes", MessageReply::yes},
                                                         {"no", MessageReply::no},
                                                         {"cancel", MessageReply::cancel},
                                                         {"escape", MessageReply::escapeKey},
                                                         {"close box", MessageReply::closeBox},
                                                         {"ok", MessageReply::ok}};
    if (reply.starts_with("type ")) script.expectFileName(reply.substr(5));
    else if (reply == "no file") script.expectRequesterCancel();
    else script.expectMessage(buttons.at(reply));
}

TEST(SaveChangesPrompt, AsksOnlyAboutChangesAndNeverDiscardsASongItCouldNotSave)
{
    const std::string changed = "Music file song.nmd has changed.\nDo you wish to save changes?";
    const std::string blocked = "Music file blocked.nmd has changed.\nDo you wish to save changes?";
    struct Case {
        const char* name;
        ProjectState before;  // file names in the program folder
        std::vector<std::string> replies;
        PromptResult result;
        ProjectState after;
        std::string asked;    // the question, "" when none
        std::string written;  // the file written, "" when none
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"unchanged", {"", false, true}, {}, PromptResult::proceed, {"", false, true}, "", ""},
        {"Yes saves to the project's file", {"song.nmd", true, false}, {"yes"},
         PromptResult::proceed, {"song.nmd", false, false}, changed, "song.nmd"},
        {"No proceeds without saving", {"song.nmd", true, false}, {"no"},
         PromptResult::proceed, {"song.nmd", false, false}, changed, ""},
        {"Cancel", {"song.nmd", true, false}, {"cancel"}, PromptResult::cancel, {"song.nmd", true, false}, changed, ""},
        {"Escape", {"song.nmd", true, false}, {"escape"}, PromptResult::cancel, {"song.nmd", true, false}, changed, ""},
        {"the close box", {"song.nmd", true, false}, {"close box"},
         PromptResult::cancel, {"song.nmd", true, false}, changed, ""},
        {"a new project's Yes asks for a file", {"", true, true}, {"yes", "type first.nmd"},
         PromptResult::proceed, {"first.nmd", false, false}, kNewPrompt, "first.nmd"},
        {"a new project's Yes with the requester cancelled", {"", true, true}, {"yes", "no file"},
         PromptResult::cancel, {"", true, true}, kNewPrompt, ""},
        {"a new project's No", {"", true, true}, {"no"}, PromptResult::proceed, {"", false, false}, kNewPrompt, ""},
        {"Yes whose save fails", {"blocked.nmd", true, false}, {"yes", "ok"},
         PromptResult::cancel, {"blocked.nmd", true, false}, blocked, ""},
        {"a new project's Yes whose save fails", {"", true, true}, {"yes", "type no such folder/song.nmd", "ok"},
         PromptResult::cancel, {"", true, true}, kNewPrompt, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileRig rig;
        fs::create_directory(rig.folder / "blocked.nmd");
        const auto inFolder = [&](const ProjectState& p) {
            return ProjectState{p.currentPath.empty() ? "" : rig.path(p.currentPath), p.changed, p.isNew};
        };
        rig.project = inFolder(c.before);
        for (const std::string& reply : c.replies) answer(rig.script, reply);
        EXPECT_EQ(saveChangesPrompt(rig.session), c.result);
        EXPECT_EQ(state(rig.project), state(inFolder(c.after)));
        EXPECT_EQ(rig.script.pending(), 0u);
        EXPECT_EQ(rig.script.messages().empty() ? "" : rig.script.messages()[0].text, c.asked);
        for (const ShownMessage& shown : rig.script.messages()) {
            if (shown.text != c.asked) continue;
            EXPECT_EQ(std::tuple(shown.title, shown.buttons, shown.defaultButton, shown.icon),
                      std::tuple("Nimbel MIDI", MessageButtons::yesNoCancel, "Yes", MessageIcon::none));
        }
        if (!c.replies.empty() && c.replies.back() == "ok") {  // the save failed and said so
            EXPECT_EQ(rig.script.messages().back().title, "Nimbel MIDI Error");
            const std::string file = c.before.currentPath.empty() ? "song.nmd" : c.before.currentPath;
            EXPECT_EQ(rig.script.messages().back().text, "Unable to save " + file);
        }
        for (const ShownRequester& shown : rig.script.requesters()) {
            EXPECT_EQ(std::tuple(shown.kind, shown.title, shown.folder, shown.fileName),
                      std::tuple(RequesterKind::save, "Save Nimbel MIDI", rig.folder.string(), ""))
                << "the program folder, no name";
        }
        const Names files = c.written.empty() ? Names{"blocked.nmd"} : Names{"blocked.nmd", c.written};
        EXPECT_EQ(testing_support::fileNames(rig.folder), files);
        EXPECT_EQ(rig.driver.windowTitle(0), "Nimbel MIDI - MIDI.txt") << "a prompt does not retitle the window";
    }
}

TEST_F(FileCommands, SaveAsWritesExactlyTheTypedNameAndAsksBeforeReplacingAFile)
{
    editCell(0, 1, "C");
    script.expectFileName("tune");
    fileSaveAs(session);
    EXPECT_TRUE(fs::is_regular_file(folder / "tune"));
    EXPECT_FALSE(fs::exists(folder / "tune.nmd"));
    EXPECT_EQ(state(project), state({path("tune"), false, false}));
    EXPECT_EQ(driver.windowTitle(0), "Nimbel MIDI - tune");
    ASSERT_EQ(script.requesters().size(), 1u);
    EXPECT_EQ(script.requesters()[0].filters, (Names{"Nimbel MIDI (*.nmd)", "All Files (*.*)"}));
    EXPECT_EQ(script.requesters()[0].selectedFilter, "Nimbel MIDI (*.nmd)");
    EXPECT_EQ(script.requesters()[0].fileName, "MIDI.txt") << "proposes the current file";

    // No goes back to the requester, which proposes the name again; a
    // cancelled requester then leaves the file alone.
    testing_support::writeFile(folder / "old.nmd", "old contents");
    for (const char* reply : {"type old.nmd", "no", "type old.nmd", "escape", "no file"}) answer(script, reply);
    fileSaveAs(session);
    EXPECT_EQ(fileText(folder / "old.nmd"), "old contents");
    ASSERT_EQ(script.messages().size(), 2u);
    const ShownMessage& asked = script.messages()[0];
    EXPECT_EQ(std::tuple(asked.title, asked.text, asked.buttons, asked.defaultButton),
              std::tuple("Save Nimbel MIDI", "old.nmd already exists. Do you want to replace it?",
                         MessageButtons::yesNo, "No"));
    ASSERT_EQ(script.requesters().size(), 4u);
    EXPECT_EQ(script.requesters()[2].fileName, "old.nmd");

    for (const char* reply : {"type old.nmd", "yes"}) answer(script, reply);
    fileSaveAs(session);
    EXPECT_EQ(script.unanswered(), 0);
    EXPECT_NE(fileText(folder / "old.nmd"), "old contents");
    EXPECT_EQ(project.currentPath, path("old.nmd"));
}

TEST_F(FileCommands, SaveToTheCurrentPathAsksNothingAndKeepsTheNewFlag)
{
    project = {path("song.nmd"), true, true};
    song.undoList.push_back({0, 0, "", 1});
    song.noteListStale = true;
    fileSave(session);
    EXPECT_TRUE(script.requesters().empty());
    EXPECT_TRUE(fs::exists(folder / "song.nmd"));
    EXPECT_EQ(state(project), state({path("song.nmd"), false, true}));
    EXPECT_TRUE(song.undoList.empty());
    EXPECT_FALSE(song.noteListStale) << "the saved list is the rebuilt one";
    EXPECT_FALSE(sequencer.isPlaying());
    EXPECT_EQ(driver.windowTitle(0), "Nimbel MIDI - MIDI.txt");
}

TEST_F(FileCommands, OpenLoadsTheChosenFileEndsSoundingNotesAndResetsEverything)
{
    testing_support::writeFile(folder / "song.nmd", "START\r\nT90\r\nN2X3D4Q\r\nEND\r\n");
    song.grid.setCellText(5, gridColumnOf(7), "old note");
    project.isNew = true;
    output.noteOn(1, 60, 70);
    position.setMaximum(30);
    position.setPosition(9);
    position.setCounterText("9");
    script.expectFileName("song.nmd");
    fileOpen(session);

    ASSERT_EQ(script.requesters().size(), 1u);
    EXPECT_EQ(script.requesters()[0].title, "Open Nimbel MIDI Project");
    EXPECT_EQ(script.requesters()[0].fileName, "MIDI.txt") << "starts from the current project";
    EXPECT_EQ(state(project), state({path("song.nmd"), false, true})) << "File Open leaves the new-project flag";
    EXPECT_EQ(driver.windowTitle(0), "Nimbel MIDI - song.nmd");
    EXPECT_EQ(song.grid.cellText(1, gridColumnOf(3)), "D4Q");
    EXPECT_EQ(song.grid.cellText(5, gridColumnOf(7)), "");
    EXPECT_EQ(song.tempo, 90);
    EXPECT_FALSE(output.hasSoundingNotes());
    EXPECT_EQ(log.back().packed, 0x003C91u) << "the sounding note was ended";
    EXPECT_EQ(std::pair(position.position(), position.counterText()), std::pair(1, std::string("1")))
        << "Play starts at the first column";
}

TEST_F(FileCommands, AMidiFileOpensAsANewProjectThatSavingNeverWritesOver)
{
    // One track: C and E started together (a chord), each a quarter note long.
    const std::string track = std::string(
        "\x00\x91\x3C\x40\x00\x91\x40\x40\x83\x60\x81\x3C\x00\x00\x81\x40\x00"
        "\x00\xFF\x2F\x00",
        21);
    const std::string midi = std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0", 14) + "MTrk" +
                             std::string("\x00\x00\x00", 3) + static_cast<char>(track.size()) + track;
    testing_support::writeFile(folder / "tune.mid", midi);
    script.expectFileName("tune.mid");
    script.expectMessage(MessageReply::ok);
    ASSERT_TRUE(fileOpen(session));
    EXPECT_EQ(script.requesters()[0].filters,
              (Names{"Nimbel MIDI (*.nmd)", "MIDI files (*.mid *.midi)", "All Files (*.*)"}));
    ASSERT_EQ(script.messages().size(), 1u) << "what the import changed, said once";
    EXPECT_TRUE(script.messages()[0].text.starts_with("The MIDI file was changed to fit the song:"));
    EXPECT_EQ(driver.windowTitle(0), "Nimbel MIDI - tune.mid");
    EXPECT_EQ(state(project), state({"", false, true})) << "a new project, with no file of its own";
    EXPECT_FALSE(song.grid.cellText(0, gridColumnOf(1)).empty());

    editCell(0, 2, "D");
    script.expectRequesterCancel();
    fileSave(session);
    ASSERT_EQ(script.requesters().size(), 2u);
    EXPECT_EQ(std::pair(script.requesters()[1].folder, script.requesters()[1].fileName),
              std::pair(folder.string(), std::string("tune.nmd")));
    EXPECT_EQ(fileText(folder / "tune.mid"), midi);
}

TEST(FileOpen, AFileThatCannotBeReadOrHoldsNoSongIsRefusedAndTheSongKept)
{
    const std::pair<const char*, const char*> cases[] = {
        {"missing.nmd", "Unable to open missing.nmd"},
        {"program", "Unable to open program: it is not a Nimbel MIDI song"},
    };
    for (const auto& [name, message] : cases) {
        FileRig rig;
        testing_support::writeFile(rig.folder / "program", std::string("\x7f"
                                                                       "ELF\2\1\1\0\0\0\0",
                                                                       12));
        rig.editCell(0, 1, "C5Q");
        rig.script.expectMessage(MessageReply::no);
        rig.script.expectFileName(name);
        fileOpen(rig.session);
        ASSERT_EQ(rig.script.messages().size(), 2u);
        EXPECT_EQ(rig.script.messages()[1].title, "Nimbel MIDI Error");
        EXPECT_EQ(rig.script.messages()[1].text, message);
        EXPECT_EQ(rig.song.grid.cellText(0, gridColumnOf(1)), "C5Q");
        EXPECT_EQ(state(rig.project), state({rig.path("MIDI.txt"), true, false}))
            << "the unsaved song is still unsaved";
        EXPECT_EQ(rig.driver.windowTitle(0), "Nimbel MIDI - MIDI.txt");
    }
    FileRig rig;  // an empty file is an empty song
    testing_support::writeFile(rig.folder / "empty.nmd", "");
    rig.editCell(0, 1, "C5Q");
    rig.script.expectMessage(MessageReply::no);
    rig.script.expectFileName("empty.nmd");
    fileOpen(rig.session);
    EXPECT_EQ(rig.driver.windowTitle(0), "Nimbel MIDI - empty.nmd");
    EXPECT_EQ(rig.song.grid.cellText(0, gridColumnOf(1)), "");
}

}  // namespace
}  // namespace nimbel
