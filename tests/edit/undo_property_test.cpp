// Whatever a user does with the edit commands, undoing every group brings
// the grid back exactly, redoing what was undone brings back the edited
// grid, and no edit makes the song look saved.
#include "edit_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace nimbel {
namespace {

using namespace testing_support;

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
