// The demonstration song file: its exact bytes, and that an existing file
// is never touched.
#include "../support/scratch_files.h"

#include "demo_song.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing_support::fileText;
using testing_support::ScratchFolder;

TEST(DemoSong, WrittenWhenMissingWithCrLfAndNoFinalLineBreak)
{
    const ScratchFolder scratch("nimbel-demo");
    ensureDemoSong(scratch.directory());
    const std::string text = fileText(scratch.path / "MIDI.txt");
    EXPECT_EQ(text, demoSongText());
    EXPECT_EQ(text.rfind("Start\r\n; Twinkle, Twinkle Little Star\r\nt120 c8q,10 c g g\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\nd d ch|r c,10,74,1 e g\r\nEnd\r\n; "), std::string::npos);
    EXPECT_NE(text.back(), '\n');
    // Every line break is CR LF, and the three lines after End are comments.
    size_t lines = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1), ++lines)
        EXPECT_EQ(text[at - 1], '\r');
    EXPECT_EQ(lines, 12u);
    std::istringstream tail(text.substr(text.find("End\r\n") + 5));
    for (std::string line; std::getline(tail, line);) EXPECT_EQ(line.rfind("; ", 0), 0u) << line;
}

TEST(DemoSong, ExistingFileOrFolderAndUnwritableFolderAreLeftAlone)
{
    const ScratchFolder scratch("nimbel-demo");
    const auto song = scratch.path / "MIDI.txt";
    std::ofstream(song, std::ios::binary) << "START\r\nT90\r\nEND\r\n";
    ensureDemoSong(scratch.directory());
    EXPECT_EQ(fileText(song), "START\r\nT90\r\nEND\r\n");

    std::filesystem::remove(song);
    std::filesystem::create_directory(song);
    ensureDemoSong(scratch.directory());
    EXPECT_TRUE(std::filesystem::is_directory(song));

    ensureDemoSong(scratch.directory() + "no-such-folder/");
    EXPECT_FALSE(std::filesystem::exists(scratch.path / "no-such-folder"));
}

}  // namespace
}  // namespace nimbel
