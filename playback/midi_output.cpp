#include "midi_output.h"

#include "short_message.h"

#include <algorithm>
#include <vector>

namespace nimbel {

namespace {

constexpr int kChannelMessages = 16;
constexpr std::int64_t kMaxDataValue = 127;

bool carriesNoteNumber(int status)
{
    const int kind = status & 0xF0;
    return kind == 0x80 || kind == 0x90 || kind == 0xA0;
}

int clampData(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, 0, kMaxDataValue)); }

}  // namespace

MidiOutput::~MidiOutput() { closeOutput(); }

int MidiOutput::chooseOutputDevice(MidiDevices& devices)
{
    outputDevice_ = 0;
    const int n = devices.count();
    for (int i = -1; i <= n - 1; ++i) {
        const auto caps = devices.capabilities(i);
        if (caps && caps->voices > 0) {
            outputDevice_ = i;
            break;
        }
    }
    return outputDevice_;
}

bool MidiOutput::openOutput(MidiDevices& devices, int device)
{
    closeOutput();
    port_ = devices.open(device);
    return port_ != nullptr;
}

void MidiOutput::closeOutput()
{
    if (!port_) return;
    endSoundingNotes();
    port_.reset();
}

void MidiOutput::sendShortMessage(int status, int channel, std::int64_t data1, std::int64_t data2,
                                  std::optional<std::int64_t> dueMs)
{
    if (!port_ || channel < 0 || channel >= kChannelMessages) return;
    if (carriesNoteNumber(status) && (data1 < 0 || data1 > kMaxDataValue)) return;
    const int kind = status & 0xF0;
    const int first = clampData(data1);
    const int second = clampData(data2);
    if (kind == kNoteOnStatus)
        sounding_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(first)] = second > 0;
    const std::uint32_t packed = packShortMessage(kind, channel, first, second);
    if (dueMs) port_->sendAt(packed, *dueMs);
    else port_->send(packed);
}

void MidiOutput::noteOn(int channel, std::int64_t note, std::int64_t velocity, std::optional<std::int64_t> dueMs)
{
    sendShortMessage(kNoteOnStatus, channel, note, velocity, dueMs);
}

void MidiOutput::programChange(int channel, std::int64_t voice, std::optional<std::int64_t> dueMs)
{
    sendShortMessage(kProgramChangeStatus, channel, voice - 1, 0, dueMs);
}

std::int64_t MidiOutput::latencyMs() const { return port_ ? port_->latencyNs() / 1'000'000 : 0; }

void MidiOutput::prepareVoices(std::span<const ChannelVoice> voices)
{
    if (!port_) return;
    std::vector<ChannelProgram> programs;
    for (const ChannelVoice& use : voices)
        if (use.channel >= 0 && use.channel < kChannelMessages)
            programs.push_back({use.channel, clampData(use.voice - 1)});
    port_->prepareVoices(programs);
}

void MidiOutput::endSoundingNotes()
{
    for (int channel = 0; channel < kChannelMessages; ++channel) {
        auto& notes = sounding_[static_cast<std::size_t>(channel)];
        for (int note = 0; note <= kMaxDataValue; ++note)
            if (notes[static_cast<std::size_t>(note)]) noteOn(channel, note, 0);
    }
}

bool MidiOutput::hasSoundingNotes() const
{
    return std::any_of(sounding_.begin(), sounding_.end(), [](const auto& notes) { return notes.any(); });
}

}  // namespace nimbel
