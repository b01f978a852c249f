// A device list of one output for benchmarks that measure what a port is
// sent: opening it hands out the port given, once.
#pragma once

#include "midi_devices.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace nimbel::bench {

class OnePortDevices final : public MidiDevices {
public:
    OnePortDevices(std::string name, std::unique_ptr<MidiPort> port) : name_(std::move(name)), port_(std::move(port)) {}
    int count() override { return 0; }
    std::optional<MidiDeviceCaps> capabilities(int) override { return MidiDeviceCaps{name_, 1}; }
    std::unique_ptr<MidiPort> open(int) override { return std::move(port_); }

private:
    std::string name_;
    std::unique_ptr<MidiPort> port_;
};

}  // namespace nimbel::bench
