// Growing the song to the right for a note placed past its End column, as
// Paste does and the Channel Window's OK, each new column recorded in the
// undo group that is open.
#pragma once

namespace nimbel {

struct Song;

// Adds columns until grid column `target` exists and lies within the End
// column `end`, which follows the growth; the new last column is titled
// "End" and the former End column gets its number. A grid without an End
// column (`end` is then the column count) gets one appended first. The
// caller keeps `target` within kLastSongColumn.
void growSongTo(Song& song, int target, int& end);

}  // namespace nimbel
