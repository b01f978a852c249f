// The system's MIDI outputs: device -1 is the built-in synthesizer, devices
// 0 … N−1 the ALSA sequencer's output ports. Asking for device -1's
// capabilities starts the synthesizer (it reports its polyphony when it can
// start, 0 voices otherwise); opening device -1 then hands that running
// synthesizer over. User-interface thread only.
#pragma once

#include "alsa_sequencer_ports.h"
#include "builtin_synth.h"
#include "midi_devices.h"

#include <memory>
#include <vector>

namespace nimbel {

class SystemMidiDevices final : public MidiDevices {
public:
    explicit SystemMidiDevices(SynthOptions options = {});

    // Lists the sequencer's ports afresh; indexes refer to this listing.
    int count() override;
    std::optional<MidiDeviceCaps> capabilities(int index) override;
    std::unique_ptr<MidiPort> open(int index) override;

private:
    const SequencerPort* port(int index);
    void startSynth();

    SynthOptions options_;
    bool listed_ = false;
    std::vector<SequencerPort> ports_;
    bool synthTried_ = false;
    std::unique_ptr<BuiltInSynth> synth_;  // started by the capability query, not yet handed over
};

}  // namespace nimbel
