// Importing a Standard MIDI File as a song: which song channel and note
// column each note takes and how its text is written, producing a song
// file's text that the model's song file reader loads like any other, and
// a count of what had to change to fit the song.
//
// The rules: a note's MIDI channel k (1 to 15) becomes song channel k, as
// in the program's own MIDI files; MIDI channel 0 takes the first song
// channel the file leaves unused. Starts are rounded to the nearest note
// column (column_timing.h), and the tempo follows the column length. The
// velocity becomes the nearest volume digit (14 × volume; 127, the loudest,
// is volume 10, which plays as 127), the program in force the voice, the
// length the nearest duration the notation can write for that note. A
// cell holds one note, so further notes starting in one column of a channel
// (chords) go to song channels the file leaves unused, with their own
// voice; what finds no place is dropped. Channel 9 sounds
// as percussion on General MIDI synthesizers, so it never takes another
// channel's notes, and its own chords have no other channel to go to.
//
// Cost: linear in the file's size and notes; memory one MidiNote per note
// and the text (about 16 bytes a note) while it is made.
#pragma once

#include "import_report.h"

#include <string>
#include <string_view>

namespace nimbel {

struct MidiImport {
    std::string songText;  // START, the tempo, one line per cell, END
    ImportReport report;
};

// Reads the file and places its music. Returns why the file cannot be
// opened (not a MIDI file, format 2, time-code timing, damaged), or the
// empty string with `import` filled.
std::string importMidiFile(std::string_view bytes, MidiImport& import);

}  // namespace nimbel
