// Writing files: the project file's exact lines and date, and the one file
// writer, which replaces a file only once the new one is complete.
#include "support/files.h"
#include "support/full_disk.h"

#include "file_replacement.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include <sys/stat.h>

namespace nimbel {
namespace {

namespace fs = std::filesystem;
using testing_support::fileNames;
using testing_support::fileText;
using testing_support::writeFile;
using Names = std::vector<std::string>;

TEST(SongFileWriting, HeaderTempoAndPlacedNotes)
{
    Song song;
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
    int year = 0, month = 0, day = 0;
    ASSERT_EQ(std::sscanf(date.c_str(), "%4d/%2d/%2d", &year, &month, &day), 3) << date;
    EXPECT_TRUE(date.size() == 10 && year >= 2024 && month >= 1 && month <= 12 && day >= 1 && day <= 31) << date;
}

TEST(FileReplacement, ReplacesTheTargetOnlyWhenAllIsWrittenAndLeavesNoTemporaryFile)
{
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> before;  // puts something at the target
        bool written;
        Names after;  // the folder's files
    };
    const auto oldFile = [](const fs::path& target) {
        writeFile(target, "an older, longer file than the one that replaces it");
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    };
    const auto folderInTheWay = [](const fs::path& target) { fs::create_directory(target); };
    const auto pipeInTheWay = [](const fs::path& target) { ::mkfifo(target.c_str(), 0644); };
    const std::vector<Case> cases = {
        {"new file", [](const fs::path&) {}, true, {"song.nmd"}},
        {"an older file keeps its permissions", oldFile, true, {"song.nmd"}},
        {"a folder in the way", folderInTheWay, false, {"song.nmd"}},
        {"a pipe in the way", pipeInTheWay, false, {"song.nmd"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const testing_support::ScratchFolder folder;
        const fs::path target = folder.path / "song.nmd";
        c.before(target);
        const fs::file_status status = fs::status(target);
        EXPECT_EQ(replaceFileContents(target, "START\r\nEND\r\n"), c.written);
        EXPECT_EQ(fileNames(folder.path), c.after);
        EXPECT_EQ(fs::status(target).type(), c.written ? fs::file_type::regular : status.type());
        if (c.written) {
            EXPECT_EQ(fileText(target), "START\r\nEND\r\n");
        }
        if (c.written && fs::exists(status)) {
            EXPECT_EQ(fs::status(target).permissions(), status.permissions());
        }
    }
    const testing_support::ScratchFolder folder;
    EXPECT_FALSE(replaceFileContents(folder.file("missing/song.nmd"), "START"));
    EXPECT_EQ(fileNames(folder.path), Names{});
}

TEST(FileReplacement, AnUncommittedOrHalfWrittenFileLeavesTheOldOneAndNothingElse)
{
    testing_support::FullDisk disk;
    if (!disk.available()) GTEST_SKIP() << disk.reason();
    const fs::path target = disk.folder() / "song.wav";
    writeFile(target, "old");
    {
        FileReplacement abandoned(target);
        EXPECT_TRUE(abandoned.write("new"));
    }
    EXPECT_EQ(fileNames(disk.folder()), Names{"song.wav"});

    disk.leaveFree(8192);
    {
        FileReplacement file(target);
        EXPECT_FALSE(file.write(std::string(20000, 'x')));
        EXPECT_EQ(file.error(), "No space left on device");
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(fileText(target), "old");
    EXPECT_EQ(fileNames(disk.folder()), Names{"song.wav"});
}

}  // namespace
}  // namespace nimbel
