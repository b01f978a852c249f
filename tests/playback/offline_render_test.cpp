// Offline rendering on every core: how a song's channels are split among
// synthesizers, and that the groups' audio added up is the song's, the same
// samples every time.
#include "channel_groups.h"
#include "offline_render.h"
#include "short_message.h"
#include "sound_fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace nimbel {
namespace {

// `count` note starts on each listed MIDI channel, all at time 0.
MessageLog notesOn(std::initializer_list<std::pair<int, int>> channelCounts)
{
    MessageLog log;
    for (const auto& [channel, count] : channelCounts)
        for (int i = 0; i < count; ++i) log.push_back({0, packShortMessage(kNoteOnStatus, channel, 60, 70)});
    return log;
}

TEST(ChannelGroups, BusiestChannelFirstToTheGroupWithFewestNotes)
{
    struct Case {
        const char* what;
        MessageLog messages;
        int groups;
        std::vector<std::pair<int, int>> expected;  // channel, group
    };
    MessageLog silent = notesOn({{1, 3}});
    silent.push_back({0, packShortMessage(kProgramChangeStatus, 2, 40, 0)});  // starts no note
    silent.push_back({0, packShortMessage(kNoteOnStatus, 3, 60, 0)});         // a note-off only
    const std::vector<Case> cases = {
        {"two channels, two groups", notesOn({{1, 5}, {2, 3}}), 2, {{1, 0}, {2, 1}}},
        {"the busiest alone against the rest",
         notesOn({{1, 10}, {2, 4}, {3, 3}, {4, 2}}),
         2,
         {{1, 0}, {2, 1}, {3, 1}, {4, 1}}},
        {"a tie goes to the lower channel and the lower group",
         notesOn({{5, 2}, {4, 2}, {6, 2}}),
         2,
         {{4, 0}, {5, 1}, {6, 0}}},
        {"one group takes them all", notesOn({{1, 1}, {15, 9}}), 1, {{1, 0}, {15, 0}}},
        {"channels that start no note belong to none", silent, 2, {{1, 0}, {2, kNoGroup}, {3, kNoGroup}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ChannelGroups split = splitChannels(c.messages, c.groups);
        for (const auto& [channel, group] : c.expected) EXPECT_EQ(split[static_cast<std::size_t>(channel)], group);
    }
}

TEST(ChannelGroups, OneGroupPerProcessorUpToFourAndNoMoreThanBusyChannels)
{
    const MessageLog six = notesOn({{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}});
    const MessageLog two = notesOn({{1, 1}, {9, 1}});
    struct Case {
        const MessageLog* messages;
        unsigned processors;
        int expected;
    };
    for (const Case c : {Case{&six, 2, 2}, {&six, 16, 4}, {&six, 1, 1}, {&six, 0, 1}, {&two, 8, 2}}) {
        EXPECT_EQ(renderGroupCount(*c.messages, c.processors), c.expected) << c.processors << " processors";
    }
    EXPECT_EQ(renderGroupCount({}, 2), 1);
}

class MemorySink final : public AudioSink {
public:
    bool write(std::span<const std::int16_t> samples) override
    {
        kept.insert(kept.end(), samples.begin(), samples.end());
        return true;
    }
    std::string error() const override { return {}; }
    std::vector<std::int16_t> kept;
};

// Five channels of notes with voice changes, the percussion channel among
// them, over about three seconds: several chunks of every group.
MessageLog smallBand()
{
    MessageLog song;
    for (int beat = 0; beat < 12; ++beat) {
        const std::int64_t ms = beat * 250;
        const auto note = [beat](int channel) { return 48 + (beat * 5 + channel * 7) % 36; };
        for (const int channel : {1, 2, 3, 9, 12}) {
            if (beat % 4 == 0)
                song.push_back({ms, packShortMessage(kProgramChangeStatus, channel, (beat * 13 + channel) % 128, 0)});
            song.push_back({ms, packShortMessage(kNoteOnStatus, channel, note(channel), 60 + channel)});
        }
        for (const int channel : {1, 2, 3, 9, 12})
            song.push_back({ms + 200, packShortMessage(kNoteOnStatus, channel, note(channel), 0)});
    }
    return song;
}

std::vector<std::int16_t> render(const MessageLog& song, const std::string& soundFont, int groups)
{
    MemorySink sink;
    const RenderResult result = renderMessages(song, soundFont, sink, groups);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(sink.kept.size(), static_cast<std::size_t>(result.frames) * 2);
    return sink.kept;
}

TEST(OfflineRender, GroupsAddUpToTheWholeSongAndRenderAlikeEveryTime)
{
    const auto soundFont = findSoundFont({"/usr/share/sounds/sf2/TimGM6mb.sf2"});
    if (!soundFont) GTEST_SKIP() << "needs the small SoundFont (package timgm6mb-soundfont)";
    const MessageLog song = smallBand();
    const std::vector<std::int16_t> whole = render(song, *soundFont, 1);
    // The release is rendered in 10 ms steps after the last message (at 2.95 s)
    // until no voice sounds: the song ends quiet, but for the dither.
    constexpr std::size_t kLastFrame = 130095, kStep = 441;
    ASSERT_GT(whole.size(), kLastFrame * 2);
    EXPECT_EQ((whole.size() / 2 - kLastFrame) % kStep, 0u);
    EXPECT_LE(*std::max_element(whole.end() - kStep * 2, whole.end()), 2);
    for (const int groups : {2, 3}) {
        SCOPED_TRACE(std::to_string(groups) + " groups");
        const std::vector<std::int16_t> split = render(song, *soundFont, groups);
        EXPECT_EQ(split, render(song, *soundFont, groups)) << "a second render differs";
        ASSERT_EQ(split.size(), whole.size()) << "the release ends elsewhere";
        // The synthesizer's channels are independent but for the rounding of
        // the sum and a few samples at some note starts: the difference is
        // more than 40 dB below the music.
        double music = 0, difference = 0;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            music += static_cast<double>(whole[i]) * whole[i];
            difference += static_cast<double>(split[i] - whole[i]) * (split[i] - whole[i]);
        }
        EXPECT_LT(difference, music * 1e-4);
    }
}

}  // namespace
}  // namespace nimbel
