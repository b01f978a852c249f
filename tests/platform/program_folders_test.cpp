// The folders the program keeps its files in, as the user's environment names them.
#include "support/files.h"
#include "support/processes.h"

#include "program_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nimbel {
namespace {

TEST(ProgramFolders, RecoveryFilesLiveInTheUsersDataFolderWhichIsMadeWhenMissing)
{
    const testing_support::ScratchFolder home;
    const testing_support::ScopedEnvironment data("XDG_DATA_HOME", home.file("data"));
    EXPECT_EQ(recoveryFolder(), home.file("data") + "/nimbel-midi/recovery/");
    EXPECT_TRUE(std::filesystem::is_directory(home.file("data") + "/nimbel-midi/recovery"));
}

}  // namespace
}  // namespace nimbel
