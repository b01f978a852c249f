// The settings file: where "SelColor" is found, how its value reads, and
// that writing it keeps the other lines.
#include "support/files.h"

#include "settings_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace nimbel {
namespace {

TEST(SettingsFile, ReadsTheKeyBeforeTheFirstGroupIgnoringCaseWithCDecimalValues)
{
    const std::vector<std::pair<std::string, std::uint32_t>> cases = {
        {"", 0x0F22F0u},
        {"Other = 4\r\n; note\r\n", kDefaultSelectionColor},
        {"[Window]\r\nSelColor = 255\r\n", kDefaultSelectionColor},
        {"Width = 3\r\nSelColor = 255\r\n[Window]\r\nSelColor = 7\r\n", 255u},
        {"selcolor = 255", 255u},
        {"SELCOLOR=  42xyz\n", 42u},
        {"SelColor = red\r\n", 0u},  // not a number: black
        {"SelColor = $FF\r\n", 0u},  // decimal digits only
        {"SelColor = -1\r\n", 0xFFFFFFFFu},
        {"SelColor = 99999999999999\r\n", 0x7FFFFFFFu},
        {"SelColor = 1\rOther = 2\r", 1u},
    };
    for (const auto& [text, colour] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(selectionColorFromSettings(text), colour);
    }
}

TEST(SettingsFile, WritingReplacesOrAddsTheKeyBeforeTheFirstGroupAndKeepsEveryOtherLine)
{
    const std::string before =
        "; my settings\r\nWidth=3\r\nSelColor = 255\r\n[Window]\r\nSelColor = 7\r\nstray line\r\n";
    EXPECT_EQ(settingsWithSelectionColor(before, 991984),
              "; my settings\r\nWidth = 3\r\nSelColor = 991984\r\n[Window]\r\nSelColor = 7\r\nstray line\r\n");
    EXPECT_EQ(settingsWithSelectionColor("", 991984), "SelColor = 991984\r\n");
    EXPECT_EQ(settingsWithSelectionColor(";c\n[G]\nA = 1\n", 255), "; c\r\nSelColor = 255\r\n[G]\r\nA = 1\r\n");
    EXPECT_EQ(selectionColorFromSettings(settingsWithSelectionColor("[G]\r\n", 0xFFFFFFFFu)), 0xFFFFFFFFu);
}

TEST(SettingsFile, ReadingNeverCreatesTheFileAndWritingCreatesIt)
{
    const testing_support::ScratchFolder scratch;
    const std::string path = scratch.file("NimbelMIDI.ini");
    EXPECT_EQ(loadSettings(path), kDefaultSelectionColor);
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(saveSelectionColor(path, 255));
    EXPECT_EQ(loadSettings(path), 255u);
    EXPECT_EQ(testing_support::fileText(path), "SelColor = 255\r\n");
}

}  // namespace
}  // namespace nimbel
