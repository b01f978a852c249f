// Offline rendering on every core: the groups' audio added up is the song's,
// the same samples every time. (How the channels are balanced among the
// groups changes only the time taken, which the benchmark shows.)
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
    EXPECT_EQ(renderGroupCount(song, 0), 1) << "a system that does not say how many processors it has";
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
