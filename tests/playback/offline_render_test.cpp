// Rendering exported messages to a WAV file: what cannot be rendered is
// refused with its reason. What the rendered audio holds is checked end to
// end through the export tool, by sox.
#include "support/files.h"

#include "offline_render.h"
#include "sound_fonts.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

TEST(OfflineRender, RefusesWhatCannotBeRenderedAndWritesNothing)
{
    const auto soundFont = findSoundFont(defaultSoundFontPaths());
    if (!soundFont) GTEST_SKIP() << "no General MIDI SoundFont (packages fluid-soundfont-gm, timgm6mb-soundfont)";
    const testing_support::ScratchFolder folder;
    const MessageLog note = {{0, 0x463C91}, {500, 0x003C91}};
    // Over 4 GiB of samples: about seven hours.
    const MessageLog sevenHours = {{0, 0x463C91}, {7LL * 3600 * 1000, 0x003C91}};
    const std::vector<std::tuple<MessageLog, std::string, std::string>> cases = {
        {note, folder.file("missing.sf2"), "cannot load the SoundFont"},
        {sevenHours, *soundFont, "the song is too long for a WAV file"},
    };
    for (const auto& [messages, font, error] : cases) {
        const RenderResult result = renderWavFile(messages, font, folder.file("song.wav"));
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error.rfind(error, 0), 0u) << result.error;
        EXPECT_TRUE(testing_support::fileNames(folder.path).empty());
    }
}

}  // namespace
}  // namespace nimbel
