// Message boxes and requesters, answered by a script the way a user would:
// buttons, Escape, the close box, typed file names.
#include "support/files.h"
#include "support/offscreen_application.h"

#include "desktop.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing_support::OffscreenApplication;
namespace fs = std::filesystem;

constexpr const char* kFilter = "Nimbel MIDI (*.nmd)|*.nmd|All Files (*.*)|*.*";

class Dialogs : public ::testing::Test {
protected:
    Dialogs()
    {
        desktop.openWindow(0, {"Owner", {604, 298}, WindowFrame::resizable, std::nullopt, {}});
        desktop.setDialogScript(&script);
    }

    MessageAnswer ask(MessageReply reply)
    {
        script.expectMessage(reply);
        return desktop.messageBox("Nimbel MIDI", "Question", MessageButtons::yesNoCancel, MessageIcon::none);
    }

    testing_support::ScratchFolder scratch{"nimbel-dialogs"};
    const fs::path& folder = scratch.path;
    QueuedDialogScript script;
    Desktop desktop{OffscreenApplication::application()};
};

TEST_F(Dialogs, YesNoCancelBoxMapsEveryWayOfAnswering)
{
    EXPECT_EQ(ask(MessageReply::yes), MessageAnswer::yes);
    EXPECT_EQ(ask(MessageReply::no), MessageAnswer::no);
    EXPECT_EQ(ask(MessageReply::cancel), MessageAnswer::cancel);
    EXPECT_EQ(ask(MessageReply::escapeKey), MessageAnswer::cancel);
    EXPECT_EQ(ask(MessageReply::closeBox), MessageAnswer::cancel);
    EXPECT_EQ(script.unanswered(), 0);
}

TEST_F(Dialogs, AMessageShowsItsTextAsItIsAndEscapeAnswersOk)
{
    script.expectMessage(MessageReply::escapeKey);
    EXPECT_EQ(desktop.messageBox("Error", "Unable to open <&> \"x\"", MessageButtons::ok, MessageIcon::error),
              MessageAnswer::ok);
    EXPECT_EQ(script.messages().at(0).text, "Unable to open <&> \"x\"");
}

TEST_F(Dialogs, SaveRequesterTakesTheTypedNameAsItIsAndNeverAsksBeforeOverwriting)
{
    testing_support::writeFile(folder / "old.nmd", "x");
    const std::string programDirectory = folder.string() + "/";
    script.expectFileName("tune");
    EXPECT_EQ(desktop.saveFileRequester("Save Nimbel MIDI", programDirectory + "/newfile.nmd", kFilter, 0),
              (folder / "tune").string());
    script.expectFileName("old.nmd");
    EXPECT_EQ(desktop.saveFileRequester("Save Nimbel MIDI", programDirectory + "/newfile.nmd", kFilter, 0),
              (folder / "old.nmd").string());

    ASSERT_EQ(script.requesters().size(), 2u);
    const ShownRequester& shown = script.requesters()[0];
    EXPECT_EQ(shown.kind, RequesterKind::save);
    EXPECT_EQ(shown.title, "Save Nimbel MIDI");
    EXPECT_EQ(shown.folder, folder.string());
    EXPECT_EQ(shown.fileName, "");
    EXPECT_EQ(shown.filters, (std::vector<std::string>{"Nimbel MIDI (*.nmd)", "All Files (*.*)"}));
    EXPECT_EQ(shown.selectedFilter, "Nimbel MIDI (*.nmd)");
    EXPECT_FALSE(shown.confirmsOverwrite);
    EXPECT_EQ(shown.defaultSuffix, "");
    EXPECT_EQ(script.unanswered(), 0) << "no overwrite question appeared";
}

TEST_F(Dialogs, OpenRequesterProposesTheCurrentFileAndCancelGivesNothing)
{
    testing_support::writeFile(folder / "song.nmd", "x");
    script.expectRequesterCancel();
    EXPECT_EQ(desktop.openFileRequester("Open Nimbel MIDI Project", (folder / "song.nmd").string(), kFilter, 1), "");
    ASSERT_EQ(script.requesters().size(), 1u);
    const ShownRequester& shown = script.requesters()[0];
    EXPECT_EQ(shown.kind, RequesterKind::open);
    EXPECT_EQ(shown.title, "Open Nimbel MIDI Project");
    EXPECT_EQ(shown.folder, folder.string());
    EXPECT_EQ(shown.fileName, "song.nmd");
    EXPECT_EQ(shown.selectedFilter, "All Files (*.*)");

    script.expectFileName((folder / "song.nmd").string());
    EXPECT_EQ(desktop.openFileRequester("Open Nimbel MIDI Project", folder.string() + "//*.nmd", kFilter, 0),
              (folder / "song.nmd").string());
    EXPECT_EQ(script.requesters()[1].fileName, "");
}

TEST_F(Dialogs, ATypedFolderNameOpensThatFolderAndTheScriptIsAskedAgain)
{
    fs::create_directories(folder / "sub");
    script.expectFileName("sub");
    script.expectRequesterCancel();
    EXPECT_EQ(desktop.saveFileRequester("Save Nimbel MIDI", folder.string() + "//newfile.nmd", kFilter, 0), "");
    ASSERT_EQ(script.requesters().size(), 2u);
    EXPECT_EQ(script.requesters()[1].folder, (folder / "sub").string());
    EXPECT_EQ(script.unanswered(), 0);
}

TEST_F(Dialogs, ColourRequesterStartsAtTheGivenColourAndGivesTheChoice)
{
    script.expectColor(0x0000FFu);
    EXPECT_EQ(desktop.colorRequester(991984), 0x0000FF);
    ASSERT_EQ(script.colorRequesters().size(), 1u);
    EXPECT_EQ(script.colorRequesters()[0].initialColor, 991984u);
    script.expectColorCancel();
    EXPECT_EQ(desktop.colorRequester(991984), -1);
}

}  // namespace
}  // namespace nimbel
