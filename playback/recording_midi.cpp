#include "recording_midi.h"

#include <utility>

namespace nimbel {

RecordingMidiDevices::RecordingMidiDevices(Clock& clock, MessageLog& log)
    : RecordingMidiDevices(clock, log, {RecordingDevice{MidiDeviceCaps{"Recording output", 1}, true}})
{}

RecordingMidiDevices::RecordingMidiDevices(Clock& clock, MessageLog& log, std::vector<RecordingDevice> devices)
    : clock_(clock), log_(log), devices_(std::move(devices))
{}

const RecordingDevice* RecordingMidiDevices::find(int index) const
{
    const long long at = static_cast<long long>(index) + 1;
    if (at < 0 || at >= static_cast<long long>(devices_.size())) return nullptr;
    return &devices_[static_cast<std::size_t>(at)];
}

std::optional<MidiDeviceCaps> RecordingMidiDevices::capabilities(int index)
{
    const RecordingDevice* device = find(index);
    return device ? device->caps : std::nullopt;
}

std::unique_ptr<MidiPort> RecordingMidiDevices::open(int index)
{
    const RecordingDevice* device = find(index);
    if (!device || !device->opens) return nullptr;
    opened_.push_back(index);
    return std::make_unique<RecordingPort>(clock_, log_);
}

}  // namespace nimbel
