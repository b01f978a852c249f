// The note text notation: what a note text such as "V5C5Q,1" means, and the
// rebuild that turns the whole song grid into the note list.
//
// Codes are not read left to right: each is searched for from a moving start
// position, so "ABWD" is a D flat whole note lengthened by half. Searches are
// case-sensitive; texts reach interpretation in upper case.
#pragma once

#include "note_record.h"
#include "song.h"
#include "song_columns.h"
#include "text_file.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace nimbel {

// Interprets record.text into the record's values against the channel state:
// always sets volume, octave and duration; note when the text names a note or
// rest; channel and column when it begins with N or X; voice after a comma.
// The channel state entry of the record's channel is updated. Channels
// outside 0 … 15 are interpreted against a blank entry and change no state.
void parseNoteText(NoteRecord& record, ChannelState& channels);

// Which reader is interpreting: the notation proper, or the song file reader,
// which takes no voice from the text, counts each of + - > < once without
// falling back to channel 1's values, and leaves a missing duration at 0.
enum class Reading { noteText, songFile };

// The values part of interpretation (volume onwards), from 1-based position p.
void interpretNoteValues(NoteRecord& record, ChannelState& channels, std::size_t p, Reading reading);

// The tempo the song grid's tempo cell ("1 T" and the tempo) gives: 120 when
// it holds no "T" or a tempo below 1.
std::int32_t tempoOfCell(const ListGrid& grid);

// Replaces the note list and the channel state from the song grid and sets
// the tempo: the tempo record first, then one record per non-empty note cell,
// column by column and within a column channel 1 … 15, each record's text
// prefixed by "N" channel "X" column.
void rebuildNoteList(Song& song);

// The text a rebuilt record carries for a cell: the N/X placement prefix,
// then the cell text. A text that begins with a digit is kept apart from the
// column number by a ";" (which the notation ignores): "N1X1;5C". A text that
// begins with ";" gets one too, as the file reader drops one ";" there.
std::string placedNoteText(int channel, int noteColumn, std::string_view cellText);
// The same, appended to `text`.
void appendPlacedNoteText(std::string& text, int channel, int noteColumn, std::string_view cellText);

// The tempo record's text: the tempo cell from its first "T" on, or "T120"
// when the cell holds no "T" or a tempo below 1.
std::string tempoRecordText(const ListGrid& grid);

// Calls visit(channel, noteColumn, cellText) for each note cell that holds
// more than spaces, in the rebuilt note list's order: note column by note
// column up to the End column, channel 1 … 15 within a column. The cell text
// comes without its leading and trailing spaces.
template <typename Visit>
void forEachNoteCell(const MemoryGrid& grid, Visit&& visit)
{
    const int end = findEndColumn(grid);
    for (int c = kFirstNoteColumn; c <= end; ++c) {
        for (int channel = 1; channel <= kSongRows; ++channel) {
            const std::string_view cell = trimmed(grid.cellText(channel - 1, c));
            if (!cell.empty()) visit(channel, noteColumnOf(c), cell);
        }
    }
}

}  // namespace nimbel
