// The built-in General MIDI synthesizer: FluidSynth with a SoundFont,
// rendered by the program's own audio thread into a stream of the system's
// sound server (PulseAudio, or PipeWire's PulseAudio service) or, where none
// answers, ALSA's default device, whichever opens first. Starting it loads
// the SoundFont (about 30 ms for a small one, up to 200 ms for a large one)
// and waits until the stream plays and its clock is known (about 0.15 s).
//
// Every message is heard a fixed latency (about 55 ms with PulseAudio)
// after the moment it was meant for, to within about a millisecond: a
// message sent with a due time (sendAt) after its due time, one sent
// without after the moment of sending. The due time is on SteadyClock.
// Messages may be sent from the user-interface thread; the audio thread
// alone renders. Destroying the synthesizer fades out what still sounds and
// joins its thread.
#pragma once

#include "midi_devices.h"
#include "sound_fonts.h"

#include <memory>
#include <string>
#include <vector>

namespace nimbel {

struct SynthOptions {
    std::vector<std::string> soundFonts = defaultSoundFontPaths();   // the first readable one is used
    std::vector<std::string> audioDrivers = {"pulseaudio", "alsa"};  // tried in order
};

class BuiltInSynth final : public MidiPort {
public:
    // Null when no SoundFont loads or no audio output opens.
    static std::unique_ptr<BuiltInSynth> start(const SynthOptions& options);
    ~BuiltInSynth() override;

    void send(std::uint32_t packed) override;
    void sendAt(std::uint32_t packed, std::int64_t dueMs) override;

    int polyphony() const;
    const std::string& soundFont() const;
    const std::string& audioDriver() const;
    // From a message's due time until the sound system plays it.
    std::int64_t latencyNs() const;

private:
    struct Parts;
    explicit BuiltInSynth(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

}  // namespace nimbel
