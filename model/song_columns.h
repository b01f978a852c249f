// The shape of the song grid: its summary columns, its numbered note columns
// and the End column that closes the song.
#pragma once

#include "list_grid.h"

#include <cstdint>

namespace nimbel {

inline constexpr int kSongRows = 15;  // row r is channel r + 1
inline constexpr int kChannelColumn = 0;
inline constexpr int kVoiceColumn = 1;
inline constexpr int kVolumeColumn = 2;
inline constexpr int kOctaveColumn = 3;
inline constexpr int kFirstNoteColumn = 4;  // grid column c ≥ 4 is note column c − 3
inline constexpr int kNoteColumnWidth = 50;
inline constexpr int kMaxNoteColumns = 65535;   // no command grows a song past this
inline constexpr int kStartupNoteColumns = 20;  // "1" … "20", then "End"

// Grid column index of note column `column` (1-based), and back.
constexpr int gridColumnOf(int noteColumn) { return noteColumn + kFirstNoteColumn - 1; }
constexpr int noteColumnOf(int gridColumn) { return gridColumn - kFirstNoteColumn + 1; }

// The grid column index of a song's last possible note column.
inline constexpr int kLastSongColumn = gridColumnOf(kMaxNoteColumns);

// Index of the first column titled "End", " " or "" (the column count when none is).
std::int32_t findEndColumn(const ListGrid& grid);

// The last note column the commands reach: the End column, or the grid's
// last column when a deletion left it without one.
int lastNoteColumn(const ListGrid& grid);

// Makes grid column n the End column, removing or inserting note columns.
// n is kept within one note column (4) and kMaxNoteColumns note columns.
void setNoteColumnCount(ListGrid& grid, int n);

// Titles the note columns "1", "2", … and the End column "End" again.
void renumberColumns(ListGrid& grid);

// Builds the song grid as the main window creates it on an empty grid: the
// summary columns, note columns "1" … "20" and "End", and 15 channel rows.
void buildSongGrid(ListGrid& grid);

}  // namespace nimbel
