// The installation as a desktop finds it: `cmake --install` into a scratch
// prefix, each file checked by the desktop's own tools (desktop-file-validate,
// xmllint, the MIME database and GLib's type detection), and the installed
// programs run from a folder they may not write to.
#include "support/files.h"
#include "support/processes.h"

#include "nimbel_version.h"
#include "song.h"
#include "song_file.h"

#include <gtest/gtest.h>

#include <thread>

#include <sys/mount.h>
#include <unistd.h>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
namespace fs = std::filesystem;

class Installation : public ::testing::Test {
protected:
    void SetUp() override
    {
        const CommandResult installed =
            runCommand({NIMBEL_CMAKE_COMMAND, "--install", NIMBEL_BINARY_DIR, "--prefix", prefix.string()});
        ASSERT_EQ(installed.exitCode, 0) << installed.out << installed.err;
    }
    std::string file(const std::string& relative) const { return (prefix / relative).string(); }

    ScratchFolder scratch{"nimbel-install"};
    const fs::path prefix = scratch.path / "prefix";
};

TEST_F(Installation, EachFileIsWhereTheDesktopLooksAndPassesItsCheckerAndSongFilesAreKnownAsSongs)
{
    // The tools come with desktop-file-utils, libxml2-utils, shared-mime-info and libglib2.0-bin.
    for (const char* tool : {"desktop-file-validate", "xmllint", "update-mime-database", "gio"})
        if (!onPath(tool)) GTEST_SKIP() << tool << " is not installed";
    const std::vector<std::pair<std::string, std::vector<std::string>>> checks = {
        {"share/applications/nimbel-midi.desktop", {"desktop-file-validate"}},
        {"share/mime/packages/nimbel-midi.xml", {"xmllint", "--noout"}},
        {"share/icons/hicolor/scalable/apps/nimbel-midi.svg", {"xmllint", "--noout"}},
    };
    for (auto [path, command] : checks) {
        command.push_back(file(path));
        const CommandResult checked = runCommand(command);
        EXPECT_EQ(checked.exitCode, 0) << path;
        EXPECT_EQ(checked.out + checked.err, "") << path << ": hints and warnings count too";
    }
    // The entry opens one file (the program takes one) of the type installed.
    const std::string entry = fileText(file("share/applications/nimbel-midi.desktop"));
    for (const char* line : {"\nExec=nimbel-midi %f\n", "\nMimeType=application/x-nimbel-midi;\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    // The About topic sends readers to NEWS, which must tell of this version.
    EXPECT_NE(fileText(file("share/doc/nimbel-midi/NEWS")).find(std::string("\nVersion ") + kNimbelVersion + "\n"),
              std::string::npos);

    // Song files are known by their name and by the first line the program writes.
    const CommandResult database = runCommand({"update-mime-database", file("share/mime")});
    ASSERT_EQ(database.exitCode, 0) << database.err;
    Song song;
    const std::string saved = songFileText(song, "2001/02/03");
    const std::string handWritten = "START\r\nC D E\r\nEND\r\n";
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"saved.nmd", saved, "application/x-nimbel-midi"},
        {"hand-written.nmd", handWritten, "application/x-nimbel-midi"},
        {"saved without an extension", saved, "application/x-nimbel-midi"},
        {"a text that is no song", handWritten, "text/plain"},
    };
    const EnvironmentChanges environment = {{"XDG_DATA_DIRS", file("share") + ":/usr/share"},
                                            {"XDG_DATA_HOME", scratch.file("nothing")}};
    for (const auto& [name, contents, type] : cases) {
        writeFile(scratch.path / name, contents);
        const CommandResult info =
            runCommand({"gio", "info", "--attributes=standard::content-type", scratch.file(name)}, environment);
        EXPECT_NE(info.out.find("standard::content-type: " + type + "\n"), std::string::npos) << name << info.out;
    }
}

TEST_F(Installation, ProgramsFindTheSoundFontAndKeepTheirFilesInTheUsersFoldersWhenTheirOwnIsReadOnly)
{
    // Root may write anywhere but on a read-only mount: the folder mounted read-only onto itself.
    const fs::path programs = prefix / "bin";
    const bool mounted =
        ::geteuid() == 0 && ::mount(programs.c_str(), programs.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (mounted) ::mount(nullptr, programs.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr);
    else fs::permissions(programs, fs::perms::owner_write, fs::perm_options::remove);
    ASSERT_NE(::access(programs.c_str(), W_OK), 0) << "the installed programs' folder is still writable";

    const CommandResult rendered =
        runCommand({(programs / "nimbel-export").string(), dataPath("demo_song.txt"), "-o", scratch.file("demo.wav")});
    EXPECT_EQ(rendered.exitCode, 0) << rendered.err;

    // Without a sound server the program stops at "Unable to open MIDI output", after writing the demonstration song.
    ChildProcess program({(programs / "nimbel-midi").string()},
                         {.environment = {{"QT_QPA_PLATFORM", "offscreen"},
                                          {"XDG_DATA_HOME", scratch.file("data")},
                                          {"XDG_CONFIG_HOME", scratch.file("config")},
                                          {"PULSE_SERVER", "unix:" + scratch.file("no-sound-server")}},
                          .workingDirectory = scratch.path.string(),
                          .outputFile = scratch.file("nimbel-midi.log"),
                          .errorFile = ""});
    const fs::path demoSong = scratch.path / "data/nimbel-midi/MIDI.txt";
    for (int attempt = 0; attempt < 300 && !fs::exists(demoSong) && program.running(); ++attempt)
        std::this_thread::sleep_for(100ms);
    program.stop();
    if (mounted) ::umount2(programs.c_str(), MNT_DETACH);
    else fs::permissions(programs, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(fs::exists(demoSong)) << "see " << scratch.file("nimbel-midi.log");
    EXPECT_TRUE(fs::is_directory(scratch.path / "config/nimbel-midi")) << "the settings file's folder";
}

}  // namespace
}  // namespace nimbel
