// Opening any song file: a project file or hand-written song is read as
// text, and a Standard MIDI File, recognised by its content ("MThd")
// whatever its name, is imported into a song; anything else is refused.
// The program's File Open and command line and the export tool all open
// files this way.
#pragma once

#include "import_report.h"
#include "position_display.h"
#include "song.h"
#include "song_file.h"

#include <string>

namespace nimbel {

// A file's contents made ready to load, before anything of the song is
// cleared, so that a file that cannot be opened leaves the song as it was.
struct SongFileText {
    std::string refusal;          // why it cannot be opened (see unableToOpenText); empty when it can
    std::string text;             // the song text loadSongText reads
    bool imported = false;        // made from a MIDI file: saving it must not write over that file
    ImportReport approximations;  // what the import changed; empty for song text
};

// Text that holds no song (holdsSong) is refused with kNotASongReason; a
// MIDI file the import cannot read, with the import's reason.
SongFileText prepareSongFile(std::string contents);

struct OpenedSongFile {
    std::string refusal;  // as SongFileText's; then the song is as it was
    DroppedNotes dropped;
    bool imported = false;
    ImportReport approximations;
};

// The song as the program holds it after start-up followed by File Open of
// a file holding `contents` (see openSongAfterStartUp).
OpenedSongFile openSongFileAfterStartUp(Song& song, PositionDisplay& position, std::string contents);

}  // namespace nimbel
