// The song grid's playhead: while a song plays or is paused the column being
// heard is tinted, and while it plays the grid keeps that column in view,
// paging on when it passes the right edge (View > "Follow Playback").
// Scrolling the grid sideways by hand while playing stops the following
// until the next Play; Stop returns the view to the first column.
#pragma once

namespace nimbel {

struct Program;

struct PlayheadView {
    bool scrolledByUser = false;  // since the last Play
    int shownColumn = 0;          // the note column tinted, 0 for none
};

// After each playback step of the main loop.
void showPlayhead(Program& program);
// The user scrolled the song grid sideways.
void holdPlayheadFollowing(Program& program);
// Play follows again; Stop scrolls back to the start.
void playheadPlayed(Program& program);
void playheadStopped(Program& program);

}  // namespace nimbel
