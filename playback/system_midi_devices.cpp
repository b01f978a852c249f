#include "system_midi_devices.h"

#include <utility>

namespace nimbel {

namespace {

constexpr const char* kSynthName = "Built-in synthesizer";

}  // namespace

SystemMidiDevices::SystemMidiDevices(SynthOptions options) : options_(std::move(options)) {}

int SystemMidiDevices::count()
{
    ports_ = listSequencerOutputPorts();
    listed_ = true;
    return static_cast<int>(ports_.size());
}

const SequencerPort* SystemMidiDevices::port(int index)
{
    if (!listed_) count();
    if (index < 0 || index >= static_cast<int>(ports_.size())) return nullptr;
    return &ports_[static_cast<std::size_t>(index)];
}

void SystemMidiDevices::startSynth()
{
    if (synthTried_) return;
    synthTried_ = true;
    synth_ = BuiltInSynth::start(options_);
}

std::optional<MidiDeviceCaps> SystemMidiDevices::capabilities(int index)
{
    if (index == -1) {
        startSynth();
        return MidiDeviceCaps{kSynthName, synth_ ? synth_->polyphony() : 0};
    }
    const SequencerPort* found = port(index);
    if (!found) return std::nullopt;
    return MidiDeviceCaps{found->name, sequencerPortVoices(*found)};
}

std::unique_ptr<MidiPort> SystemMidiDevices::open(int index)
{
    if (index == -1) {
        startSynth();
        synthTried_ = false;  // once handed over, a further open starts another
        return std::move(synth_);
    }
    const SequencerPort* found = port(index);
    return found ? openSequencerPort(*found) : nullptr;
}

}  // namespace nimbel
