#include "export_song.h"

#include "grid_display.h"
#include "song_file.h"

namespace nimbel {

bool openSongAsAfterStartUp(Song& song, PositionDisplay& position, const std::string& path)
{
    showNoteList(song, position);
    newSong(song, position);
    return loadSong(song, position, path);
}

}  // namespace nimbel
