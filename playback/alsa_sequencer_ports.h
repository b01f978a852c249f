// The MIDI output ports of the ALSA sequencer: hardware ports and other
// programs' synthesizers, in the sequencer's order. Talks to libasound
// directly because only it tells a synthesizer port from a plain one and
// reports its voices. A machine without the sequencer (no /dev/snd) simply
// has no ports. User-interface thread only.
#pragma once

#include "midi_devices.h"

#include <memory>
#include <string>
#include <vector>

namespace nimbel {

// One port as the sequencer describes it; capability and type hold the
// sequencer's SND_SEQ_PORT_CAP_* and SND_SEQ_PORT_TYPE_* bits.
struct SequencerPort {
    int client = 0;
    int port = 0;
    std::string name;
    unsigned capability = 0;
    unsigned type = 0;
    int synthVoices = 0;
    int midiVoices = 0;
};

// Whether the program may send to the port: another client's port (not the
// system client's, not the program's own) that takes writes and write
// subscriptions and allows routing.
bool isOutputPort(const SequencerPort& port, int ownClient);

// A synthesizer port reports its synth voices, or its MIDI voices, or at
// least 1, so the device choice prefers it over plain ports; a plain port
// reports 0.
int sequencerPortVoices(const SequencerPort& port);

// The output ports in the sequencer's order; empty without a sequencer.
std::vector<SequencerPort> listSequencerOutputPorts();

// A connection from a port of the program's own to `port`; null when the
// sequencer or the port cannot be reached.
std::unique_ptr<MidiPort> openSequencerPort(const SequencerPort& port);

}  // namespace nimbel
