// Writing project files: the exact lines, the date, replacing a file only
// when the new one is complete, and reading files that cannot be read.
#include "song_file_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace nimbel {
namespace {

using testing::LoadedSong;
namespace fs = std::filesystem;

TEST(SongFileWriting, DemonstrationSongSavesAsTheGoldenFile)
{
    LoadedSong loaded(testing::dataFile("demo_song.txt"));
    EXPECT_EQ(songFileText(loaded.song, "2001/02/03"), testing::dataFile("demo_song_saved.nmd"));
}

TEST(SongFileWriting, HeaderTempoAndPlacedNotes)
{
    Song song;
    PlainPositionDisplay position;
    newSong(song, position);
    EXPECT_EQ(songFileText(song, "2024/05/06"),
              ";Nimbel MIDI Format\r\n;Created 2024/05/06\r\nSTART\r\nT120\r\nEND\r\n");

    song.grid.setCellText(0, kChannelColumn, "1 T90");
    song.grid.setCellText(9, gridColumnOf(3), "5C");
    song.grid.setCellText(9, gridColumnOf(4), ";5C");
    song.grid.setCellText(0, gridColumnOf(1), "  D  ");
    song.grid.setCellText(14, findEndColumn(song.grid), "C");
    song.grid.setCellText(14, findEndColumn(song.grid) + 1, "E");  // right of End: not part of the song
    EXPECT_EQ(songFileText(song, "2024/05/06"),
              ";Nimbel MIDI Format\r\n;Created "
              "2024/05/06\r\nSTART\r\nT90\r\nN1X1D\r\nN10X3;5C\r\nN10X4;;5C\r\nN15X21C\r\nEND\r\n");
    EXPECT_EQ(song.tempo, 90);
}

TEST(SongFileWriting, LocalDateIsYearMonthDay)
{
    const std::string date = localDateText();
    ASSERT_TRUE(date.size() == 10 && date.find_first_not_of("0123456789/") == std::string::npos) << date;
    int year = 0, month = 0, day = 0;
    ASSERT_EQ(std::sscanf(date.c_str(), "%4d/%2d/%2d", &year, &month, &day), 3) << date;
    EXPECT_TRUE(year >= 2024 && month >= 1 && month <= 12 && day >= 1 && day <= 31) << date;
}

class SongFileFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("nimbel-song-file-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string path(const std::string& name) const { return (folder / name).string(); }

    fs::path folder;
};

TEST_F(SongFileFolder, SaveWritesTheTextWithTodaysDateAndReplacesAnOldFile)
{
    LoadedSong loaded(testing::dataFile("demo_song.txt"));
    {
        std::ofstream(path("song.nmd"), std::ios::binary) << "an older, longer file than the song that replaces it\r\n";
    }

    const std::string before = localDateText();
    ASSERT_TRUE(saveSong(loaded.song, path("song.nmd")));
    const std::string after = localDateText();
    std::string written;
    ASSERT_TRUE(readSongFile(path("song.nmd"), written));
    const std::string golden = testing::dataFile("demo_song_saved.nmd");
    EXPECT_TRUE(written == testing::withDate(golden, before) || written == testing::withDate(golden, after));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 1);  // no temporary left
}

TEST_F(SongFileFolder, FailedSaveReportsItAndLeavesWhatWasThere)
{
    LoadedSong loaded(testing::dataFile("demo_song.txt"));
    fs::create_directory(folder / "a folder.nmd");
    EXPECT_FALSE(saveSong(loaded.song, path("a folder.nmd")));
    EXPECT_TRUE(fs::is_directory(folder / "a folder.nmd"));
    EXPECT_FALSE(saveSong(loaded.song, path("missing/song.nmd")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 1);
}

TEST_F(SongFileFolder, UnreadableFileLeavesTheSongAsItWas)
{
    fs::create_directory(folder / "a folder.nmd");
    for (const std::string& unreadable : {path("missing.nmd"), path("a folder.nmd")}) {
        LoadedSong loaded("START\nN2X3C\nEND");
        std::string contents = "untouched";
        EXPECT_FALSE(readSongFile(unreadable, contents));
        EXPECT_EQ(contents, "untouched");
        EXPECT_FALSE(loadSong(loaded.song, loaded.position, unreadable));
        EXPECT_EQ(loaded.song.noteList.size(), 2u);
        EXPECT_EQ(testing::noteColumnCount(loaded.song), 3);
        EXPECT_EQ(loaded.song.grid.cellText(1, gridColumnOf(3)), "C");
    }
}

TEST_F(SongFileFolder, SavedFileLoadsBackThroughTheFileFunctions)
{
    LoadedSong original("START\nT88 C,1,7 12E5 N15X40;9G\nEND");
    ASSERT_TRUE(saveSong(original.song, path("song.nmd")));
    LoadedSong reloaded("");
    ASSERT_TRUE(loadSong(reloaded.song, reloaded.position, path("song.nmd")));
    EXPECT_EQ(reloaded.song.tempo, 88);
    EXPECT_EQ(testing::noteColumnCount(reloaded.song), 40);
    for (int channel : {1, 2, 12, 15})
        EXPECT_EQ(testing::noteCells(reloaded.song, channel), testing::noteCells(original.song, channel)) << channel;
    EXPECT_EQ(reloaded.song.grid.cellText(14, gridColumnOf(40)), "9G");
}

}  // namespace
}  // namespace nimbel
