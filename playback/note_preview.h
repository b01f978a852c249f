// Notes heard as they are written: a note entered, placed or pasted while
// the song is stopped or paused sounds once on its channel with the voice,
// volume and octave it will play with, for its duration up to a second;
// several written at once sound as a short run. The preview sends through
// the program's MIDI output but leaves the song and the channel state the
// sequencer plays from as they are: a channel's voice is set back to the
// one the sequencer last gave it once the run has ended.
//
// Like the sequencer it has no timer: the event loop calls step, and wakes
// for nextDueTime. User-interface thread only.
#pragma once

#include "clock.h"
#include "memory_grid.h"
#include "midi_output.h"
#include "note_record.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace nimbel {

struct NotePlace {
    int channel = 0;  // the grid row's channel, 1 … 15
    int noteColumn = 0;
};

// The notes the cells at `places` play, in the order a Play reaches them,
// each with the running values its channel has there. Rests, empty cells
// and texts placed outside the song channels give none. Reads the cells up
// to the last place's column.
std::vector<NoteRecord> notesPlayedAt(const MemoryGrid& grid, std::span<const NotePlace> places);

// The same for a list of records in playing order (a channel's notes in the
// Channel Window): the records of `column`.
std::vector<NoteRecord> notesPlayedAt(std::span<const NoteRecord> records, int column);

class NotePreview {
public:
    // `playbackChannels` is the sequencer's channel state (the song's).
    NotePreview(MidiOutput& output, Clock& clock, const ChannelState& playbackChannels);

    // Sounds the notes at once, one after another, at the tempo (beats a
    // minute); a run still sounding is ended first.
    void play(std::span<const NoteRecord> notes, std::int32_t tempo);
    // Sends what is due by now.
    void step();
    // Ends the run at once (Play, or the song replaced).
    void stop();
    // When step next has work; none while nothing is to come.
    std::optional<std::int64_t> nextDueTime() const;

private:
    struct HeardNote {
        int channel = 0;
        std::int32_t voice = 0;
        std::int64_t number = 0;
        std::int64_t velocity = 0;
        std::int64_t onMs = 0;
        std::int64_t offMs = 0;
        bool started = false;
        bool ended = false;
    };
    void finish();

    MidiOutput& output_;
    Clock& clock_;
    const ChannelState& playbackChannels_;
    std::vector<HeardNote> run_;
};

}  // namespace nimbel
