// Any bytes as a MIDI file (given the "MThd" a MIDI file begins with when
// they lack it), opened as File Open opens it. The reader never reads
// outside the bytes nor hangs (the sanitizers and libFuzzer's timeout
// watch); a file it refuses gives a reason and no song text; a file it
// accepts becomes a song at a playable tempo whose every note, as the song
// plays it after the texts' running values, is a note of the file in the
// column its start rounds to, and which holds every note of the file the
// report does not count as dropped.
#include "column_timing.h"
#include "fuzz_check.h"
#include "midi_music.h"
#include "song.h"
#include "song_file.h"
#include "song_opening.h"

#include <cstdint>
#include <set>
#include <string>
#include <utility>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace nimbel;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.starts_with("MThd")) bytes.insert(0, "MThd");
    const SongFileText file = prepareSongFile(bytes);
    check(file.imported);
    if (!file.refusal.empty()) {
        check(file.text.empty());
        return 0;
    }

    MidiMusic music;
    check(readMidiMusic(bytes, music).empty());
    const ColumnTiming timing(music);
    std::multiset<std::pair<std::int64_t, std::int32_t>> fileNotes;  // column, MIDI note number
    for (const MidiNote& note : music.notes) fileNotes.insert({timing.columnOf(note.start), note.key});

    Song song;
    PlainPositionDisplay position;
    check(openSongAfterStartUp(song, position, file.text).total() == 0);
    check(song.tempo >= 1 && song.tempo <= 60000);
    std::size_t notes = 0;
    for (const NoteRecord& record : song.noteList) {
        if (record.isTempo() || record.note == kRestNote) continue;
        const auto found = fileNotes.find({record.column, record.note + 12 * record.octave});
        check(found != fileNotes.end() && record.volume >= 1 && record.volume <= 10);
        fileNotes.erase(found);
        ++notes;
    }
    check(notes + file.approximations.notesDropped() == music.notes.size());
    return 0;
}
