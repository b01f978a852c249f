// The program's one MIDI output: choosing the device at start-up, opening
// it, the note-on and program-change messages the program sends, and closing
// it at exit. Data values outside 0 … 127 never reach the device: velocities
// and programs are clamped, and a note message for a note number outside
// 0 … 127 is not sent, so no value spills into a neighbouring byte.
// A message may carry the steady-clock moment it was meant for (its due
// time), which a port that renders sound itself uses to place it exactly;
// without one it is meant for now. User-interface thread only.
#pragma once

#include "midi_devices.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace nimbel {

// A voice a song channel is about to use: channel 1 … 15, voice 1 … 128.
struct ChannelVoice {
    int channel = 0;
    std::int64_t voice = 0;

    friend bool operator==(const ChannelVoice&, const ChannelVoice&) = default;
};

class MidiOutput {
public:
    MidiOutput() = default;
    ~MidiOutput();  // closes the output as closeOutput does
    MidiOutput(const MidiOutput&) = delete;
    MidiOutput& operator=(const MidiOutput&) = delete;

    // Tries device -1, 0, 1, … and takes the first that reports voices; when
    // none does the choice is 0. Stores and returns the choice.
    int chooseOutputDevice(MidiDevices& devices);
    int outputDevice() const { return outputDevice_; }

    bool openOutput(MidiDevices& devices, int device);
    bool isOpen() const { return port_ != nullptr; }
    // Ends every note still sounding, one note-off each, then releases the device.
    void closeOutput();

    // status is 0x90 (note-on) or 0xC0 (program change); channel 1 … 15.
    // A channel outside 0 … 15 is not sent.
    void sendShortMessage(int status, int channel, std::int64_t data1, std::int64_t data2,
                          std::optional<std::int64_t> dueMs = std::nullopt);
    // Velocity 0 ends the note.
    void noteOn(int channel, std::int64_t note, std::int64_t velocity,
                std::optional<std::int64_t> dueMs = std::nullopt);
    // voice 1 … 128 is sent as program voice − 1.
    void programChange(int channel, std::int64_t voice, std::optional<std::int64_t> dueMs = std::nullopt);
    // Tells the device the voices about to be used, each as programChange
    // would send it (channels outside 0 … 15 are left out); sends nothing.
    // Returns once the device has them ready.
    void prepareVoices(std::span<const ChannelVoice> voices);
    // How long after its due time a message is heard, in whole milliseconds.
    std::int64_t latencyMs() const;

    // Sends a note-off for every note started and not yet ended, one each.
    void endSoundingNotes();
    bool hasSoundingNotes() const;

private:
    int outputDevice_ = 0;
    std::unique_ptr<MidiPort> port_;
    std::array<std::bitset<128>, 16> sounding_{};  // by channel, by note number
};

}  // namespace nimbel
