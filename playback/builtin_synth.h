// The built-in General MIDI synthesizer: FluidSynth with a SoundFont,
// playing through the system's sound server (PulseAudio, or PipeWire's
// PulseAudio service) or ALSA, whichever opens first. Starting it loads the
// SoundFont (about 30 ms for a small one, up to 200 ms for a large one).
// FluidSynth renders on its own audio thread; messages may be sent from the
// user-interface thread at any time.
#pragma once

#include "midi_devices.h"
#include "sound_fonts.h"

#include <memory>
#include <string>
#include <vector>

namespace nimbel {

struct SynthOptions {
    std::vector<std::string> soundFonts = defaultSoundFontPaths();   // the first readable one is used
    std::vector<std::string> audioDrivers = {"pulseaudio", "alsa"};  // FluidSynth driver names, tried in order
};

class BuiltInSynth final : public MidiPort {
public:
    // Null when no SoundFont loads or no audio output opens.
    static std::unique_ptr<BuiltInSynth> start(const SynthOptions& options);
    ~BuiltInSynth() override;

    void send(std::uint32_t packed) override;

    int polyphony() const;
    const std::string& soundFont() const;
    const std::string& audioDriver() const;

private:
    struct Parts;
    explicit BuiltInSynth(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

}  // namespace nimbel
