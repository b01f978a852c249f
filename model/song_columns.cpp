#include "song_columns.h"

#include <algorithm>
#include <string>

namespace nimbel {

std::int32_t findEndColumn(const ListGrid& grid)
{
    // Past the last column the title reads empty, so the walk always ends.
    std::int32_t c = 0;
    for (;; ++c) {
        const std::string& title = grid.headerTitle(c);
        if (title.empty() || title == " " || title == "End") return c;
    }
}

int lastNoteColumn(const ListGrid& grid) { return std::min(findEndColumn(grid), grid.columnCount() - 1); }

void setNoteColumnCount(ListGrid& grid, int n)
{
    n = std::clamp(n, kFirstNoteColumn, kFirstNoteColumn + kMaxNoteColumns - 1);
    const int end = findEndColumn(grid);
    for (int c = end; c > n; --c) grid.removeColumn(c);
    for (int c = end; c < n; ++c) grid.insertColumn(c, std::to_string(noteColumnOf(c)), kNoteColumnWidth);
    grid.setHeaderTitle(n, "End");
}

void renumberColumns(ListGrid& grid)
{
    const int end = findEndColumn(grid);
    for (int c = kFirstNoteColumn; c < end; ++c) grid.setHeaderTitle(c, std::to_string(noteColumnOf(c)));
    // A grid whose End column was deleted stays without one.
    if (end < grid.columnCount()) grid.setHeaderTitle(end, "End");
}

void buildSongGrid(ListGrid& grid)
{
    grid.insertColumn(kChannelColumn, "Channel", 100);
    grid.insertColumn(kVoiceColumn, "Voice", 100);
    grid.insertColumn(kVolumeColumn, "Volume", 50);
    grid.insertColumn(kOctaveColumn, "Octave", 50);
    for (int n = 1; n <= kStartupNoteColumns; ++n)
        grid.insertColumn(gridColumnOf(n), std::to_string(n), kNoteColumnWidth);
    grid.insertColumn(gridColumnOf(kStartupNoteColumns + 1), "End", kNoteColumnWidth);
    for (int r = 1; r <= kSongRows; ++r) grid.appendRow(std::to_string(r));
}

}  // namespace nimbel
