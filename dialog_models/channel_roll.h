// The Channel Window's piano roll without the window: one octave of pitch
// rows by the song's note columns for one channel, the duration letters its
// cells show, and what a click and a right click do to the channel's notes.
// While the roll is open the song's note list holds this channel's notes
// only, one per note column, sorted by column; the sequencer plays them.
#pragma once

#include "memory_grid.h"
#include "note_record.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace nimbel {

struct Song;

inline constexpr int kPitchRows = 15;
inline constexpr int kRestRow = 14;
inline constexpr int kScaleColumn = 0;

// The labels of the pitch rows in the "Scale" column: row r places the
// note 12 − r, and the label, read as a note text, names that note. The
// last row places a rest.
inline constexpr std::array<std::string_view, kPitchRows> kPitchLabels = {
    "B#", "B", "A#", "A", "G#", "G", "F#", "E#", "E", "D#", "D", "C#", "C", "CB", "R"};

// The row a note is shown in: 12 − note for the notes −1 … 12, the rest row
// for a rest (and for any value no note text gives).
int pitchRowOf(std::int32_t note);

// The letters a cell shows for a duration in beats: "W", "H", "Q", "E", "S",
// "T" or "F" for the value nearest below, followed by "D" when it is about
// half as long again; "U" below a sixty-fourth.
std::string_view durationLetters(float duration);

// The base duration of the letters' first letter (4.0 for "WD"); 0 for "U".
float letterBase(std::string_view letters);

// The next duration of a right click's cycle: from "WD" back to "F", else
// the duration grows in sixty-fourths until its letters change.
float nextDuration(float duration);

class ChannelRoll {
public:
    // Opens the roll on `channel` (1 … 15): marks the note list stale,
    // replaces it with the channel's notes from note column 1 to the End
    // column, each interpreted after the channel's running values are set
    // to octave 5, volume 5, voice 1 and a half note, and fills the grid:
    // "Scale" and the row labels, the note columns, and a last column
    // "End" one past the song's End column.
    ChannelRoll(Song& song, int channel);

    int channel() const { return channel_; }
    MemoryGrid& grid() { return grid_; }
    // The column number of the "End" column: the track bar's maximum.
    int lastColumn() const { return lastColumn_; }
    // Whether a click or right click has placed or changed a note.
    bool edited() const { return edited_; }

    // A click on (row, column) of a note column: the column's note moves to
    // the row, or a note is added there with the channel's running duration,
    // octave and volume.
    void place(int row, int column);
    // A right click: on the row of the column's note its duration steps
    // (nextDuration); elsewhere the note moves there, keeping its duration;
    // in an empty column a note is added as by a click.
    void change(int row, int column);

private:
    NoteRecord* noteAt(int column);
    NoteRecord& addNote(int row, int column);
    void clearColumn(int column);
    void show(const NoteRecord& note);

    Song& song_;
    int channel_;
    MemoryGrid grid_;
    int lastColumn_ = 1;
    bool edited_ = false;
};

}  // namespace nimbel
