// The undo history: undoList holds groups, each an opening marker record,
// the changes in the order they were made, and a closing marker. A change
// is a cell's text before it was written, a removed column, an inserted
// column, or a column's title before it was changed. Titles are kept so
// that an undo brings back the End column where it was: a paste past the
// End column retitles it, and removing it takes the title along. The
// history has no size limit; File New, Open and Save empty it.
//
// Undoing a group records what it changes back as a group of the redo
// list, in the same form, so that Redo applies it again (and records it
// for Undo once more). A new edit empties the redo list.
//
// Memory: one CellRecord (48 bytes) per recorded cell, plus the text when it
// is longer than the string's own buffer (15 characters here).
#pragma once

#include <cstdint>

namespace nimbel {

struct Song;

inline constexpr std::int32_t kCommandMarker = 1;         // groups of the main window's commands
inline constexpr std::int32_t kChannelWindowMarker = -1;  // groups of the Channel Window
inline constexpr std::int32_t kColumnRemovedRow = -1;     // text: the title it comes back with, "" for "New"
inline constexpr std::int32_t kColumnInsertedRow = -2;
inline constexpr std::int32_t kColumnTitleRow = -3;

// One undo group for as long as it lives: the opening marker on
// construction, the closing one on destruction, so a command always leaves
// a complete group behind. Opening one empties the redo list.
class UndoGroup {
public:
    explicit UndoGroup(Song& song, std::int32_t marker = kCommandMarker);
    ~UndoGroup();
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    Song& song_;
    std::int32_t marker_;
};

// Remembers the text a cell holds now.
void recordCell(Song& song, int row, int column);
void recordColumnRemoved(Song& song, int column);
void recordColumnInserted(Song& song, int column);
void recordColumnTitle(Song& song, int column);

// Edit > Undo: clears the selection, takes back the newest group (newest
// change first, renumbering the columns when any came or went), keeps it
// for Redo and marks the note list stale. The project stays marked as changed.
void undoLastGroup(Song& song);
// Edit > Redo: the same for the group undone last, which goes back to the
// undo history. Nothing but the selection changes when nothing was undone.
void redoLastGroup(Song& song);

}  // namespace nimbel
