#include "column_growth.h"

#include "song.h"
#include "song_columns.h"
#include "undo_history.h"

#include <string>

namespace nimbel {

void growSongTo(Song& song, int target, int& end)
{
    MemoryGrid& grid = song.grid;
    while (target > end || target >= grid.columnCount()) {
        const int at = end < grid.columnCount() ? end + 1 : grid.columnCount();
        recordColumnInserted(song, at);
        grid.insertColumn(at, "End", kNoteColumnWidth);
        if (at == end + 1) {
            recordColumnTitle(song, end);
            grid.setHeaderTitle(end, std::to_string(noteColumnOf(end)));
        }
        end = at;
    }
}

}  // namespace nimbel
