// The save-changes prompt and File Open, Save and Save As, driven as a user
// would answer them: prompts and requesters answered by a script, files in a
// temporary program folder.
#include "import/midi_bytes.h"
#include "support/desktop_driver.h"
#include "support/dialog_script.h"
#include "support/files.h"
#include "support/offscreen_application.h"
#include "support/playback_rig.h"

#include "desktop.h"
#include "file_session.h"
#include "midi_output.h"
#include "recording_midi.h"
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
    ProjectState project{.currentPath = path("MIDI.txt")};
    FileSession session{desktop, song, project, sequencer, position, scratch.directory(), 0};
};

class FileCommands : public ::testing::Test, protected FileRig {};

// How a prompt is answered: a button or Escape in the message box, "type NAME"
// in the file requester, or "no file" to cancel the requester.
void answer(QueuedDialogScript& script, const std::string& reply)
{
    using enum MessageReply;
    const std::map<std::string, MessageReply> buttons = {{"yes", yes}, {"no", no}, {"escape", escapeKey}, {"ok", ok}};
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
        {"Yes saves to the project's file", {"song.nmd", true, false}, {"yes"},
         PromptResult::proceed, {"song.nmd", false, false}, changed, "song.nmd"},
        {"No proceeds without saving", {"song.nmd", true, false}, {"no"},
         PromptResult::proceed, {"song.nmd", false, false}, changed, ""},
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
        ASSERT_FALSE(rig.script.messages().empty());
        const ShownMessage& asked = rig.script.messages()[0];
        EXPECT_EQ(std::tuple(asked.title, asked.text, asked.buttons, asked.defaultButton, asked.icon),
                  std::tuple("Nimbel MIDI", c.asked, MessageButtons::yesNoCancel, "Yes", MessageIcon::none));
        if (!c.replies.empty() && c.replies.back() == "ok") {  // the save failed and said so
            EXPECT_EQ(rig.script.messages().back().title, "Nimbel MIDI Error");
            const std::string file = c.before.currentPath.empty() ? "song.nmd" : c.before.currentPath;
            EXPECT_EQ(rig.script.messages().back().text, "Unable to save " + file);
        }
        for (const ShownRequester& shown : rig.script.requesters())
            EXPECT_EQ(std::tuple(shown.kind, shown.title, shown.folder, shown.fileName),
                      std::tuple(RequesterKind::save, "Save Nimbel MIDI", rig.folder.string(), ""))
                << "the program folder, no name";
        EXPECT_EQ(fileNames(rig.folder), (c.written.empty() ? Names{"blocked.nmd"} : Names{"blocked.nmd", c.written}));
        EXPECT_EQ(rig.driver.windowTitle(0),
                  c.written == "first.nmd" ? "Nimbel MIDI - first.nmd" : "Nimbel MIDI - MIDI.txt")
            << "only a new song saved under a name of its own is retitled";
    }
}

TEST_F(FileCommands, SaveAsWritesExactlyTheTypedNameAndAsksBeforeReplacingAFile)
{
    editCell(0, 1, "C");
    script.expectFileName("tune");
    fileSaveAs(session);
    EXPECT_TRUE(fs::is_regular_file(folder / "tune"));
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

TEST_F(FileCommands, OpenLoadsTheChosenFileEndsSoundingNotesAndResetsEverythingAndSaveWritesItBack)
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
    EXPECT_EQ(script.requesters()[0].fileName, "MIDI.txt") << "starts from the current project";
    EXPECT_EQ(state(project), state({path("song.nmd"), false, true})) << "File Open leaves the new-project flag";
    EXPECT_EQ(driver.windowTitle(0), "Nimbel MIDI - song.nmd");
    EXPECT_EQ(song.grid.cellText(1, gridColumnOf(3)), "D4Q");
    EXPECT_EQ(song.tempo, 90);
    EXPECT_EQ(log.back().packed, 0x003C91u) << "the sounding note was ended";
    EXPECT_EQ(std::pair(position.position(), position.counterText()), std::pair(1, std::string("1")))
        << "Play starts at the first column";

    editCell(0, 1, "E");
    song.undoList.push_back({0, 0, "", 1});
    fileSave(session);
    EXPECT_EQ(script.requesters().size(), 1u) << "Save asks nothing";
    EXPECT_EQ(state(project), state({path("song.nmd"), false, true}));
    EXPECT_TRUE(song.undoList.empty());
    EXPECT_NE(fileText(folder / "song.nmd").find("\r\nN1X1E\r\n"), std::string::npos) << "the edit is saved";
}

TEST_F(FileCommands, AMidiFileOpensAsANewProjectThatSavingNeverWritesOver)
{
    // One track: C and E started together (a chord), each a quarter note long.
    const std::string midi = midiFile(0, 480,
                                      {bytes({0x00, 0x91, 0x3C, 0x40, 0x00, 0x91, 0x40, 0x40, 0x83, 0x60, 0x81, 0x3C,
                                              0x00, 0x00, 0x81, 0x40, 0x00})});
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
        {"empty.nmd", nullptr},  // an empty file is an empty song
    };
    for (const auto& [name, refusal] : cases) {
        FileRig rig;
        writeFile(rig.folder / "program", std::string("\177ELF\2\1\1\0\0\0\0", 12));
        writeFile(rig.folder / "empty.nmd", "");
        rig.editCell(0, 1, "C5Q");
        rig.script.expectMessage(MessageReply::no);
        rig.script.expectFileName(name);
        EXPECT_EQ(fileOpen(rig.session), refusal == nullptr) << name;
        EXPECT_EQ(rig.song.grid.cellText(0, gridColumnOf(1)), refusal ? "C5Q" : "");
        EXPECT_EQ(rig.driver.windowTitle(0), std::string("Nimbel MIDI - ") + (refusal ? "MIDI.txt" : name));
        if (!refusal) continue;
        ASSERT_EQ(rig.script.messages().size(), 2u);
        EXPECT_EQ(rig.script.messages()[1].text, refusal);
        EXPECT_EQ(state(rig.project), state({rig.path("MIDI.txt"), true, false}))
            << "the unsaved song is still unsaved";
    }
}

}  // namespace
}  // namespace nimbel
