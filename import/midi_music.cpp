#include "midi_music.h"

#include "midi_file_reader.h"

#include <array>
#include <limits>

namespace nimbel {

namespace {

constexpr int kChannels = 16;
constexpr int kKeys = 128;

// The notes of one channel and key that have started and not yet ended,
// earliest first.
struct SoundingNotes {
    std::vector<std::uint32_t> notes;  // indexes into MidiMusic::notes
    std::size_t first = 0;

    void push(std::uint32_t note) { notes.push_back(note); }
    bool empty() const { return first == notes.size(); }
    std::uint32_t pop()
    {
        const std::uint32_t note = notes[first++];
        if (empty()) {
            notes.clear();
            first = 0;
        }
        return note;
    }
};

}  // namespace

std::string readMidiMusic(std::string_view bytes, MidiMusic& music)
{
    MidiEventStream stream(bytes);
    music = MidiMusic{};
    music.ticksPerBeat = stream.ticksPerBeat();
    std::array<std::uint8_t, kChannels> programs{};
    std::vector<SoundingNotes> sounding(kChannels * kKeys);
    std::uint32_t currentTempo = 0;

    MidiEvent event;
    while (stream.next(event)) {
        if (event.kind == MidiEvent::Kind::tempo) {
            if (!music.firstTempo) music.firstTempo = event.microsecondsPerBeat;
            else if (event.microsecondsPerBeat != currentTempo) ++music.tempoChangesIgnored;
            currentTempo = event.microsecondsPerBeat;
            continue;
        }
        const int kind = event.status & 0xF0;
        const std::uint8_t channel = event.status & 0x0F;
        SoundingNotes& keyNotes = sounding[static_cast<std::size_t>(channel * kKeys + event.data1)];
        if (kind == 0x90 && event.data2 > 0) {
            if (music.notes.size() == std::numeric_limits<std::uint32_t>::max()) continue;
            keyNotes.push(static_cast<std::uint32_t>(music.notes.size()));
            music.notes.push_back({event.tick, event.tick, channel, event.data1, event.data2, programs[channel]});
        } else if (kind == 0x80 || kind == 0x90) {
            if (!keyNotes.empty()) music.notes[keyNotes.pop()].end = event.tick;
        } else if (kind == 0xC0) {
            programs[channel] = event.data1;
            music.programChanges.push_back({event.tick, channel, event.data1});
        } else {
            ++music.controllerMessages;
        }
    }
    if (!stream.error().empty()) return stream.error();
    for (const SoundingNotes& keyNotes : sounding)
        for (std::size_t i = keyNotes.first; i < keyNotes.notes.size(); ++i)
            music.notes[keyNotes.notes[i]].end = stream.endTick();
    return {};
}

}  // namespace nimbel
