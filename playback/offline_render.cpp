#include "offline_render.h"

#include "file_replacement.h"
#include "short_message.h"
#include "synth_setup.h"

#include <algorithm>
#include <array>
#include <set>
#include <utility>
#include <vector>

namespace nimbel {

namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerSample = 2;
constexpr int kBytesPerFrame = kChannels * kBytesPerSample;
constexpr std::int64_t kChunkFrames = 4096;
constexpr std::int64_t kTailStepFrames = 441;  // 10 ms
constexpr std::size_t kWavHeaderBytes = 44;
// RIFF sizes are 32-bit: the data may not take more than this.
constexpr std::int64_t kMaxDataBytes = 0xFFFFFFFFLL - (kWavHeaderBytes - 8);

std::int64_t frameAt(std::int64_t ms) { return (ms * kSynthSampleRate + 500) / 1000; }

void putLittleEndian(std::array<std::uint8_t, kWavHeaderBytes>& header, std::size_t at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        header[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::array<std::uint8_t, kWavHeaderBytes> wavHeader(std::uint32_t dataBytes)
{
    std::array<std::uint8_t, kWavHeaderBytes> h{'R', 'I', 'F', 'F', 0, 0, 0,   0,   'W', 'A', 'V', 'E', 'f', 'm', 't',
                                                ' ', 0,   0,   0,   0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0,
                                                0,   0,   0,   0,   0, 0, 'd', 'a', 't', 'a', 0,   0,   0,   0};
    putLittleEndian(h, 4, static_cast<std::uint32_t>(kWavHeaderBytes - 8) + dataBytes, 4);
    putLittleEndian(h, 16, 16, 4);  // fmt chunk size
    putLittleEndian(h, 20, 1, 2);   // PCM
    putLittleEndian(h, 22, kChannels, 2);
    putLittleEndian(h, 24, kSynthSampleRate, 4);
    putLittleEndian(h, 28, kSynthSampleRate * kBytesPerFrame, 4);
    putLittleEndian(h, 32, kBytesPerFrame, 2);
    putLittleEndian(h, 34, kBytesPerSample * 8, 2);
    putLittleEndian(h, 40, dataBytes, 4);
    return h;
}

std::string_view bytesOf(const void* data, std::size_t size) { return {static_cast<const char*>(data), size}; }

// Renders frames into the file up to a frame count, in chunks.
class FrameWriter {
public:
    FrameWriter(fluid_synth_t* synth, FileReplacement& file)
        : synth_(synth), file_(file), buffer_(kChunkFrames * kChannels)
    {}

    bool renderTo(std::int64_t frame)
    {
        while (written_ < frame) {
            const int count = static_cast<int>(std::min(kChunkFrames, frame - written_));
            fluid_synth_write_s16(synth_, count, buffer_.data(), 0, kChannels, buffer_.data(), 1, kChannels);
            // The host is little-endian, as the WAV data is.
            if (!file_.write(bytesOf(buffer_.data(), static_cast<std::size_t>(count) * kBytesPerFrame))) return false;
            written_ += count;
        }
        return true;
    }

    // Renders on until no voice sounds, or up to `lastFrame`.
    bool renderRelease(std::int64_t lastFrame)
    {
        while (written_ < lastFrame && fluid_synth_get_active_voice_count(synth_) > 0)
            if (!renderTo(std::min(lastFrame, written_ + kTailStepFrames))) return false;
        return true;
    }

    std::int64_t written() const { return written_; }

private:
    fluid_synth_t* synth_;
    FileReplacement& file_;
    std::vector<std::int16_t> buffer_;
    std::int64_t written_ = 0;
};

// The synthesizer reads an instrument's samples when a program change first
// selects it and drops them when no channel uses it any more; a song whose
// channels change voices often would read them again and again. Every
// instrument the messages select is therefore read once, before rendering.
void pinSelectedInstruments(fluid_synth_t* synth, int soundFontId, const MessageLog& messages)
{
    constexpr int kDrumChannel = 9;  // General MIDI's percussion channel, bank 128
    constexpr int kDrumBank = 128;
    std::set<std::pair<int, int>> instruments;  // bank, program
    for (const TimedMessage& message : messages) {
        const auto bytes = shortMessageBytes(message.packed);
        if ((bytes[0] & 0xF0) != kProgramChangeStatus) continue;
        if ((bytes[0] & 0x0F) == kDrumChannel) {
            instruments.insert({kDrumBank, bytes[1]});
            instruments.insert({kDrumBank, 0});  // the kit used when the one asked for is missing
        } else {
            instruments.insert({0, bytes[1]});
        }
    }
    for (const auto& [bank, program] : instruments) fluid_synth_pin_preset(synth, soundFontId, bank, program);
}

RenderResult failure(std::string error)
{
    RenderResult result;
    result.error = std::move(error);
    return result;
}

}  // namespace

RenderResult renderWavFile(const MessageLog& messages, const std::string& soundFont, const std::string& outPath)
{
    const std::int64_t lastMs = messages.empty() ? 0 : std::max<std::int64_t>(messages.back().timeMs, 0);
    const std::int64_t longestFrames = frameAt(lastMs + kLongestReleaseTailMs);
    if (longestFrames * kBytesPerFrame > kMaxDataBytes) return failure("the song is too long for a WAV file");

    FluidSettingsPtr settings = makeSynthSettings(SampleLoading::onDemand);
    if (!settings) return failure("the synthesizer cannot be set up");
    const LoadedSynth loaded = makeSynthWithSoundFont(settings.get(), soundFont);
    fluid_synth_t* synth = loaded.synth.get();
    if (!synth) return failure("cannot load the SoundFont " + soundFont);
    pinSelectedInstruments(synth, loaded.soundFontId, messages);

    FileReplacement file(outPath);
    // The sizes are known once the release has died away; the header is written again then.
    file.write(bytesOf(wavHeader(0).data(), kWavHeaderBytes));

    FrameWriter writer(synth, file);
    for (const TimedMessage& message : messages) {
        if (file.failed()) break;
        writer.renderTo(frameAt(std::max<std::int64_t>(message.timeMs, 0)));
        playShortMessage(synth, message.packed);
    }
    if (writer.renderTo(frameAt(lastMs)) && writer.renderRelease(longestFrames)) {
        const auto header = wavHeader(static_cast<std::uint32_t>(writer.written() * kBytesPerFrame));
        file.writeAt(0, bytesOf(header.data(), kWavHeaderBytes));
    }
    if (!file.commit()) return failure("cannot write '" + outPath + "': " + file.error());

    RenderResult result;
    result.ok = true;
    result.frames = writer.written();
    return result;
}

}  // namespace nimbel
