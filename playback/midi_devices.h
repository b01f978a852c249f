// The system's MIDI output devices as the program sees them: a count, each
// device's name and voice count, and opening one for sending. Index -1 is the
// default device (on a real system the built-in synthesizer), 0 … count()-1
// the others in the system's order. Used from the user-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace nimbel {

// A voice a channel is about to be set to, as a program change carries it:
// MIDI channel 0 … 15, program 0 … 127.
struct ChannelProgram {
    int channel = 0;
    int program = 0;

    friend bool operator==(const ChannelProgram&, const ChannelProgram&) = default;
};

// An open output device. A packed short message holds status and channel in
// byte 0, the data values in bytes 1 and 2, and 0 in byte 3. Sending never
// reports failure: a message the device refuses is lost, as on any MIDI cable.
class MidiPort {
public:
    virtual ~MidiPort() = default;
    // Plays the message now.
    virtual void send(std::uint32_t packed) = 0;
    // Plays the message as meant for `dueMs` on the steady clock (a moment
    // already reached): a port that renders sound itself places it there,
    // after a fixed latency; any other port plays it now.
    virtual void sendAt(std::uint32_t packed, std::int64_t /*dueMs*/) { send(packed); }
    // Told before playing which voices the channels are about to use, so
    // that a port that reads its instruments on demand reads them now and
    // no note waits for them. Returns once they are ready; sends nothing.
    virtual void prepareVoices(std::span<const ChannelProgram> /*voices*/) {}
    // From a message's due time until it is heard: a port that renders sound
    // itself knows its queue; for any other the time is unknown and taken as 0.
    virtual std::int64_t latencyNs() const { return 0; }
};

struct MidiDeviceCaps {
    std::string name;
    int voices = 0;  // above 0 for a synthesizer, 0 for a plain port
};

class MidiDevices {
public:
    virtual ~MidiDevices() = default;
    virtual int count() = 0;
    // Empty when the device cannot be asked (no such index, or the query failed).
    virtual std::optional<MidiDeviceCaps> capabilities(int index) = 0;
    // Null when the device cannot be opened.
    virtual std::unique_ptr<MidiPort> open(int index) = 0;
};

}  // namespace nimbel
