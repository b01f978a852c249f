#include "song_reset.h"

#include "list_grid.h"
#include "song.h"

namespace nimbel {

void clearSelection(Song& song)
{
    for (const CellRecord& cell : song.selectionList) song.grid.setCellColor(cell.row, cell.column, kDefaultCellColor);
    song.selectionList.clear();
}

void clearSelectionAndHistory(Song& song)
{
    clearSelection(song);
    song.undoList.clear();
}

}  // namespace nimbel
