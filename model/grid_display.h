// Putting a whole song into the song grid: starting an empty song, and
// showing the note list in the note cells, the tempo cell and the channels'
// summary cells, with the position track bar and note counter following
// the song's length. Runs on the thread that owns the grid; each call is
// one batch of grid changes, so a view is reset once.
#pragma once

#include "position_display.h"
#include "song.h"

namespace nimbel {

// Resets the grid's rows, the note list (to its default record) and the
// channel state, then shows the note list. Columns and tempo are kept.
void newSong(Song& song, PositionDisplay& position);

// Writes every record of the note list into its cell (records of channels
// outside 1 … 15 and cells outside the grid are skipped), fills each row's
// summary cells from the first record that gives a value, sets the track
// bar's maximum to the number of note columns and puts the counter back to
// "1" when it points past the end. Nothing already in the grid is removed.
void showNoteList(Song& song, PositionDisplay& position);

}  // namespace nimbel
