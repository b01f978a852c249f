// Project files (".nmd") and the older hand-written song files: reading
// them into the note list and the grid, and writing the song back.
//
// Reading works on text and never fails: a song file may be any bytes, and
// whatever cannot be placed in the song (channels outside 1 … 15, note
// columns outside 1 … 65,535) is dropped. Time is linear in the file's
// size. Memory is one note record (72 bytes) per note: a note placed by "N"
// takes at least 6 bytes of file, and at most 65,535 × 16 records are placed
// by running column. File access is kept apart from the text work so that
// tests and the fuzzer run on strings.
// Everything here runs on the thread that owns the song.
#pragma once

#include "position_display.h"
#include "song.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace nimbel {

// The notes of a song file that have no place in the song, by why: the
// program shows the rest without a word, the export tool says so.
struct DroppedNotes {
    std::size_t outsideColumns = 0;   // note columns outside 1 … 65,535
    std::size_t outsideChannels = 0;  // channels outside 1 … 15, whatever their column
    std::size_t total() const { return outsideColumns + outsideChannels; }
};

// False when the file cannot be read (missing, a folder, no permission).
bool readSongFile(const std::string& path, std::string& contents);

// Whether `contents` can be read as a song: an empty file (an empty song),
// or one with a "START" line where the reader looks for one. Anything else
// (a program, a picture, a letter) would load as an empty song, and saving
// that would replace the file.
bool holdsSong(std::string_view contents);

// The reason the program and the export tool give for a file that does not hold a song.
inline constexpr std::string_view kNotASongReason = "it is not a Nimbel MIDI song";

// Reads a song file's text into the song and shows it. The caller has reset
// the song first (newSong, or the song as start-up builds it). The reader
// places the notes (the grid gets as many note columns as the highest column
// read) and fills the summary cells; then the note list is rebuilt from the
// grid as Play rebuilds it after an edit, so a song sounds the same whether
// it was just opened, edited or saved and opened again. The tempo changes
// only when the file gives one of at least 1.
DroppedNotes loadSongText(Song& song, PositionDisplay& position, std::string_view contents);

// Reads the file, then loadSongText. False when the file cannot be read;
// then nothing has changed.
bool loadSong(Song& song, PositionDisplay& position, const std::string& path);

// The song as the program holds it after start-up followed by File Open of
// a file holding `contents`: `song`, as freshly made, becomes a new song and
// the text is read into it. The export tool, the fuzzers and the tests load
// songs this way, so they see what the program shows.
DroppedNotes openSongAfterStartUp(Song& song, PositionDisplay& position, std::string_view contents);

// Rebuilds the note list from the grid, then gives the project file's lines,
// each ended by CR LF, with `date` (yyyy/mm/dd) in the header comment.
std::string songFileText(Song& song, std::string_view date);

// The same bytes made straight from the grid: the note list, the channel
// state and the tempo, which the sequencer may be playing from, are left as
// they are. The recovery file is made this way. About 6 ms for 10,000
// columns of 15 notes (1.9 MB of text), 2 ms for one channel of them.
std::string songFileTextFromGrid(const MemoryGrid& grid, std::string_view date);

// Rebuilds and writes the project file with today's date. The previous file
// is replaced only once the new one is completely written; false when it
// could not be written, and then the previous file is as it was.
bool saveSong(Song& song, const std::string& path);

// Today's local date as yyyy/mm/dd.
std::string localDateText();

}  // namespace nimbel
