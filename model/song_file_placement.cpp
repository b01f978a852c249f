// Phase two of reading a song file: placing the records and reading their values.
#include "decimal_reader.h"
#include "notation.h"
#include "song_columns.h"
#include "song_file_phases.h"

#include <algorithm>
#include <string>

namespace nimbel::song_file {

namespace {

bool isInSong(const NoteRecord& record)
{
    return record.channel >= 1 && record.channel <= kChannelCount && record.column >= 1 &&
           record.column <= kMaxNoteColumns;
}

class RecordPlacer {
public:
    explicit RecordPlacer(std::vector<NoteRecord>& noteList) : noteList_(noteList) {}

    // Gives the record at `index` its channel (and column, when its text
    // names one) and returns the 1-based position where its note text
    // proper begins. Voice-group copies are appended to the note list, so
    // references into it do not survive this call.
    std::size_t place(std::size_t index)
    {
        NoteRecord& record = noteList_[index];
        const std::string_view text = record.text;
        if (record.channel == 0) {
            if (const std::int32_t leading = readDecimal(text.substr(0, 2)); leading != 0) {
                record.channel = leading;
                return 1 + static_cast<std::size_t>(decimalLength(leading));
            }
            if (text.starts_with('N')) return readPlacementPrefix(record);
            record.channel = 1;
            appendGroupCopies(NoteRecord(record));
            return 1;
        }
        if (text.starts_with('N')) return readPlacementPrefix(record);
        group_ = record.channel;  // a voice of a voice list sets the group for the tokens after it
        return 1;
    }

private:
    // "N" channel, then "X" column when it follows directly. The ";" a
    // writer puts between the column and a text beginning with a digit is
    // part of the prefix.
    static std::size_t readPlacementPrefix(NoteRecord& record)
    {
        const std::string_view text = record.text;
        record.channel = readDecimal(text.substr(1));
        std::size_t p = 2 + static_cast<std::size_t>(decimalLength(record.channel));
        if (p > text.size() || text[p - 1] != 'X') return p;
        record.column = readDecimal(text.substr(p));
        p += 1 + static_cast<std::size_t>(decimalLength(record.column));
        if (p <= text.size() && text[p - 1] == ';') ++p;
        return p;
    }

    // The token is played on channels 1 … g of the current voice group;
    // channels past the last one could never be placed, so no copy is made.
    void appendGroupCopies(NoteRecord copy)
    {
        const std::int32_t channels = std::min(group_, kChannelCount);
        for (std::int32_t channel = 2; channel <= channels; ++channel) {
            copy.channel = channel;
            noteList_.push_back(copy);
        }
    }

    std::vector<NoteRecord>& noteList_;
    std::int32_t group_ = 1;
};

void readTempo(Song& song, const NoteRecord& record)
{
    const std::int32_t tempo = readDecimal(std::string_view(record.text).substr(1));
    if (tempo >= 1) song.tempo = tempo;
}

}  // namespace

int placeRecords(Song& song, std::size_t firstRead)
{
    std::vector<NoteRecord>& noteList = song.noteList;
    RecordPlacer placer(noteList);
    int maxColumn = 0;
    for (std::size_t i = 0; i < noteList.size(); ++i) {
        if (noteList[i].isTempo()) {
            readTempo(song, noteList[i]);
            continue;
        }
        const std::size_t p = placer.place(i);
        NoteRecord& record = noteList[i];
        // Records read from the file that lie outside the song take no part:
        // they change no channel state and are dropped below.
        if (i >= firstRead && !isInSong(record)) continue;

        maxColumn = std::max(maxColumn, record.column);
        interpretNoteValues(record, song.channels, p, Reading::songFile);
        record.text.erase(0, std::min(p - 1, record.text.size()));
        if (record.channel >= 0 && record.channel < static_cast<std::int32_t>(song.channels.size()))
            song.channels[static_cast<std::size_t>(record.channel)].text = record.text;
    }
    const auto firstDropped = std::remove_if(noteList.begin() + static_cast<std::ptrdiff_t>(firstRead), noteList.end(),
                                             [](const NoteRecord& r) { return !r.isTempo() && !isInSong(r); });
    noteList.erase(firstDropped, noteList.end());
    return maxColumn;
}

}  // namespace nimbel::song_file
