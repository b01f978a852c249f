#include "offline_render.h"

#include "audio_file.h"
#include "channel_groups.h"
#include "group_renderer.h"
#include "short_message.h"
#include "synth_setup.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace nimbel {

namespace {

constexpr int kChannels = 2;

std::int64_t frameAt(std::int64_t ms) { return (ms * kSynthSampleRate + 500) / 1000; }

std::int64_t lastMessageMs(std::span<const TimedMessage> messages)
{
    return messages.empty() ? 0 : std::max<std::int64_t>(messages.back().timeMs, 0);
}

// Turns the groups' mixed float samples into 16-bit ones with triangular
// dither of one step, as the synthesizer's own 16-bit output has. The noise
// comes from a generator with a fixed start, so a song renders to the same
// bytes every time.
class SampleConverter {
public:
    void convert(std::span<const float> mixed, std::vector<std::int16_t>& out)
    {
        out.resize(mixed.size());
        for (std::size_t i = 0; i < mixed.size(); ++i) {
            const float dither = noise() - noise();
            const float scaled = std::nearbyint(mixed[i] * 32767.0f + dither);
            out[i] = static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
        }
    }

private:
    // Uniform in [0, 1): xorshift32.
    float noise()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_ >> 8) / 16777216.0f;
    }

    std::uint32_t state_ = 2463534242u;
};

std::vector<std::unique_ptr<GroupRenderer>> startGroups(std::span<const TimedMessage> messages,
                                                        const std::string& soundFont, int groupCount)
{
    const ChannelGroups split = splitChannels(messages, groupCount);
    std::vector<std::vector<TimedMessage>> groupMessages(static_cast<std::size_t>(groupCount));
    for (const TimedMessage& message : messages) {
        const int group = split[shortMessageBytes(message.packed)[0] & 0x0F];
        if (group != kNoGroup) groupMessages[static_cast<std::size_t>(group)].push_back(message);
    }
    const std::int64_t lastMs = lastMessageMs(messages);
    std::vector<std::unique_ptr<GroupRenderer>> groups;
    for (auto& own : groupMessages)
        groups.push_back(std::make_unique<GroupRenderer>(soundFont, std::move(own), frameAt(lastMs),
                                                         frameAt(lastMs + kLongestReleaseTailMs)));
    return groups;
}

}  // namespace

int defaultRenderGroups(std::span<const TimedMessage> messages)
{
    return renderGroupCount(messages, std::thread::hardware_concurrency());
}

RenderResult renderMessages(std::span<const TimedMessage> messages, const std::string& soundFont, AudioSink& sink,
                            int groupCount)
{
    const auto groups = startGroups(messages, soundFont, std::max(groupCount, 1));
    for (const auto& group : groups)
        if (!group->ready()) return renderFailure("cannot load the SoundFont " + soundFont);

    // Chunk n of every group covers the same frames; a group whose release
    // ended sooner adds silence. The groups are added in their order, so
    // the sum is the same every time.
    std::vector<float> mixed;
    std::vector<std::int16_t> samples;
    SampleConverter converter;
    std::int64_t written = 0;
    for (;;) {
        mixed.clear();
        for (const auto& group : groups) {
            std::vector<float> chunk = group->take();
            if (chunk.size() > mixed.size()) mixed.resize(chunk.size(), 0.0f);
            for (std::size_t i = 0; i < chunk.size(); ++i) mixed[i] += chunk[i];
            group->giveBack(std::move(chunk));
        }
        if (mixed.empty()) break;
        converter.convert(mixed, samples);
        if (!sink.write(samples)) return renderFailure(sink.error());
        written += static_cast<std::int64_t>(mixed.size()) / kChannels;
    }
    return {.ok = true, .error = {}, .frames = written};
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
    RenderResult result = renderMessages(messages, soundFont, file, defaultRenderGroups(messages));
    if (result.ok && !file.finish()) return renderFailure(file.error());
    return result;
}

}  // namespace nimbel
