// The View menu's options, kept in the settings file: "Follow Playback"
// and "Hear Notes While Editing", both on until the user turns them off.
#pragma once

namespace nimbel {

struct Program;

struct ViewOptions {
    bool followPlayback = true;
    bool hearNotes = true;
};

// At start-up, once the main window has its menus: the options and their check marks.
void loadViewOptions(Program& program);
// View > Follow Playback or Hear Notes While Editing: the option turned over and kept.
void toggleViewOption(Program& program, int command);

}  // namespace nimbel
