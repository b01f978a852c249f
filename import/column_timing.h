// Where a MIDI file's ticks fall in a song's note columns, and the song
// tempo that plays those columns at the file's speed.
//
// The column length is the longest of the file's beat, half and quarter of
// it for which every note start lies within a twentieth of a column of a
// column start (programs start notes a tick or two off the beat), otherwise
// a quarter of the beat. Lengths are kept in quarter ticks, so that a
// quarter of any beat is a whole number.
#pragma once

#include "midi_music.h"

#include <cstdint>

namespace nimbel {

class ColumnTiming {
public:
    // Chooses the column length for the music's note starts: linear in its notes.
    explicit ColumnTiming(const MidiMusic& music);

    int columnsPerBeat() const { return columnsPerBeat_; }
    // The 1-based note column whose start lies nearest `tick`.
    std::int64_t columnOf(std::int64_t tick) const;
    // Whether `tick` lies within a twentieth of a column of a column start.
    bool isNearColumnStart(std::int64_t tick) const;
    // A length in ticks as a number of columns.
    double columnsOf(std::int64_t ticks) const;
    // The song tempo (columns a minute) for the file's first tempo, 120
    // beats a minute without one: a whole number of columns a minute when
    // the file's beat is that tempo's to within a microsecond, otherwise
    // songTempo of the column's length.
    std::int32_t tempoFor(const MidiMusic& music) const;

private:
    int columnsPerBeat_ = 4;
    std::int64_t length_ = 0;  // quarter ticks per column
};

// The tempo whose columns last `columnMs` milliseconds as the sequencer
// plays them: it steps columns every 60000 / tempo whole milliseconds and
// times notes by 60000.0 / tempo, so of the tempos whose step comes nearest
// `columnMs`, the one whose exact beat does. A song the program wrote as a
// MIDI file gets its own tempo back whenever the file tells it apart: the
// tempos 4 to 244, and the faster ones that divide 60000. Within 1 … 60000.
std::int32_t songTempo(double columnMs);

}  // namespace nimbel
