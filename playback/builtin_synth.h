// The built-in General MIDI synthesizer: FluidSynth with a SoundFont,
// rendered by the program's own audio thread into a stream of the system's
// sound server (PulseAudio, or PipeWire's PulseAudio service) or, where none
// answers, ALSA's default device, whichever opens first. Starting it opens
// the stream (a few milliseconds) and returns: the SoundFont loads on a
// thread of its own (an instrument list in up to a fifth of a second; each
// instrument's samples are read when a Play is about to use them, through
// prepareVoices), and the stream's clock is known about 0.15 s later.
//
// Every message is heard a latency after the moment it was meant for, to
// within about a millisecond: a message sent with a due time (sendAt) after
// its due time, one sent without after the moment of sending. With
// PulseAudio the latency is about 18 ms; each underrun the server reports
// makes the queue, and so the latency, 5 ms longer (said on standard
// error), up to 100 ms. The due time is on SteadyClock. Messages may be sent
// from the user-interface thread; the audio thread alone renders.
// Destroying the synthesizer fades out what still sounds and joins its
// threads.
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
    // Null when no SoundFont is found or no audio output opens.
    static std::unique_ptr<BuiltInSynth> start(const SynthOptions& options);
    ~BuiltInSynth() override;

    void send(std::uint32_t packed) override;
    void sendAt(std::uint32_t packed, std::int64_t dueMs) override;
    // Reads the voices' instruments and waits until the stream plays: a
    // Play made right after start-up, or with voices not read before,
    // waits that long (up to a fraction of a second).
    void prepareVoices(std::span<const ChannelProgram> voices) override;

    int polyphony() const;
    const std::string& soundFont() const;
    const std::string& audioDriver() const;
    // From a message's due time until the sound system plays it; 0 until the stream plays.
    std::int64_t latencyNs() const override;
    // Underruns the sound system has reported.
    int underruns() const;

private:
    struct Parts;
    explicit BuiltInSynth(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

}  // namespace nimbel
