#include "played_values.h"

namespace nimbel {

namespace {

constexpr std::int64_t kSemitonesPerOctave = 12;

}  // namespace

void takeRecordValues(const NoteRecord& record, NoteRecord& state)
{
    state.note = record.note;
    if (state.octave == 0) state.octave = kDefaultOctave;
    if (record.octave != 0) state.octave = record.octave;
    if (state.volume == 0) state.volume = kDefaultVolume;
    if (record.volume != 0) state.volume = record.volume;
    if (record.voice != 0) state.voice = record.voice;
    if (state.voice == 0) state.voice = kDefaultVoice;
    if (record.duration != 0.0f) state.duration = record.duration;
    if (state.duration == 0.0f) state.duration = 1.0f;
}

std::optional<std::int64_t> playedNoteNumber(const NoteRecord& state)
{
    if (state.note == kRestNote) return std::nullopt;
    return static_cast<std::int64_t>(state.note) + kSemitonesPerOctave * state.octave;
}

const NoteRecord* PlayedValues::take(const NoteRecord& record)
{
    if (!isSongChannel(record.channel)) return nullptr;
    NoteRecord& state = channels_[static_cast<std::size_t>(record.channel)];
    takeRecordValues(record, state);
    state.channel = record.channel;
    return &state;
}

}  // namespace nimbel
