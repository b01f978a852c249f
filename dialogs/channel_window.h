// The Channel Window: window 3, "Channel Display " and the channel, a
// one-octave piano roll of one channel in which the user places notes with
// a click, steps their durations with a right click, plays the channel
// alone, and writes it back into the song with OK as one undo group (OK
// without a click writes nothing).
#pragma once

namespace nimbel {

class Desktop;
class NotePreview;
class Sequencer;
struct ProjectState;
struct Song;

inline constexpr int kChannelWindow = 3;

// The Channel Window's gadgets, by the ids the window and its tests address
// them with; their own namespace keeps them apart from other windows' ids.
namespace channel_window {
enum Gadget : int {
    kChannelGrid = 1,
    kTrackBar = 3,
    kCounter = 4,
    kOkButton = 19,
    kCancelButton = 20,
    kHelpButton = 22,
    kPlayButton = 27,
    kPauseButton = 28,
    kStopButton = 29,
};
}  // namespace channel_window

// What the window works on, all of it the program's: the window that owns
// the song grid (hidden while this window is open, its grid given the
// keyboard afterwards) and the loaded images of the Stop, Pause and Play
// buttons. Notes placed or changed are heard through `preview` while the
// channel does not play; null when they are not to be heard.
struct ChannelWindowContext {
    Desktop& desktop;
    Song& song;
    ProjectState& project;
    Sequencer& sequencer;
    NotePreview* preview;
    int ownerWindow;
    int ownerGrid;
    int stopImage;
    int pauseImage;
    int playImage;
};

// Opens the window on `channel` (1 … 15) and returns when it closes. Sounding
// notes are ended first, and the note list holds the channel's notes from
// then on, also after Cancel, until a rebuild. The window's loop runs the
// sequencer's idle steps with its own track bar and counter, so playback
// goes on while it is open, marking the column being heard, and serves the
// Help Window.
void openChannelWindow(const ChannelWindowContext& context, int channel);

}  // namespace nimbel
