// The music of a Standard MIDI File as the import places it in a song: its
// notes with their start, end, velocity and program, the program changes,
// the tempo, and counts of what a song has no place for. Memory is one
// MidiNote (24 bytes) per note; time is linear in the file's size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbel {

struct MidiNote {
    std::int64_t start = 0;  // ticks from the start of the file
    std::int64_t end = 0;
    std::uint8_t channel = 0;  // 0 … 15
    std::uint8_t key = 0;      // MIDI note number
    std::uint8_t velocity = 0;
    std::uint8_t program = 0;  // the channel's program when the note started
};

struct MidiProgramChange {
    std::int64_t tick = 0;
    std::uint8_t channel = 0;
    std::uint8_t program = 0;
};

struct MidiMusic {
    int ticksPerBeat = 0;
    std::optional<std::uint32_t> firstTempo;        // microseconds per beat
    std::size_t tempoChangesIgnored = 0;            // later tempo events that change the tempo
    std::size_t controllerMessages = 0;             // controllers, pitch bends and pressure
    std::vector<MidiNote> notes;                    // in the order they start
    std::vector<MidiProgramChange> programChanges;  // in time order
};

// Reads the whole file into `music`. A note-off (or a note-on of velocity
// 0) ends the earliest sounding note of its channel and key; a note that is
// never ended lasts to the end of the file's longest track. Returns why the file cannot be
// read, or the empty string.
std::string readMidiMusic(std::string_view bytes, MidiMusic& music);

}  // namespace nimbel
