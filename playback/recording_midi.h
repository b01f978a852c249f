// An output that plays nothing and keeps every message it is sent, with the
// clock time of sending: for tests, benchmarks and the export tool.
#pragma once

#include "clock.h"
#include "midi_devices.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace nimbel {

struct TimedMessage {
    std::int64_t timeMs = 0;
    std::uint32_t packed = 0;

    friend bool operator==(const TimedMessage&, const TimedMessage&) = default;
};

using MessageLog = std::vector<TimedMessage>;

class RecordingPort final : public MidiPort {
public:
    RecordingPort(Clock& clock, MessageLog& log) : clock_(clock), log_(log) {}
    void send(std::uint32_t packed) override { log_.push_back({clock_.nowMs(), packed}); }

private:
    Clock& clock_;
    MessageLog& log_;
};

// One device of a RecordingMidiDevices: what its capability query answers
// (nothing = the query fails) and whether it opens.
struct RecordingDevice {
    std::optional<MidiDeviceCaps> caps;
    bool opens = true;
};

// A device list whose every device records into the same log. Entry 0 of
// `devices` is device -1, entry i is device i − 1. By default there is only
// the default device, a synthesizer that opens.
class RecordingMidiDevices final : public MidiDevices {
public:
    RecordingMidiDevices(Clock& clock, MessageLog& log);
    RecordingMidiDevices(Clock& clock, MessageLog& log, std::vector<RecordingDevice> devices);

    int count() override { return static_cast<int>(devices_.size()) - 1; }
    std::optional<MidiDeviceCaps> capabilities(int index) override;
    std::unique_ptr<MidiPort> open(int index) override;

    // Device indexes in the order they were opened.
    const std::vector<int>& opened() const { return opened_; }

private:
    const RecordingDevice* find(int index) const;

    Clock& clock_;
    MessageLog& log_;
    std::vector<RecordingDevice> devices_;
    std::vector<int> opened_;
};

}  // namespace nimbel
