// Composing from the keyboard in the running program: one table of key
// sequences typed into the main window, and what they leave in the grid,
// the selection, the cursor and the undo and redo lists; then the mouse's
// ranges in the chosen selection colour.
#include "program_fixture.h"

#include "edit/edit_test_support.h"

#include "help_text.h"
#include "settings_file.h"
#include "song_columns.h"

namespace nimbel {
namespace {

using namespace testing_support;

// A new song of six note columns, chosen from the keyboard.
void startOnANewSong(TestProgram& p)
{
    startUp(p.program);
    p.driver.type(kMainWindow, "<Ctrl+N>");
    p.run(1);
    setNoteColumnCount(p.program.song.grid, gridColumnOf(6));
}

// Where the cursor is, as "channel:note column".
std::string cursorOf(const Program& program)
{
    return std::to_string(program.cursor.cell.row + 1) + ":" + std::to_string(noteColumnOf(program.cursor.cell.column));
}

class Keyboard : public ProgramTest {
protected:
    Keyboard() { startOnANewSong(*this); }
    // Types `keys`, then lets the loop take everything they caused.
    void type(std::string_view keys)
    {
        driver.type(kMainWindow, keys);
        run(40);
    }
};

TEST_F(Keyboard, KeySequencesEditMoveSelectUndoAndRedo)
{
    struct Case {
        const char* keys;
        const char* channel1;  // channel 1's cells afterwards
        const char* cursor;    // channel:note column
        std::size_t selected;
        int undo, redo;  // groups
    };
    // clang-format off
    const Case cases[] = {
        {"c d e f<Return>", "C|D|E|F|||", "1:5", 0, 1, 0},       // two keystrokes a note
        {"c  d<Return>", "C||||||", "1:2", 0, 1, 0},  // an empty field ends the notes
        {"C D E F G H<Return>", "C|D|E|F|G|H||", "1:7", 0, 1, 0},  // the song grows
        {"<Right><Right>g<Return>", "||G||||", "1:4", 0, 1, 0},
        {"g<Escape>", "||||||", "1:1", 0, 0, 0},
        {"x<End><Right><Down><Down><Up>", "||||||", "2:6", 0, 0, 0},  // not a note character; kept in the song
        {"c<Return><Left><Return>4Q<Return>", "C4Q||||||", "1:2", 0, 2, 0},  // Return opens the cell's text
        {"c<Return><Left><F2><Backspace>D<Return>", "D||||||", "1:2", 0, 2, 0},
        {"c d<Return><Home><Delete>", "|D|||||", "1:1", 0, 2, 0},
        {"<Shift+Right><Shift+Down>", "||||||", "2:2", 4, 0, 0},
        {"c d<Return><Home><Shift+Right><Backspace>", "||||||", "1:2", 0, 2, 0},
        {"c<Return><Ctrl+Z><Ctrl+Y>", "C||||||", "1:2", 0, 1, 0},
        {"c<Return><Ctrl+Z><Ctrl+Shift+Z>", "C||||||", "1:2", 0, 1, 0},
        {"c<Return><Ctrl+Z>d<Return>", "|D|||||", "1:3", 0, 1, 0},  // a new edit empties the redo list
        {"c d<Return><Home><Shift+Right><Ctrl+C><Right><Right><Ctrl+V>", "C|D||C|D||", "1:4", 0, 2, 0},
        {"<Ctrl+A>", "||||||", "1:1", 15 * 6, 0, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        TestProgram p(OffscreenApplication::application());
        startOnANewSong(p);
        p.driver.type(kMainWindow, c.keys);
        p.run(60);
        std::string cells;
        for (int column = kFirstNoteColumn; column <= findEndColumn(p.program.song.grid); ++column)
            cells += p.program.song.grid.cellText(0, column) + "|";
        EXPECT_EQ(cells, c.channel1);
        EXPECT_EQ(cursorOf(p.program), c.cursor);
        EXPECT_EQ(p.program.song.selectionList.size(), c.selected);
        EXPECT_EQ(undoGroups(p.program.song.undoList), c.undo);
        EXPECT_EQ(undoGroups(p.program.song.redoList), c.redo);
    }
}

TEST_F(Keyboard, SpacePlaysAndPausesAndF1ShowsTheWindowsHelp)
{
    type("<Space>");
    EXPECT_TRUE(program.sequencer.isPlaying());
    type("<Space>");
    EXPECT_FALSE(program.sequencer.isPlaying());
    type("<F1>");
    EXPECT_EQ(driver.windowTitle(kHelpWindow), helpTitle(helpTopicText(HelpTopic::mainWindow)));
}

TEST_F(Keyboard, ShiftClickAndDragSelectRectanglesInTheChosenColourAndAClickMovesTheCursor)
{
    const Rect grid = gadgets.gadgetRect(kMainWindow, kSongGrid);
    const auto centre = [&](int row, int noteColumn) {
        return Point{grid.x + 300 + 50 * (noteColumn - 1) + 25, grid.y + 22 + 14 * row + 7};
    };
    script.expectColor(0x00FF00);
    driver.chooseMenuItem(kMainWindow, kSelectColor);
    driver.clickAt(kMainWindow, {grid.x + 150, centre(1, 2).y}, ClickKind::left);  // a summary cell
    run(2);
    driver.clickAt(kMainWindow, centre(1, 2), ClickKind::left);
    run(2);
    EXPECT_EQ(cursorOf(program), "2:2");
    EXPECT_EQ(program.song.selectionList.size(), 1u) << "a plain click still toggles the note cell, only that";
    EXPECT_EQ(gadgets.gadgetText(kMainWindow, kNoteCounter), "2");
    EXPECT_EQ(program.song.grid.cellColor(1, gridColumnOf(2)), 0x00FF00u);
    EXPECT_EQ(loadSetting(program.folders.settingsFolder + kSettingsFileName, kSelectionColorKey), 0x00FF00);
    driver.clickAt(kMainWindow, centre(3, 4), ClickKind::left, true);
    run(2);
    EXPECT_EQ(program.song.selectionList.size(), 3u * 3u);

    driver.clickAt(kMainWindow, centre(0, 1), ClickKind::left);
    driver.dragTo(kMainWindow, centre(4, 2));
    run(4);
    EXPECT_EQ(program.song.selectionList.size(), 5u * 2u);
    EXPECT_EQ(cursorOf(program), "5:2");

    script.expectMessage(MessageReply::ok);
    driver.pressToolButton(kMainWindow, kEditPaste);
    script.expectColorCancel();
    driver.chooseMenuItem(kMainWindow, kSelectColor);
    run(2);
    ASSERT_EQ(script.messages().size(), 1u);
    const ShownMessage& shown = script.messages()[0];
    EXPECT_EQ(std::tuple(shown.title, shown.text, shown.icon, shown.buttons),
              std::tuple("Nimbel MIDI Error", "Please select only one destination location", MessageIcon::none,
                         MessageButtons::ok));
    EXPECT_EQ(program.selectionColor, 0x00FF00u) << "a cancelled choice keeps the colour";
}

}  // namespace
}  // namespace nimbel
