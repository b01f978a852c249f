#include "program_folders.h"

#include "qt_text.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace nimbel {

namespace {

std::string userFolder(QStandardPaths::StandardLocation location, const std::string& subfolder = "")
{
    const std::string folder = pathOf(QStandardPaths::writableLocation(location)) + "/nimbel-midi/" + subfolder;
    // A folder that cannot be made shows later as files that cannot be
    // written, which the program already reports or survives.
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

}  // namespace

std::string programDirectory() { return pathOf(QCoreApplication::applicationDirPath()) + "/"; }

ProgramFolders programFolders(const std::string& programDirectory)
{
    // access() also answers "no" on a read-only mount, where root may not write either.
    if (::access(programDirectory.c_str(), W_OK) == 0) return {programDirectory, programDirectory, recoveryFolder()};
    return {userFolder(QStandardPaths::GenericDataLocation), userFolder(QStandardPaths::GenericConfigLocation),
            recoveryFolder()};
}

std::string recoveryFolder() { return userFolder(QStandardPaths::GenericDataLocation, "recovery/"); }

}  // namespace nimbel
