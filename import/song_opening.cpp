#include "song_opening.h"

#include "midi_file_reader.h"
#include "midi_import.h"

namespace nimbel {

SongFileText prepareSongFile(std::string contents)
{
    SongFileText file;
    if (!isStandardMidiFile(contents)) {
        if (holdsSong(contents)) file.text = std::move(contents);
        else file.refusal = kNotASongReason;
        return file;
    }
    file.imported = true;
    MidiImport import;
    file.refusal = importMidiFile(contents, import);
    file.text = std::move(import.songText);
    file.approximations = import.report;
    return file;
}

OpenedSongFile openSongFileAfterStartUp(Song& song, PositionDisplay& position, std::string contents)
{
    SongFileText file = prepareSongFile(std::move(contents));
    OpenedSongFile opened{file.refusal, {}, file.imported, file.approximations};
    if (opened.refusal.empty()) opened.dropped = openSongAfterStartUp(song, position, file.text);
    return opened;
}

}  // namespace nimbel
