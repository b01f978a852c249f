// The edit commands on the in-memory grid: the cases a user meets, the
// messages and what each leaves selected, and songs at their limits; then
// the undo property: whatever a user does with the edit commands, undoing
// every group brings the grid back exactly, redoing what was undone brings
// back the edited grid, and no edit makes the song look saved. Note entry
// as typed into the grid is the new-song tests' table of key sequences.
#include "edit_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace nimbel {
namespace {

using namespace testing_support;

class Editing : public ::testing::Test, public EditRig {};

TEST_F(Editing, CutTakesTheTextRememberedAtSelection)
{
    write(0, 1, "C");
    select(0, 1);
    write(0, 1, "D");
    cutSelection(session);
    EXPECT_EQ(song.clipList.at(0).text, "C");
    EXPECT_EQ(text(0, 1), "");
    undoLastGroup(song);
    EXPECT_EQ(text(0, 1), "C") << "undo writes back what the cut took";
}

TEST_F(Editing, NoteEntryInTheFirstColumnShowsTheRowsSettingsAndLeavesPlaybackAlone)
{
    song.channels[1].voice = 10;  // what playback carries from the channels' last notes
    song.channels[2].octave = 3;
    const ChannelState playing = song.channels;
    struct Case {
        int row;
        const char* text;
        const char* summary[3];  // voice, volume, octave
    } cases[] = {
        {0, "C", {"Acoustic Grand Piano", "5", "5"}},
        {1, "V7>D,74", {"Flute", "7", "6"}},  // the octave a rebuild gives: 5, one higher
        {2, "E,300", {"300", "5", "5"}},
        {3, "3C,33 C E", {"Acoustic Bass", "5", "3"}},  // the first note's settings, not its neighbours' letters
    };
    for (const Case& c : cases) {
        enterNotes(session, c.row, at(1), c.text);
        for (int column = kVoiceColumn; column <= kOctaveColumn; ++column)
            EXPECT_EQ(song.grid.cellText(c.row, column), c.summary[column - kVoiceColumn]) << c.text;
    }
    for (std::size_t ch = 0; ch < playing.size(); ++ch)
        EXPECT_EQ(std::pair(song.channels[ch].octave, song.channels[ch].voice),
                  std::pair(playing[ch].octave, playing[ch].voice));
}

TEST_F(Editing, CommandsSayWhatTheyNeedAndKeepOrClearTheSelection)
{
    struct Case {
        const char* name;
        void (*command)(EditSession&);
        int selected;
        const char* message;  // "" for none
        bool selectionKept;
    };
    const Case cases[] = {
        {"Paste, two cells", pasteClipboard, 2, "Please select only one destination location", false},
        {"Paste, empty clipboard", pasteClipboard, 1, "Nothing to paste", false},
        {"Paste, none selected", pasteClipboard, 0, "Nothing to paste", false},
        {"Delete Column, two cells", deleteColumn, 2, "Please select only one column", true},
        {"Delete Column, none", deleteColumn, 0, "", true},
        {"Insert Column, two cells", insertColumn, 2, "Please select only one column", true},
        {"Delete Before, two cells", deleteBefore, 2, "Please select only one column", true},
        {"Delete After, two cells", deleteAfter, 2, "Please select only one column", true},
        {"Clear Channel, two cells", clearChannel, 2, "Please select only one channel", true},
        {"Paste From, two cells", [](EditSession& s) { pasteFromClipboard(s, "0~4~C"); }, 2,
         "Please select only one destination location", false},
        {"Paste From, \"!!\"", [](EditSession& s) { pasteFromClipboard(s, "!!0~4~C"); }, 1, "Nothing to paste", false},
    };
    for (const Case& c : cases) {
        EditRig rig;
        for (int i = 0; i < c.selected; ++i) rig.select(i, 2);
        const auto before = gridContent(rig.song.grid);
        c.command(rig.session);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rig.messages.shown, std::vector<std::string>(*c.message ? 1 : 0, c.message));
        EXPECT_EQ(rig.song.selectionList.size(), c.selectionKept ? std::size_t(c.selected) : 0u);
        EXPECT_EQ(gridContent(rig.song.grid), before);
        EXPECT_FALSE(rig.project.changed);
    }
}

TEST_F(Editing, PasteKeepsTheCellsOffsetsFromTheirTopLeft)
{
    for (const auto& [row, column, cell] : {std::tuple(2, 5, "A"), {4, 3, "B"}, {3, 4, "C"}}) {
        write(row, column, cell);
        select(row, column);
    }
    copySelection(song);
    select(0, 1);
    pasteClipboard(session);
    EXPECT_EQ(text(0, 3), "A");
    EXPECT_EQ(text(2, 1), "B");
    EXPECT_EQ(text(1, 2), "C");
    select(13, 20);  // the lowest cell falls below row 14 and is skipped; the End column moves to 22
    pasteClipboard(session);
    EXPECT_EQ(text(13, 22), "A");
    EXPECT_EQ(text(14, 21), "C");
}

