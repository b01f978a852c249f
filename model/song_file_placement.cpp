// Phase two of reading a song file: placing the records and reading their values.
#include "decimal_reader.h"
#include "notation.h"
#include "song_columns.h"
#include "song_file_phases.h"

#include <algorithm>
#include <optional>
#include <string>

namespace nimbel::song_file {

namespace {

bool isInSong(const NoteRecord& record)
{
    return isSongChannel(record.channel) && record.column >= 1 && record.column <= kMaxNoteColumns;
}

// Where a record goes, as its text, its channel so far and the voice group say.
struct Placement {
    std::int32_t channel = 0;
    std::optional<std::int32_t> column;  // only when the text names one
    std::size_t textStart = 1;           // 1-based position where the note text proper begins
    std::int32_t groupChannels = 1;      // channels 1 … this one play the record: more than 1 makes copies
};

// "N" channel, then "X" column when it follows directly. The ";" a writer
// puts between the column and a text beginning with a digit or ";" is part
// of the prefix.
Placement placedByPrefix(std::string_view text)
{
    Placement placement;
    placement.channel = readDecimal(text.substr(1));
    std::size_t p = 2 + static_cast<std::size_t>(decimalLength(placement.channel));
    if (p <= text.size() && text[p - 1] == 'X') {
        placement.column = readDecimal(text.substr(p));
        p += 1 + static_cast<std::size_t>(decimalLength(*placement.column));
        if (p <= text.size() && text[p - 1] == ';') ++p;
    }
    placement.textStart = p;
    return placement;
}

// `group` is the size of the current voice group, which a voice of a voice
// list sets for the tokens after it. Channels past the last one could never
// be placed, so a group never reaches past it.
Placement placementOf(const NoteRecord& record, std::int32_t& group)
{
    const std::string_view text = record.text;
    Placement placement;
    if (record.channel == 0) {
        if (const std::int32_t leading = readDecimal(text.substr(0, 2)); leading != 0) {
            placement.channel = leading;
            placement.textStart = 1 + static_cast<std::size_t>(decimalLength(leading));
            return placement;
        }
        if (text.starts_with('N')) return placedByPrefix(text);
        placement.channel = 1;
        placement.groupChannels = std::min(group, kChannelCount);
        return placement;
    }
    if (text.starts_with('N')) return placedByPrefix(text);
    group = record.channel;
    placement.channel = record.channel;
    return placement;
}

// How many voice-group copies placing the note list will append, so that
// the list grows once.
std::size_t groupCopyCount(const std::vector<NoteRecord>& noteList)
{
    std::int32_t group = 1;
    std::size_t copies = 0;
    for (const NoteRecord& record : noteList)
        if (!record.isTempo()) copies += static_cast<std::size_t>(placementOf(record, group).groupChannels - 1);
    return copies;
}

void readTempo(Song& song, const NoteRecord& record)
{
    const std::int32_t tempo = readDecimal(std::string_view(record.text).substr(1));
    if (tempo >= 1) song.tempo = tempo;
}

}  // namespace

int placeRecords(Song& song, std::size_t firstRead, DroppedNotes& dropped)
{
    std::vector<NoteRecord>& noteList = song.noteList;
    noteList.reserve(noteList.size() + groupCopyCount(noteList));
    std::int32_t group = 1;
    int maxColumn = 0;
    for (std::size_t i = 0; i < noteList.size(); ++i) {
        if (noteList[i].isTempo()) {
            readTempo(song, noteList[i]);
            continue;
        }
        const Placement placement = placementOf(noteList[i], group);
        noteList[i].channel = placement.channel;
        if (placement.column) noteList[i].column = *placement.column;
        if (placement.groupChannels > 1) {
            NoteRecord copy = noteList[i];
            for (std::int32_t channel = 2; channel <= placement.groupChannels; ++channel) {
                copy.channel = channel;
                noteList.push_back(copy);
            }
        }

        // Records read from the file that lie outside the song take no part:
        // they change no channel state and are dropped below.
        NoteRecord& record = noteList[i];
        if (i >= firstRead && !isInSong(record)) continue;
        maxColumn = std::max(maxColumn, record.column);
        interpretNoteValues(record, song.channels, placement.textStart, Reading::songFile);
        record.text.erase(0, std::min(placement.textStart - 1, record.text.size()));
        if (record.channel >= 0 && record.channel < static_cast<std::int32_t>(song.channels.size()))
            song.channels[static_cast<std::size_t>(record.channel)].text = record.text;
    }
    const auto countedOutside = [&dropped](const NoteRecord& r) {
        if (r.isTempo() || isInSong(r)) return false;
        ++(isSongChannel(r.channel) ? dropped.outsideColumns : dropped.outsideChannels);
        return true;
    };
    const auto firstDropped =
        std::remove_if(noteList.begin() + static_cast<std::ptrdiff_t>(firstRead), noteList.end(), countedOutside);
    noteList.erase(firstDropped, noteList.end());
    return maxColumn;
}

}  // namespace nimbel::song_file
