// The demonstration song file: its exact bytes, and that an existing file
// is never touched.
#include "demo_song.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace nimbel {
namespace {

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DemoSongFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("nimbel-demo-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string directory() const { return folder.string() + "/"; }
    std::filesystem::path folder;
};

TEST_F(DemoSongFolder, WrittenWhenMissingWithCrLfAndNoFinalLineBreak)
{
    ensureDemoSong(directory());
    const std::string text = fileText(folder / "MIDI.txt");
    EXPECT_EQ(text, demoSongText());
    EXPECT_EQ(text.rfind("Start\r\n; Twinkle, Twinkle Little Star\r\nt120 c8q,10 c g g\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\nd d ch|r c,10,74,1 e g\r\nEnd\r\n; "), std::string::npos);
    EXPECT_NE(text.back(), '\n');
    // Every line break is CR LF, and the three lines after End are comments.
    size_t lines = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1), ++lines)
        EXPECT_EQ(text[at - 1], '\r');
    EXPECT_EQ(lines, 12u);
    const size_t end = text.find("End\r\n");
    std::istringstream tail(text.substr(end + 5));
    for (std::string line; std::getline(tail, line);) EXPECT_EQ(line.rfind("; ", 0), 0u) << line;
}

TEST_F(DemoSongFolder, ExistingFileOrFolderIsLeftAlone)
{
    { std::ofstream(folder / "MIDI.txt", std::ios::binary) << "START\r\nT90\r\nEND\r\n"; }
    ensureDemoSong(directory());
    EXPECT_EQ(fileText(folder / "MIDI.txt"), "START\r\nT90\r\nEND\r\n");

    std::filesystem::remove(folder / "MIDI.txt");
    std::filesystem::create_directory(folder / "MIDI.txt");
    ensureDemoSong(directory());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "MIDI.txt"));
}

TEST_F(DemoSongFolder, UnwritableFolderIsSilent)
{
    ensureDemoSong(directory() + "no-such-folder/");
    EXPECT_FALSE(std::filesystem::exists(folder / "no-such-folder"));
}

}  // namespace
}  // namespace nimbel