TEST_F(Editing, NoCommandGrowsTheSongPastItsLastNoteColumn)
{
    setNoteColumnCount(song.grid, at(kMaxNoteColumns - 1));
    select(0, kMaxNoteColumns - 1);
    pasteFromClipboard(session, "0~4~A!0~5~B!0~6~C!0~2147483647~D");
    EXPECT_EQ(text(0, kMaxNoteColumns - 1), "A");
    EXPECT_EQ(text(0, kMaxNoteColumns), "B");
    EXPECT_EQ(song.grid.columnCount(), at(kMaxNoteColumns) + 1);
    EXPECT_EQ(song.grid.headerTitle(at(kMaxNoteColumns)), "End");
    EXPECT_EQ(messages.shown, std::vector<std::string>{std::string(kTooManyColumnsMessage)}) << "told once";

    select(0, 3);
    insertColumn(session);
    EXPECT_EQ(song.grid.columnCount(), at(kMaxNoteColumns) + 1);
    EXPECT_EQ(messages.shown.size(), 2u);
    undoLastGroup(song);
    EXPECT_EQ(text(0, kMaxNoteColumns - 1), "") << "the paste is one group";
    EXPECT_EQ(song.grid.columnCount(), at(kMaxNoteColumns - 1) + 1);
    EXPECT_EQ(enterNotes(session, 1, at(kMaxNoteColumns - 1), "A B C"), at(kMaxNoteColumns) + 1);
    EXPECT_EQ(text(1, kMaxNoteColumns), "B");
    EXPECT_EQ(messages.shown.size(), 3u);
}

TEST_F(Editing, CommandsWorkOnAGridWithoutAnEndColumn)
{
    write(0, 1, "C");
    write(0, 3, "E");
    select(0, 19);
    deleteAfter(session);
    ASSERT_EQ(findEndColumn(song.grid), song.grid.columnCount());
    EXPECT_EQ(song.grid.headerTitle(at(18)), "18");
    select(0, 1);
    select(0, 3);
    copySelection(song);
    select(0, 18);  // the last column: "E" lands two past it
    pasteClipboard(session);
    EXPECT_EQ(text(0, 18), "C");
    EXPECT_EQ(text(0, 20), "E");
    EXPECT_EQ(song.grid.headerTitle(at(19)), "19");
    EXPECT_EQ(song.grid.headerTitle(at(20)), "End");
    undoLastGroup(song);
    EXPECT_EQ(song.grid.columnCount(), at(19));
    EXPECT_EQ(song.grid.headerTitle(at(18)), "18");
    selectAll(song, kSelected);
    EXPECT_EQ(song.selectionList.size(), 15u * 18);
}

TEST_F(Editing, SelectColumnThenChannelFollowsTheLastCellAdded)
{
    select(3, 2);
    selectColumn(song, kSelected);
    EXPECT_EQ(song.selectionList.size(), 15u);
    selectChannel(song, kSelected);
    EXPECT_EQ(song.selectionList.back().row, 14);
    EXPECT_EQ(song.selectionList.size(), 15u + 20);
    clearSelection(song);
    EXPECT_EQ(song.grid.cellColor(14, at(21)), kDefaultCellColor);
}

// The note cells and every title: what undo must restore. Summary cells
// are refreshed by note entry and are no part of the history.
std::vector<std::string> noteContent(const MemoryGrid& grid)
{
    std::vector<std::string> all = gridContent(grid);
    const std::size_t perColumn = static_cast<std::size_t>(grid.rowCount()) + 1;
    all.erase(all.begin() + 1, all.begin() + static_cast<std::ptrdiff_t>(kFirstNoteColumn * perColumn));
    return all;
}

TEST(UndoProperty, UndoingEveryGroupRestoresTheGridAndRedoingThemTheEditedOne)
{
    std::mt19937 random(7);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const char* kTexts[] = {"C", "V5D#Q,12", "4E", "R", "G<<H.", "", "N2X3A"};
    for (int song = 0; song < 200; ++song) {
        EditRig rig;
        setNoteColumnCount(rig.song.grid, pick(5, 40));
        for (int i = pick(0, 60); i > 0; --i)
            rig.song.grid.setCellText(pick(0, 14), pick(4, rig.song.grid.columnCount() - 1), kTexts[pick(0, 6)]);
        const auto start = noteContent(rig.song.grid);
        bool changed = false;
        for (int step = pick(1, 25); step > 0; --step) {
            const int columns = rig.song.grid.columnCount();
            for (int clicks = pick(0, 3); clicks > 0; --clicks)
                toggleSelection(rig.song, pick(0, 15), pick(2, columns + 1), kSelected);
            switch (pick(0, 13)) {
            case 0: cutSelection(rig.session); break;
            case 1: copySelection(rig.song); break;
            case 2: pasteClipboard(rig.session); break;
            case 3: deleteColumn(rig.session); break;
            case 4: insertColumn(rig.session); break;
            case 5: deleteBefore(rig.session); break;
            case 6: deleteAfter(rig.session); break;
            case 7: clearChannel(rig.session); break;
            case 8: enterNotes(rig.session, pick(0, 14), pick(4, columns), "A B C"); break;
            case 9: pasteFromClipboard(rig.session, copyToClipboard(rig.song)); break;
            case 10: selectAll(rig.song, kSelected); break;
            case 11: selectChannel(rig.song, kSelected); break;
            case 12: undoLastGroup(rig.song); break;
            case 13: redoLastGroup(rig.song); break;
            }
            changed = changed || !rig.song.undoList.empty();
            ASSERT_TRUE(rig.project.changed || !changed) << "song " << song;
        }
        // Undo k then redo k, and undo all then redo all, end where the edits did.
        const auto edited = noteContent(rig.song.grid);
        const int all = undoGroups(rig.song.undoList);
        for (const int k : {pick(0, all), all}) {
            for (int i = 0; i < k; ++i) undoLastGroup(rig.song);
            if (k == all) {
                ASSERT_EQ(noteContent(rig.song.grid), start) << "song " << song;
            }
            for (int i = 0; i < k; ++i) redoLastGroup(rig.song);
            ASSERT_EQ(noteContent(rig.song.grid), edited) << "undo and redo " << k << ": song " << song;
        }
    }
}

}  // namespace
}  // namespace nimbel
