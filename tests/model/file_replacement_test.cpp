// The one file writer, with both of its temporary files: the unnamed one of
// file systems that offer it and the named one of the others. The target
// changes only on commit, keeps its permissions and is never a folder or a
// pipe; the next write into a folder removes what killed writers left there
// and nothing of running ones. Full disks are tested with the export tool and
// the files beside the program, writes killed half way with the recovery file.
#include "support/ended_process.h"
#include "support/files.h"

#include "file_replacement.h"
#include "temporary_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace nimbel {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using testing_support::fileNames;
using testing_support::fileText;
using testing_support::writeFile;

bool offersUnnamedFiles(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (fd >= 0) ::close(fd);
    return fd >= 0;
}

TEST(FileReplacement, TheTargetChangesOnlyOnCommitKeepsItsPermissionsAndIsNeverAFolderOrPipe)
{
    for (const TemporaryFile kind : {TemporaryFile::unnamedWherePossible, TemporaryFile::named}) {
        SCOPED_TRACE(kind == TemporaryFile::named ? "named" : "unnamed");
        const testing_support::ScratchFolder folder;
        if (kind == TemporaryFile::unnamedWherePossible && !offersUnnamedFiles(folder.path))
            GTEST_SKIP() << "the temporary folder's file system has no unnamed files (O_TMPFILE)";
        const std::string target = folder.file("song.nmd");
        writeFile(target, "an older, longer file than the one that replaces it");
        const auto permissions = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
        fs::permissions(target, permissions);
        {
            FileReplacement file(target, kind);
            ASSERT_TRUE(file.write("new"));
            const Names whileWriting = kind == TemporaryFile::named
                                           ? Names{"song.nmd", "song.nmd." + identityText(thisProcess()) + ".saving"}
                                           : Names{"song.nmd"};
            EXPECT_EQ(fileNames(folder.path), whileWriting);
            if (kind == TemporaryFile::unnamedWherePossible) {  // what every writer of the program gets
                const FileReplacement byDefault(target);
                EXPECT_EQ(fileNames(folder.path), whileWriting) << "a killed writer leaves nothing behind";
            }
        }  // abandoned without commit
        EXPECT_EQ(fileText(target), "an older, longer file than the one that replaces it");
        EXPECT_TRUE(replaceFileContents(target, "new", kind));
        EXPECT_EQ(fileText(target), "new");
        EXPECT_EQ(fs::status(target).permissions(), permissions);

        fs::create_directory(folder.path / "folder.nmd");
        ::mkfifo((folder.path / "pipe.nmd").c_str(), 0644);  // as a device would be: renaming over it would replace it
        EXPECT_FALSE(replaceFileContents(folder.file("folder.nmd"), "START", kind));
        EXPECT_FALSE(replaceFileContents(folder.file("pipe.nmd"), "START", kind));
        EXPECT_TRUE(fs::is_directory(folder.path / "folder.nmd"));
        EXPECT_TRUE(fs::is_fifo(folder.path / "pipe.nmd"));
        EXPECT_EQ(FileReplacement(folder.file("no/such/folder/song.nmd"), kind).error(), "No such file or directory");
        const fs::path workingFolder = fs::current_path();
        fs::current_path(folder.path);
        EXPECT_TRUE(replaceFileContents("bare.nmd", "a name without a folder", kind));
        fs::current_path(workingFolder);
        EXPECT_EQ(fileNames(folder.path), (Names{"bare.nmd", "folder.nmd", "pipe.nmd", "song.nmd"}));
    }
}

// A name in the folder before a write, and whether the write keeps it.
struct Leftover {
    std::string name;
    bool kept;
    bool link = false;  // a symbolic link to another file
};

TEST(FileReplacement, TheNextWriteIntoAFolderRemovesTheTemporaryFilesOfWritersThatNoLongerRun)
{
    const std::string ended = identityText(testing_support::endedProcess());
    const ProcessIdentity running = testing_support::runningProcess();
    const ProcessIdentity self = thisProcess();
    ASSERT_TRUE(self.startTime.has_value()) << "no /proc";
    const ProcessIdentity reused{self.pid, *self.startTime + 1};  // an earlier process that had this id
    const std::vector<Leftover> leftovers{
        {"song.nmd." + ended + ".saving", false},
        {"take.wav." + ended + ".saving2", false},  // any target's, and a second one of a writer
        {"song.nmd." + identityText(reused) + ".saving", false},
        {"song.nmd." + std::to_string(testing_support::endedProcess().pid) + ".saving", false},  // older versions
        {"song.nmd." + identityText(running) + ".saving", true},
        {"song.nmd." + std::to_string(running.pid) + ".saving", true},
        {"song.nmd." + identityText(self) + ".saving1", true},  // this process's, being written now
        {"tune.nmd." + ended + ".saving", true, true},          // only regular files are temporary files
        {"song.nmd.saving", true},
        {"song.nmd.x" + ended + ".saving", true},
        {"song.nmd." + ended + ".saving.bak", true},
        {"song.nmd." + ended, true},
    };
    const testing_support::ScratchFolder folder;
    Names kept{"other.nmd"};
    for (const Leftover& leftover : leftovers) {
        if (leftover.link) fs::create_symlink(folder.path / "song.nmd.saving", folder.path / leftover.name);
        else writeFile(folder.path / leftover.name, "left");
        if (leftover.kept) kept.push_back(leftover.name);
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_TRUE(replaceFileContents(folder.file("other.nmd"), "written"));
    EXPECT_EQ(fileNames(folder.path), kept);
}

}  // namespace
}  // namespace nimbel
