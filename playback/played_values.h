// What playing a record does to its channel's running values: the sequencer
// and the notes heard while editing both take a record this way, so that a
// note sounds the same written as played.
#pragma once

#include "note_record.h"

#include <array>
#include <cstdint>
#include <optional>

namespace nimbel {

inline constexpr std::int64_t kVelocityPerVolume = 14;

// Takes the record's note and the values it names into the channel's
// running state; a value neither holds is the channel default (a one-beat
// duration where the texts give none).
void takeRecordValues(const NoteRecord& record, NoteRecord& state);

// The MIDI note number a running state plays; none for a rest.
std::optional<std::int64_t> playedNoteNumber(const NoteRecord& state);

// Running states of the song channels as records are played in order, each
// channel starting from nothing.
class PlayedValues {
public:
    // The record's channel state after it, its channel set; records outside
    // the song channels change nothing and give null.
    const NoteRecord* take(const NoteRecord& record);

private:
    std::array<NoteRecord, kChannelCount + 1> channels_{};
};

}  // namespace nimbel
