// Any bytes as a MIDI file (given the "MThd" a MIDI file begins with when
// they lack it), opened as File Open opens it. The reader never reads
// outside the bytes nor hangs (the sanitizers and libFuzzer's timeout
// watch); a file it refuses gives a reason and no song text; a file it
// accepts becomes a song that keeps every note the import placed, whose
// notes read the same from the file as rebuilt from the grid, each a note
// the MIDI output can send, at a playable tempo.
#include "fuzz_check.h"
#include "notation.h"
#include "song.h"
#include "song_file.h"
#include "song_opening.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace nimbel;

// The note records of a list, without the default record and the tempo record.
std::vector<NoteRecord> notesOf(const std::vector<NoteRecord>& noteList)
{
    std::vector<NoteRecord> notes;
    for (const NoteRecord& record : noteList)
        if (!record.isTempo() && record.column != 0) notes.push_back(record);
    return notes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.starts_with("MThd")) bytes.insert(0, "MThd");
    const SongFileText file = prepareSongFile(std::move(bytes));
    check(file.imported);
    if (!file.refusal.empty()) {
        check(file.text.empty());
        return 0;
    }

    Song song;
    PlainPositionDisplay position;
    check(openSongAfterStartUp(song, position, file.text).total() == 0);
    check(song.tempo >= 1 && song.tempo <= 60000);
    const std::vector<NoteRecord> loaded = notesOf(song.noteList);
    rebuildNoteList(song);
    const std::vector<NoteRecord> rebuilt = notesOf(song.noteList);
    check(loaded.size() == rebuilt.size());
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        const NoteRecord& a = loaded[i];
        const NoteRecord& b = rebuilt[i];
        check(a.channel == b.channel && a.column == b.column && a.note == b.note && a.voice == b.voice);
        if (b.note == kRestNote) continue;  // a rest only sets a voice
        check(a.volume == b.volume && a.octave == b.octave && a.duration == b.duration);
        const std::int32_t key = b.note + 12 * b.octave;
        check(key >= 11 && key <= 127 && b.volume >= 1 && b.volume <= 10);
    }
    return 0;
}
