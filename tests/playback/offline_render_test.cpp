// Rendering exported messages to a WAV file: the file's format, the note's
// place and pitch, the quiet after the release, and the refusals.
#include "audio_analysis.h"
#include "event_export.h"
#include "external_tools.h"
#include "offline_render.h"
#include "playback_rig.h"
#include "sound_fonts.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

constexpr double kMiddleC = 261.63;
constexpr int kDither = 2;  // the synthesizer's dither moves silence by a step or two

std::size_t frameOfMs(std::int64_t ms) { return static_cast<std::size_t>(ms * 441 / 10); }

class OfflineRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto found = findSoundFont(defaultSoundFontPaths());
        if (!found) GTEST_SKIP() << "no General MIDI SoundFont (packages fluid-soundfont-gm, timgm6mb-soundfont)";
        soundFont = *found;
    }

    testing::TemporaryFolder folder;
    std::string soundFont;
};

TEST_F(OfflineRender, AQuarterNoteOnAnOcarinaSoundsAtItsTimeAtMiddleCAndEndsQuiet)
{
    // Column 1 is empty, so the note starts half a second in.
    Song song;
    testing::writeSong(song, 2, {{1, 2, "C5Q,80"}});
    PlainPositionDisplay position;
    position.setMaximum(2);
    const MessageLog messages = playSongToEvents(song, position);
    ASSERT_EQ(formatEventLine(messages.at(16)), "500 91 3C 46");

    const std::string path = folder.file("note.wav");
    const RenderResult result = renderWavFile(messages, soundFont, path);
    ASSERT_TRUE(result.ok) << result.error;

    const auto audio = testing::readWav(path);
    ASSERT_TRUE(audio.has_value());
    EXPECT_EQ(audio->rate, 44100);
    EXPECT_EQ(audio->channels, 2);
    EXPECT_EQ(static_cast<std::int64_t>(audio->frames()), result.frames);
    EXPECT_GT(audio->frames(), frameOfMs(1000));
    EXPECT_LE(audio->frames(), frameOfMs(1000 + kLongestReleaseTailMs));

    EXPECT_LE(testing::peak(*audio, 0, frameOfMs(500)), kDither);
    const auto onset = testing::onsetFrame(*audio, 100);
    ASSERT_TRUE(onset.has_value());
    EXPECT_GE(*onset, frameOfMs(500));
    EXPECT_LE(*onset, frameOfMs(500) + 64 + frameOfMs(10));  // a block, and the voice's attack
    EXPECT_GT(testing::peak(*audio, frameOfMs(550), frameOfMs(950)), 1000);

    const double pitch =
        testing::strongestFrequency(audio->firstChannel(frameOfMs(550), frameOfMs(900)), 44100, 50, 2000);
    EXPECT_NEAR(pitch, kMiddleC, kMiddleC * 0.03);

    EXPECT_LE(testing::peak(*audio, audio->frames() - frameOfMs(50), audio->frames()), kDither);
}

TEST_F(OfflineRender, EachNoteStartsAtItsOwnTimeToWithinABlock)
{
    MessageLog messages = {{0, 0x004FC1}};
    for (const std::int64_t ms : {37, 401, 1003}) {
        messages.push_back({ms, 0x7F3C91});
        messages.push_back({ms + 150, 0x003C91});
    }
    const std::string path = folder.file("notes.wav");
    ASSERT_TRUE(renderWavFile(messages, soundFont, path).ok);
    const auto audio = testing::readWav(path);
    ASSERT_TRUE(audio.has_value());
    std::size_t from = 0;
    for (const std::int64_t ms : {37, 401, 1003}) {
        const auto onset = testing::onsetFrame(*audio, 100, from);
        ASSERT_TRUE(onset.has_value()) << ms;
        EXPECT_GE(*onset, frameOfMs(ms)) << ms;
        EXPECT_LE(*onset, frameOfMs(ms) + 64 + frameOfMs(10)) << ms;
        from = frameOfMs(ms + 300);  // past this note's release
    }
}

TEST_F(OfflineRender, RefusesWhatCannotBeRendered)
{
    const MessageLog note = {{0, 0x463C91}, {500, 0x003C91}};
    const RenderResult noSoundFont = renderWavFile(note, folder.file("missing.sf2"), folder.file("a.wav"));
    EXPECT_FALSE(noSoundFont.ok);
    EXPECT_NE(noSoundFont.error.find("SoundFont"), std::string::npos);

    const RenderResult noFolder = renderWavFile(note, soundFont, folder.file("no/such/folder/a.wav"));
    EXPECT_FALSE(noFolder.ok);
    EXPECT_NE(noFolder.error.find("cannot write"), std::string::npos);

    // Over 4 GiB of samples: about seven hours.
    const RenderResult tooLong =
        renderWavFile({{0, 0x463C91}, {7LL * 3600 * 1000, 0x003C91}}, soundFont, folder.file("b.wav"));
    EXPECT_FALSE(tooLong.ok);
    EXPECT_NE(tooLong.error.find("too long"), std::string::npos);
}

TEST_F(OfflineRender, NoMessagesGiveAFileOfSilence)
{
    const std::string path = folder.file("empty.wav");
    const RenderResult result = renderWavFile({}, soundFont, path);
    ASSERT_TRUE(result.ok);
    const auto audio = testing::readWav(path);
    ASSERT_TRUE(audio.has_value());
    EXPECT_EQ(audio->frames(), 0u);
}

}  // namespace
}  // namespace nimbel
