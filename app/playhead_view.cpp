#include "playhead_view.h"

#include "list_grid_actions.h"
#include "program.h"
#include "program_ids.h"
#include "song_columns.h"

namespace nimbel {

void showPlayhead(Program& program)
{
    PlayheadView& view = program.playhead;
    const int column = program.sequencer.heardColumn();
    if (column == view.shownColumn) return;
    view.shownColumn = column;
    ListGridActions grid(program.desktop);
    grid.setGridPlayhead(kMainWindow, kSongGrid, column == 0 ? -1 : gridColumnOf(column));
    if (column != 0 && program.options.followPlayback && !view.scrolledByUser && program.sequencer.isPlaying())
        grid.followGridColumn(kMainWindow, kSongGrid, gridColumnOf(column));
}

void holdPlayheadFollowing(Program& program)
{
    if (program.sequencer.isPlaying()) program.playhead.scrolledByUser = true;
}

void playheadPlayed(Program& program) { program.playhead.scrolledByUser = false; }

void playheadStopped(Program& program) { ListGridActions(program.desktop).scrollGridToStart(kMainWindow, kSongGrid); }

}  // namespace nimbel
