#include "play_voices.h"

#include <algorithm>
#include <array>
#include <bitset>

namespace nimbel {

namespace {

constexpr std::int64_t kVoices = 128;

}  // namespace

std::vector<ChannelVoice> voicesToPrepare(const Song& song)
{
    std::array<std::bitset<kVoices>, kChannelCount + 1> listed{};
    std::vector<ChannelVoice> voices;
    const auto add = [&](int channel, std::int64_t voice) {
        const std::int64_t sent = std::clamp<std::int64_t>(voice, 1, kVoices);
        auto& seen = listed[static_cast<std::size_t>(channel)];
        if (seen[static_cast<std::size_t>(sent - 1)]) return;
        seen[static_cast<std::size_t>(sent - 1)] = true;
        voices.push_back({channel, sent});
    };
    std::bitset<kChannelCount + 1> played;
    for (const NoteRecord& record : song.noteList)
        if (isSongChannel(record.channel)) played[static_cast<std::size_t>(record.channel)] = true;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        if (!played[static_cast<std::size_t>(channel)]) continue;
        const std::int32_t holds = song.channels[static_cast<std::size_t>(channel)].voice;
        add(channel, holds == 0 ? kDefaultVoice : holds);
    }
    for (const NoteRecord& record : song.noteList)
        if (isSongChannel(record.channel) && record.voice != 0) add(record.channel, record.voice);
    return voices;
}

}  // namespace nimbel
