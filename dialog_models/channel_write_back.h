// Writing the Channel Window's notes back into the song grid, its OK: each
// note of the note list becomes the note text of its cell, naming only what
// differs from what the channel's texts before it leave running, so that the
// next rebuild plays what the window showed and played.
#pragma once

namespace nimbel {

struct ProjectState;
struct Song;

// Marks the song changed and writes, as one undo group of the Channel
// Window, the text of every note of the note list into its cell of row
// channel − 1 (and into the note's own text). A note in the column past
// the song's End column grows the song by that column, unless the song has
// its longest length already; then that note is not written. Cells of
// columns without a note are left as they are.
void writeChannelBack(Song& song, ProjectState& project, int channel);

}  // namespace nimbel
