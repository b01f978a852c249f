#include "song.h"

#include "song_columns.h"

namespace nimbel {

Song::Song()
{
    noteList.push_back(defaultNoteRecord());
    buildSongGrid(grid);
}

}  // namespace nimbel
