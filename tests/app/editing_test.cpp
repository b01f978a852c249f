// Editing in the running program's main window as a user does it: the
// messages of the edit commands and the chosen selection colour, with every
// message answered by the dialog script. (Clicks and keys are the keyboard
// tests'; note entry and the clipboard are tried on a real display in
// editing_e2e_test.cpp.)
#include "program_fixture.h"

#include "program_ids.h"
#include "settings_file.h"
#include "song_columns.h"

namespace nimbel {
namespace {

using namespace testing_support;

class Editing : public ProgramTest {
protected:
    Editing() { startUp(program); }

    // The centre of a drawn cell, in the main window's inner area.
    Point centreOf(int row, int column) const
    {
        const Rect grid = gadgets.gadgetRect(kMainWindow, kSongGrid);
        int x = grid.x - gadgets.gridScrollX(kMainWindow, kSongGrid);
        for (int c = 0; c < column; ++c) x += gadgets.gridColumnWidth(kMainWindow, kSongGrid, c);
        return {x + gadgets.gridColumnWidth(kMainWindow, kSongGrid, column) / 2, grid.y + 22 + row * 14 + 7};
    }
    void click(Point where)
    {
        driver.clickAt(kMainWindow, where, ClickKind::left);
        run(3);
    }
    void choose(int command)
    {
        driver.chooseMenuItem(kMainWindow, command);
        run(1);
    }
};

TEST_F(Editing, MessagesAreTitledAsErrorsWithoutAnIcon)
{
    click(centreOf(0, gridColumnOf(1)));
    click(centreOf(1, gridColumnOf(2)));
    script.expectMessage(MessageReply::ok);
    driver.pressToolButton(kMainWindow, kEditPaste);
    run(1);
    ASSERT_EQ(script.messages().size(), 1u);
    const ShownMessage& shown = script.messages()[0];
    EXPECT_EQ(std::tuple(shown.title, shown.text, shown.icon, shown.buttons),
              std::tuple("Nimbel MIDI Error", "Please select only one destination location", MessageIcon::none,
                         MessageButtons::ok));
    EXPECT_TRUE(program.song.selectionList.empty());
}

TEST_F(Editing, ChosenSelectionColourPaintsNewSelectionsAndIsKept)
{
    script.expectColor(0x00FF00);
    choose(kSelectColor);
    click(centreOf(3, gridColumnOf(2)));
    EXPECT_EQ(program.song.grid.cellColor(3, gridColumnOf(2)), 0x00FF00u);
    EXPECT_EQ(loadSetting(program.folders.settingsFolder + kSettingsFileName, kSelectionColorKey), 0x00FF00);
    script.expectColorCancel();
    choose(kSelectColor);
    EXPECT_EQ(program.selectionColor, 0x00FF00u);
}

}  // namespace
}  // namespace nimbel
