// The song grid of the running program, on a new song. Composing from the
// keyboard: one table of key sequences typed into the main window, and what
// they leave in the grid, the selection, the cursor and the undo and redo
// lists; then the mouse's ranges in the chosen selection colour. Listening:
// how the grid follows a playing song, stops following when scrolled by hand
// and goes back to the start on Stop; and the notes heard as they are typed,
// or not when turned off.
#include "program_fixture.h"

#include "edit/edit_test_support.h"

#include "help_text.h"
#include "settings_file.h"
#include "short_message.h"
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

class OnANewSong : public ProgramTest {
protected:
    OnANewSong() { startOnANewSong(*this); }
    // Types `keys`, then lets the loop take everything they caused.
    void type(std::string_view keys)
    {
        driver.type(kMainWindow, keys);
        run(40);
    }
    int scrollX() const { return gadgets.gridScrollX(kMainWindow, kSongGrid); }
    bool shown(int noteColumn) const
    {
        int left = 0;
        for (int c = 0; c < gridColumnOf(noteColumn); ++c) left += gadgets.gridColumnWidth(kMainWindow, kSongGrid, c);
        return left >= scrollX() && left + gadgets.gridColumnWidth(kMainWindow, kSongGrid, gridColumnOf(noteColumn)) <=
                                        scrollX() + gadgets.gridViewWidth(kMainWindow, kSongGrid);
    }
    // Runs the loop until `column` is heard, noting each scroll position on the way.
    std::vector<int> playUntil(int column)
    {
        std::vector<int> positions;
        for (int pass = 0; pass < 100'000 && program.sequencer.heardColumn() < column; ++pass) {
            run(1);
            if (positions.empty() || positions.back() != scrollX()) positions.push_back(scrollX());
        }
        return positions;
    }
    std::vector<std::array<std::uint8_t, 3>> notesOn() const
    {
        std::vector<std::array<std::uint8_t, 3>> on;
        for (const auto& m : sent)
            if (const auto b = shortMessageBytes(m.packed); (b[0] & 0xF0) == 0x90 && b[2] != 0) on.push_back(b);
        return on;
    }
};

TEST_F(OnANewSong, KeySequencesEditMoveSelectUndoAndRedo)
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

TEST_F(OnANewSong, SpacePlaysAndPausesAndF1ShowsTheWindowsHelp)
{
    type("<Space>");
    EXPECT_TRUE(program.sequencer.isPlaying());
    type("<Space>");
    EXPECT_FALSE(program.sequencer.isPlaying());
    type("<F1>");
    EXPECT_EQ(driver.windowTitle(kHelpWindow), helpTitle(helpTopicText(HelpTopic::mainWindow)));
}

TEST_F(OnANewSong, ShiftClickAndDragSelectRectanglesInTheChosenColourAndAClickMovesTheCursor)
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
    EXPECT_EQ(shownBox(script.messages()[0]),
              std::tuple("Nimbel MIDI Error", "Please select only one destination location", MessageIcon::none,
                         MessageButtons::ok));
    EXPECT_EQ(program.selectionColor, 0x00FF00u) << "a cancelled choice keeps the colour";
}

TEST_F(OnANewSong, TheGridPagesAlongWithThePlayingColumnUntilScrolledByHandAndStopGoesBackToTheStart)
{
    setNoteColumnCount(program.song.grid, gridColumnOf(400));
    program.position.setMaximum(400);
    driver.chooseMenuItem(kMainWindow, kMusicPlay);
    const std::vector<int> positions = playUntil(60);
    EXPECT_TRUE(shown(60));
    EXPECT_TRUE(std::ranges::is_sorted(positions)) << "never back and forth";
    EXPECT_LT(positions.size(), 12u) << "a page at a time, not a column at a time";
    EXPECT_EQ(program.playhead.shownColumn, 60);

    driver.dragGridSlider(kMainWindow, kSongGrid, 100);
    playUntil(90);
    EXPECT_EQ(scrollX(), 100) << "scrolled by hand: the view stays";
    driver.chooseMenuItem(kMainWindow, kMusicStop);
    run(2);
    EXPECT_EQ(scrollX(), 0);
    EXPECT_EQ(program.playhead.shownColumn, 0);

    driver.chooseMenuItem(kMainWindow, kMusicPlay);
    playUntil(40);
    EXPECT_TRUE(shown(40)) << "the next Play follows again";

    driver.chooseMenuItem(kMainWindow, kViewFollowPlayback);
    driver.dragGridSlider(kMainWindow, kSongGrid, 0);
    playUntil(80);
    EXPECT_EQ(scrollX(), 0) << "Follow Playback turned off";
    EXPECT_FALSE(driver.menuChecked(kMainWindow, kViewFollowPlayback));
    EXPECT_EQ(loadSetting(program.folders.settingsFolder + kSettingsFileName, "FollowPlayback"), 0);
}

TEST_F(OnANewSong, NotesTypedAreHeardOnceUnlessTurnedOff)
{
    sent.clear();
    driver.type(kMainWindow, "c e<Return>");
    run(200);
    using Bytes = std::array<std::uint8_t, 3>;
    EXPECT_EQ(notesOn(), (std::vector<Bytes>{{0x91, 0x3C, 0x46}, {0x91, 0x40, 0x46}}));
    EXPECT_FALSE(program.output.hasSoundingNotes());

    driver.chooseMenuItem(kMainWindow, kViewHearNotes);
    sent.clear();
    driver.type(kMainWindow, "g<Return>");
    run(200);
    EXPECT_TRUE(notesOn().empty());
    EXPECT_EQ(loadSetting(program.folders.settingsFolder + kSettingsFileName, "HearNotes"), 0);
}

}  // namespace
}  // namespace nimbel
