#include "offline_render.h"

#include "audio_file.h"
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
constexpr std::int64_t kChunkFrames = 4096;
constexpr std::int64_t kTailStepFrames = 441;  // 10 ms

std::int64_t frameAt(std::int64_t ms) { return (ms * kSynthSampleRate + 500) / 1000; }

// Renders frames into the sink up to a frame count, in chunks.
class FrameWriter {
public:
    FrameWriter(fluid_synth_t* synth, AudioSink& sink) : synth_(synth), sink_(sink), buffer_(kChunkFrames * kChannels)
    {}

    bool renderTo(std::int64_t frame)
    {
        while (written_ < frame) {
            const int count = static_cast<int>(std::min(kChunkFrames, frame - written_));
            fluid_synth_write_s16(synth_, count, buffer_.data(), 0, kChannels, buffer_.data(), 1, kChannels);
            if (!sink_.write(std::span(buffer_).first(static_cast<std::size_t>(count) * kChannels))) return false;
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
    AudioSink& sink_;
    std::vector<std::int16_t> buffer_;
    std::int64_t written_ = 0;
};

// The synthesizer reads an instrument's samples when a program change first
// selects it and drops them when no channel uses it any more; a song whose
// channels change voices often would read them again and again. Every
// instrument the messages select is therefore read once, before rendering.
void pinSelectedInstruments(fluid_synth_t* synth, int soundFontId, std::span<const TimedMessage> messages)
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

std::int64_t lastMessageMs(std::span<const TimedMessage> messages)
{
    return messages.empty() ? 0 : std::max<std::int64_t>(messages.back().timeMs, 0);
}

}  // namespace

RenderResult renderMessages(std::span<const TimedMessage> messages, const std::string& soundFont, AudioSink& sink)
{
    FluidSettingsPtr settings = makeSynthSettings(SampleLoading::onDemand);
    if (!settings) return renderFailure("the synthesizer cannot be set up");
    const LoadedSynth loaded = makeSynthWithSoundFont(settings.get(), soundFont);
    fluid_synth_t* synth = loaded.synth.get();
    if (!synth) return renderFailure("cannot load the SoundFont " + soundFont);
    pinSelectedInstruments(synth, loaded.soundFontId, messages);

    FrameWriter writer(synth, sink);
    const std::int64_t lastMs = lastMessageMs(messages);
    for (const TimedMessage& message : messages) {
        if (!writer.renderTo(frameAt(std::max<std::int64_t>(message.timeMs, 0)))) return renderFailure(sink.error());
        playShortMessage(synth, message.packed);
    }
    if (!writer.renderTo(frameAt(lastMs)) || !writer.renderRelease(frameAt(lastMs + kLongestReleaseTailMs)))
        return renderFailure(sink.error());

    return {.ok = true, .error = {}, .frames = writer.written()};
}

RenderResult renderAudioFile(std::span<const TimedMessage> messages, const std::string& soundFont,
                             const std::string& outPath)
{
    const std::optional<AudioFormat> format = audioFormatOfPath(outPath);
    if (!format) return renderFailure("'" + outPath + "' names no audio file format");
    if (!canWriteAudioFormat(*format))
        return renderFailure("this system's libsndfile cannot write " + std::string(audioFormatExtension(*format)) +
                             " files");
    if (frameAt(lastMessageMs(messages) + kLongestReleaseTailMs) > maxAudioFrames(*format))
        return renderFailure("the song is too long for a " + std::string(audioFormatExtension(*format)) + " file");
    AudioFileWriter file(outPath, *format);
    RenderResult result = renderMessages(messages, soundFont, file);
    if (result.ok && !file.finish()) return renderFailure(file.error());
    return result;
}

}  // namespace nimbel
