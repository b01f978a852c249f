#include "channel_groups.h"

#include "short_message.h"

#include <algorithm>
#include <numeric>

namespace nimbel {

namespace {

constexpr int kMostGroups = 4;

// Note starts (note-on with a velocity) per MIDI channel.
std::array<std::int64_t, kMidiChannels> notesPerChannel(std::span<const TimedMessage> messages)
{
    std::array<std::int64_t, kMidiChannels> notes{};
    for (const TimedMessage& message : messages) {
        const auto bytes = shortMessageBytes(message.packed);
        if ((bytes[0] & 0xF0) == kNoteOnStatus && bytes[2] != 0) ++notes[bytes[0] & 0x0F];
    }
    return notes;
}

}  // namespace

int renderGroupCount(std::span<const TimedMessage> messages, unsigned processors)
{
    const auto notes = notesPerChannel(messages);
    const auto busy = static_cast<int>(std::count_if(notes.begin(), notes.end(), [](auto n) { return n > 0; }));
    return std::max(1, std::min({static_cast<int>(processors), kMostGroups, busy}));
}

ChannelGroups splitChannels(std::span<const TimedMessage> messages, int groups)
{
    const auto notes = notesPerChannel(messages);
    std::array<int, kMidiChannels> busiestFirst{};
    std::iota(busiestFirst.begin(), busiestFirst.end(), 0);
    std::stable_sort(busiestFirst.begin(), busiestFirst.end(), [&](int a, int b) {
        return notes[static_cast<std::size_t>(a)] > notes[static_cast<std::size_t>(b)];
    });
    ChannelGroups split;
    split.fill(kNoGroup);
    std::vector<std::int64_t> load(static_cast<std::size_t>(std::max(groups, 1)), 0);
    for (const int channel : busiestFirst) {
        const std::int64_t count = notes[static_cast<std::size_t>(channel)];
        if (count == 0) continue;
        const auto lightest = std::min_element(load.begin(), load.end());
        *lightest += count;
        split[static_cast<std::size_t>(channel)] = static_cast<int>(lightest - load.begin());
    }
    return split;
}

}  // namespace nimbel
