// The settings file: where "SelColor" is found, how its value reads, and
// that writing it keeps the other lines.
#include "settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace nimbel {
namespace {

TEST(SettingsFile, DefaultWhenTheKeyIsMissing)
{
    EXPECT_EQ(selectionColorFromSettings(""), kDefaultSelectionColor);
    EXPECT_EQ(selectionColorFromSettings("Other = 4\r\n; note\r\n"), kDefaultSelectionColor);
    EXPECT_EQ(kDefaultSelectionColor, 0x0F22F0u);
}

TEST(SettingsFile, KeyIsFoundOnlyBeforeTheFirstGroup)
{
    EXPECT_EQ(selectionColorFromSettings("[Window]\r\nSelColor = 255\r\n"), kDefaultSelectionColor);
    EXPECT_EQ(selectionColorFromSettings("Width = 3\r\nSelColor = 255\r\n[Window]\r\nSelColor = 7\r\n"), 255u);
}

TEST(SettingsFile, KeyIgnoresCaseAndValueReadsLikeCDecimal)
{
    EXPECT_EQ(selectionColorFromSettings("selcolor = 255"), 255u);
    EXPECT_EQ(selectionColorFromSettings("SELCOLOR=  42xyz\n"), 42u);
    EXPECT_EQ(selectionColorFromSettings("SelColor = red\r\n"), 0u);  // not a number: black
    EXPECT_EQ(selectionColorFromSettings("SelColor = -1\r\n"), 0xFFFFFFFFu);
    EXPECT_EQ(selectionColorFromSettings("SelColor = 99999999999999\r\n"), 0x7FFFFFFFu);
    EXPECT_EQ(selectionColorFromSettings("SelColor = 1\rOther = 2\r"), 1u);
}

TEST(SettingsFile, WritingReplacesTheKeyAndKeepsEveryOtherLine)
{
    const std::string before = "; my settings\r\nWidth=3\r\nSelColor = 255\r\n[Window]\r\nSelColor = 7\r\nstray line\r\n";
    EXPECT_EQ(settingsWithSelectionColor(before, 991984),
              "; my settings\r\nWidth = 3\r\nSelColor = 991984\r\n[Window]\r\nSelColor = 7\r\nstray line\r\n");
}

TEST(SettingsFile, WritingAddsTheKeyBeforeTheFirstGroup)
{
    EXPECT_EQ(settingsWithSelectionColor("", 991984), "SelColor = 991984\r\n");
    EXPECT_EQ(settingsWithSelectionColor(";c\n[G]\nA = 1\n", 255), "; c\r\nSelColor = 255\r\n[G]\r\nA = 1\r\n");
    EXPECT_EQ(selectionColorFromSettings(settingsWithSelectionColor("[G]\r\n", 0xFFFFFFFFu)), 0xFFFFFFFFu);
}

TEST(SettingsFile, FileRoundTripAndMissingFile)
{
    const auto folder = std::filesystem::temp_directory_path() / ("nimbel-settings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "NimbelMIDI.ini").string();

    EXPECT_EQ(loadSettings(path), kDefaultSelectionColor);
    EXPECT_FALSE(std::filesystem::exists(path));  // reading never creates the file

    ASSERT_TRUE(saveSelectionColor(path, 255));
    EXPECT_EQ(loadSettings(path), 255u);
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "SelColor = 255\r\n");

    EXPECT_FALSE(saveSelectionColor((folder / "missing" / "x.ini").string(), 1));
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace nimbel
