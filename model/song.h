// The song as the program holds it: the song grid (the store of record),
// the note list and channel state derived from it, the tempo, and the cell
// lists of the edit commands. One Song object is the whole song; every
// procedure takes it by reference, so tests build as many as they like.
#pragma once

#include "memory_grid.h"
#include "note_record.h"

#include <cstdint>
#include <vector>

namespace nimbel {

inline constexpr std::int32_t kDefaultTempo = 120;

struct Song {
    MemoryGrid grid;
    std::vector<NoteRecord> noteList;
    ChannelState channels{};
    std::int32_t tempo = kDefaultTempo;  // beats per minute, always at least 1
    bool noteListStale = false;          // the note list no longer matches the grid
    // Moves on whenever the note list is replaced or reordered, or a record
    // gets another column or channel: whoever does so adds one, so that what
    // is derived from the list (the sequencer's column index, an export's
    // played messages) knows to derive it again. Other changes of a record's
    // values need no new version.
    std::uint64_t noteListVersion = 0;

    std::vector<CellRecord> selectionList;
    std::vector<CellRecord> clipList;
    std::vector<CellRecord> undoList;
    std::vector<CellRecord> redoList;  // the groups undone, to be applied again

    // A song as start-up creates it: the note list with its default record,
    // a zeroed channel state, and the grid with its columns and 15 rows.
    Song();
};

}  // namespace nimbel
