// Rendering exported messages with the built-in synthesizer, without a
// sound server and faster than real time, on every core: 16-bit stereo at
// 44.1 kHz, each message taking effect at its own time to within the
// synthesizer's 64-frame block (1.45 ms), followed by a release tail that
// lasts until every voice has died away. The audio goes to a sink; an audio
// file is one.
#pragma once

#include "recording_midi.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>

namespace nimbel {

// The release tail never lasts longer than this after the last message.
inline constexpr std::int64_t kLongestReleaseTailMs = 5000;

// Where rendered audio goes: interleaved stereo samples, in order.
class AudioSink {
public:
    virtual ~AudioSink() = default;
    // False once the samples cannot be kept; rendering stops then.
    virtual bool write(std::span<const std::int16_t> samples) = 0;
    // Why the last write failed.
    virtual std::string error() const = 0;
};

struct RenderResult {
    bool ok = false;
    std::string error;        // why not, when !ok
    std::int64_t frames = 0;  // stereo frames written
};
// A result that did not render, and why.
inline RenderResult renderFailure(std::string error) { return {.error = std::move(error)}; }

// How many synthesizers render `messages` side by side on this machine (channel_groups.h).
int defaultRenderGroups(std::span<const TimedMessage> messages);

// `messages` are in time order, times in milliseconds from 0. The channels
// are rendered in `groupCount` groups, each by a synthesizer on a thread of
// its own, and added up in a fixed order: the same messages in the same
// number of groups give the same samples every time.
RenderResult renderMessages(std::span<const TimedMessage> messages, const std::string& soundFont, AudioSink& sink,
                            int groupCount);

// renderMessages into an audio file at `outPath`, in the format its
// extension names (audio_file.h).
RenderResult renderAudioFile(std::span<const TimedMessage> messages, const std::string& soundFont,
                             const std::string& outPath);

}  // namespace nimbel
