// The main window: window 0 with its menu bar, flat toolbar, song grid,
// note counter and position track bar, the layout rule that places them,
// and the Music menu's check marks.
#pragma once

#include "music_checks.h"

namespace nimbel {

class Desktop;
class PositionDisplay;
struct Song;

// Opens window 0 (604 by 298 counting the menu bar, centred, resizable),
// builds its menus and toolbar (the own images must be loaded), puts the
// song's grid in it (the grid has its columns and rows already), then the
// counter and the track bar, and last shows the song's note list.
void createMainWindow(Desktop& desktop, Song& song, PositionDisplay& position);

// Track bar along the bottom strip from x 70 to 5 pixels short of the right
// edge, counter at its left, the grid filling the space between the toolbar
// and the strip.
void layoutMainWindow(Desktop& desktop);

// Turns the three toolbar icons held in the program into images 0, 1 and 2.
void loadToolbarImages(Desktop& desktop);

class MainWindowMusicChecks final : public MusicChecks {
public:
    explicit MainWindowMusicChecks(Desktop& desktop) : desktop_(desktop) {}
    void setMusicChecks(bool play, bool pause, bool stop) override;

private:
    Desktop& desktop_;
};

}  // namespace nimbel
