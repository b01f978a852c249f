// The two phases of reading a song file's text (see song_file.h): phase one
// turns the music lines into records in file order, phase two gives each
// record its place and values. Internal to the song file reader.
#pragma once

#include "note_record.h"
#include "song.h"
#include "song_file.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace nimbel::song_file {

// A line that starts the music data: "START" in any case, with spaces around it.
bool isStartLine(std::string_view line);

// Phase one: appends one record per note token of the lines between START
// and END (with its running column and, for a voice list, one record per
// voice) and at most one tempo record, the last tempo token of 1 or more.
// Tokens whose note column would pass the song's last possible column are
// not kept, nor voices whose channel would pass the last channel, except the
// last of them, which alone decides the voice group of the tokens after it.
// Returns the notes not kept.
DroppedNotes readMusicTokens(std::string_view contents, std::vector<NoteRecord>& noteList);

// Phase two: walks the note list from its first record, places each record
// (leading channel number, "N" channel "X" column, or the current voice
// group, whose copies are appended), interprets its values and leaves as its
// text the note text without the placement prefix read. Then drops the
// records from `firstRead` on that lie outside the song and sets the tempo.
// Returns the highest note column of the records kept, and adds the records
// dropped to `dropped`.
int placeRecords(Song& song, std::size_t firstRead, DroppedNotes& dropped);

}  // namespace nimbel::song_file
