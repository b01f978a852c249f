// Splitting a song's channels among synthesizers that render side by side,
// one thread each, for an offline render on every core. A channel's sound
// depends only on its own messages (reverb and chorus are off), so the
// groups' audio added up is the song's. The split depends on the messages
// and the number of groups alone, so a song renders alike every time.
#pragma once

#include "recording_midi.h"

#include <array>
#include <span>

namespace nimbel {

inline constexpr int kMidiChannels = 16;
// Channels that start no note make no sound: they belong to no group.
inline constexpr int kNoGroup = -1;
// The group of each MIDI channel (0 … 15), or kNoGroup.
using ChannelGroups = std::array<int, kMidiChannels>;

// How many groups to render `messages` in on a machine with `processors`
// hardware threads: one per processor, at most four (each group reads the
// SoundFont's instrument list once), and no more than the channels that
// start notes; at least one.
int renderGroupCount(std::span<const TimedMessage> messages, unsigned processors);

// Spreads the channels that start notes over `groups` groups so that each
// starts about as many notes: the busiest channel first, each to the group
// with the fewest notes so far (the lower group on a tie).
ChannelGroups splitChannels(std::span<const TimedMessage> messages, int groups);

}  // namespace nimbel
