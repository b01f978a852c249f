#include "hear_notes.h"

#include "note_preview.h"
#include "program.h"
#include "song_columns.h"

#include <algorithm>
#include <vector>

namespace nimbel {

void hearWrittenNotes(Program& program, std::size_t undoLengthBefore, HeardCells cells)
{
    const std::vector<CellRecord>& undo = program.song.undoList;
    if (!program.options.hearNotes || program.sequencer.isPlaying() || undo.size() <= undoLengthBefore) return;
    std::vector<NotePlace> places;
    for (std::size_t i = undoLengthBefore; i < undo.size(); ++i) {
        const CellRecord& change = undo[i];
        if (change.marker != 0) continue;
        if (change.row < 0) return;  // columns came or went: the cells moved
        const NotePlace place{change.row + 1, noteColumnOf(change.column)};
        if (change.column >= kFirstNoteColumn && std::ranges::find_if(places, [&](const NotePlace& p) {
                                                     return p.channel == place.channel &&
                                                            p.noteColumn == place.noteColumn;
                                                 }) == places.end())
            places.push_back(place);
    }
    if (cells == HeardCells::onlyOne && places.size() != 1) return;
    program.preview.play(notesPlayedAt(program.song.grid, places), program.song.tempo);
}

}  // namespace nimbel
