// Rendering exported messages to a WAV file with the built-in synthesizer,
// without a sound server and faster than real time: 16-bit stereo at
// 44.1 kHz, each message taking effect at its own time to within the
// synthesizer's 64-frame block (1.45 ms), followed by a release tail that
// lasts until every voice has died away.
#pragma once

#include "recording_midi.h"

#include <cstdint>
#include <string>

namespace nimbel {

// The release tail never lasts longer than this after the last message.
inline constexpr std::int64_t kLongestReleaseTailMs = 5000;

struct RenderResult {
    bool ok = false;
    std::string error;        // why not, when !ok
    std::int64_t frames = 0;  // stereo frames written
};

// `messages` are in time order, times in milliseconds from 0.
RenderResult renderWavFile(const MessageLog& messages, const std::string& soundFont, const std::string& outPath);

}  // namespace nimbel
