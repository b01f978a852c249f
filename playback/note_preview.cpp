#include "note_preview.h"

#include "notation.h"
#include "played_values.h"

#include <algorithm>
#include <bitset>
#include <cmath>

namespace nimbel {

namespace {

constexpr std::int64_t kLongestNoteMs = 1000;
// In a run each note is cut to this, so that a row of notes is heard as a phrase, not played out.
constexpr std::int64_t kRunNoteMs = 180;
constexpr std::size_t kLongestRun = 8;

}  // namespace

std::vector<NoteRecord> notesPlayedAt(const MemoryGrid& grid, std::span<const NotePlace> places)
{
    std::vector<NoteRecord> heard;
    if (places.empty()) return heard;
    const int lastColumn = std::ranges::max(places, {}, &NotePlace::noteColumn).noteColumn;
    ChannelState reading = rebuildChannelState();
    PlayedValues playing;
    forEachNoteCell(grid, [&](int channel, int noteColumn, std::string_view cell) {
        if (noteColumn > lastColumn) return;
        NoteRecord record;
        record.text = placedNoteText(channel, noteColumn, cell);
        parseNoteText(record, reading);
        const NoteRecord* state = playing.take(record);
        const bool wanted = std::ranges::any_of(
            places, [&](const NotePlace& p) { return p.channel == channel && p.noteColumn == noteColumn; });
        if (state && wanted && state->note != kRestNote) heard.push_back(*state);
    });
    return heard;
}

std::vector<NoteRecord> notesPlayedAt(std::span<const NoteRecord> records, int column)
{
    std::vector<NoteRecord> heard;
    PlayedValues playing;
    for (const NoteRecord& record : records) {
        if (record.column > column) break;
        const NoteRecord* state = playing.take(record);
        if (state && record.column == column && state->note != kRestNote) heard.push_back(*state);
    }
    return heard;
}

NotePreview::NotePreview(MidiOutput& output, Clock& clock, const ChannelState& playbackChannels)
    : output_(output), clock_(clock), playbackChannels_(playbackChannels)
{}

void NotePreview::play(std::span<const NoteRecord> notes, std::int32_t tempo)
{
    stop();
    notes = notes.first(std::min(notes.size(), kLongestRun));
    // An output that reads its instruments on demand has them before the first note.
    std::vector<ChannelVoice> voices;
    for (const NoteRecord& note : notes) voices.push_back({note.channel, note.voice});
    output_.prepareVoices(voices);
    const bool single = notes.size() == 1;
    std::int64_t at = clock_.nowMs();
    for (const NoteRecord& note : notes) {
        const auto beatMs = 60000.0 / std::max<std::int32_t>(tempo, 1);
        const auto length = std::max<std::int64_t>(static_cast<std::int64_t>(std::lround(beatMs * note.duration)), 1);
        const std::int64_t heardFor = std::min(length, single ? kLongestNoteMs : kRunNoteMs);
        run_.push_back(
            {note.channel, note.voice, *playedNoteNumber(note), kVelocityPerVolume * note.volume, at, at + heardFor});
        at += heardFor;
    }
    step();
}

void NotePreview::step()
{
    if (run_.empty()) return;
    const std::int64_t now = clock_.nowMs();
    for (HeardNote& note : run_) {
        if (!note.started && note.onMs <= now) {
            output_.programChange(note.channel, note.voice, note.onMs);
            output_.noteOn(note.channel, note.number, note.velocity, note.onMs);
            note.started = true;
        }
        if (note.started && !note.ended && note.offMs <= now) {
            output_.noteOn(note.channel, note.number, 0, note.offMs);
            note.ended = true;
        }
    }
    if (run_.back().ended) finish();
}

void NotePreview::stop()
{
    for (HeardNote& note : run_) {
        if (note.started && !note.ended) output_.noteOn(note.channel, note.number, 0);
        note.ended = true;
    }
    finish();
}

// Each channel the run used gets back the voice the sequencer last set on
// it, so that playing on finds the device as it left it.
void NotePreview::finish()
{
    std::bitset<kChannelCount + 1> restored;
    for (const HeardNote& note : run_) {
        const auto channel = static_cast<std::size_t>(note.channel);
        const std::int32_t voice = playbackChannels_[channel].voice;
        if (!note.started || restored[channel] || voice == 0) continue;
        output_.programChange(note.channel, voice);
        restored.set(channel);
    }
    run_.clear();
}

std::optional<std::int64_t> NotePreview::nextDueTime() const
{
    for (const HeardNote& note : run_)
        if (!note.ended) return note.started ? note.offMs : note.onMs;
    return std::nullopt;
}

}  // namespace nimbel
