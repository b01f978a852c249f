// The installation as a desktop finds it: `cmake --install` into a scratch
// prefix, the files where a desktop looks for them, checked with the
// desktop's own tools (desktop-file-validate, xmllint, the MIME database
// and GLib's type detection), and the installed programs run from a prefix
// they may not write to.
#include "support/files.h"
#include "support/processes.h"

#include "song.h"
#include "song_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
namespace fs = std::filesystem;

constexpr const char* kSongType = "application/x-nimbel-midi";

// Installs the build into `prefix`; "" when it worked, else what cmake said.
std::string install(const fs::path& prefix)
{
    const CommandResult result =
        runCommand({NIMBEL_CMAKE_COMMAND, "--install", NIMBEL_BINARY_DIR, "--prefix", prefix.string()});
    return result.exitCode == 0 ? "" : result.out + result.err;
}

// The value of `key` in a desktop entry's text, "" when it has none.
std::string entryValue(const std::string& entry, const std::string& key)
{
    for (const std::string& line : lines(entry))
        if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
    return {};
}

// The width and height a PNG file's header gives, {0, 0} when it is no PNG.
std::pair<int, int> pngSize(const fs::path& png)
{
    const std::string bytes = fileText(png);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    const auto bigEndian = [&](std::size_t at) {
        int value = 0;
        for (std::size_t i = 0; i < 4; ++i) value = value * 256 + static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {bigEndian(16), bigEndian(20)};
}

class Installation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(install(prefix), "") << "cmake --install failed"; }

    std::string file(const std::string& relative) const { return (prefix / relative).string(); }

    ScratchFolder scratch{"nimbel-install"};
    const fs::path prefix = scratch.path / "prefix";
};

TEST_F(Installation, PutsEachFileWhereTheDesktopLooksForIt)
{
    struct Expected {
        const char* path;
        bool program;
        int pngSize;  // 0: not a picture
    };
    const std::vector<Expected> expected = {
        {"bin/nimbel-midi", true, 0},
        {"bin/nimbel-export", true, 0},
        {"share/applications/nimbel-midi.desktop", false, 0},
        {"share/mime/packages/nimbel-midi.xml", false, 0},
        {"share/icons/hicolor/scalable/apps/nimbel-midi.svg", false, 0},
        {"share/icons/hicolor/48x48/apps/nimbel-midi.png", false, 48},
        {"share/icons/hicolor/256x256/apps/nimbel-midi.png", false, 256},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.path);
        ASSERT_TRUE(fs::is_regular_file(file(e.path)));
        EXPECT_EQ(::access(file(e.path).c_str(), X_OK) == 0, e.program);
        if (e.pngSize) {
            EXPECT_EQ(pngSize(file(e.path)), std::make_pair(e.pngSize, e.pngSize));
        }
    }
}

TEST_F(Installation, DesktopEntryAndMimePackageValidateAndNameEachOther)
{
    for (const char* tool : {"desktop-file-validate", "xmllint"})
        if (!onPath(tool)) GTEST_SKIP() << tool << " is not installed (desktop-file-utils, libxml2-utils)";
    const std::string entryPath = file("share/applications/nimbel-midi.desktop");
    const CommandResult validated = runCommand({"desktop-file-validate", entryPath});
    EXPECT_EQ(validated.exitCode, 0);
    EXPECT_EQ(validated.out + validated.err, "") << "hints and warnings count too";
    for (const char* xml :
         {"share/mime/packages/nimbel-midi.xml", "share/icons/hicolor/scalable/apps/nimbel-midi.svg"}) {
        const CommandResult wellFormed = runCommand({"xmllint", "--noout", file(xml)});
        EXPECT_EQ(wellFormed.exitCode, 0) << xml << ": " << wellFormed.err;
    }

    const std::string entry = fileText(entryPath);
    EXPECT_EQ(entryValue(entry, "MimeType"), std::string(kSongType) + ";");
    EXPECT_NE(fileText(file("share/mime/packages/nimbel-midi.xml")).find("type=\"" + std::string(kSongType) + "\""),
              std::string::npos);
    const std::string program = entryValue(entry, "Exec");
    EXPECT_EQ(program, "nimbel-midi %f") << "one file, as the program's command line takes it";
    EXPECT_TRUE(fs::exists(file("bin/" + program.substr(0, program.find(' ')))));
    EXPECT_TRUE(fs::exists(file("share/icons/hicolor/scalable/apps/" + entryValue(entry, "Icon") + ".svg")));
}

TEST_F(Installation, SongFilesAreKnownByTheirNameAndByTheFirstLineTheProgramWrites)
{
    for (const char* tool : {"update-mime-database", "gio"})
        if (!onPath(tool)) GTEST_SKIP() << tool << " is not installed (shared-mime-info, libglib2.0-bin)";
    const CommandResult database = runCommand({"update-mime-database", file("share/mime")});
    ASSERT_EQ(database.exitCode, 0) << database.err;

    Song song;
    const std::string saved = songFileText(song, "2001/02/03");
    struct Case {
        const char* name;
        std::string contents;
        std::string type;
    };
    const std::vector<Case> cases = {
        {"saved.nmd", saved, kSongType},
        {"hand-written.nmd", "START\r\nC D E\r\nEND\r\n", kSongType},
        {"saved without an extension", saved, kSongType},
        {"a text that is no song", "START\r\nC D E\r\nEND\r\n", "text/plain"},
    };
    const ScratchFolder songs("nimbel-mime");
    const EnvironmentChanges environment = {{"XDG_DATA_DIRS", file("share") + ":/usr/share"},
                                            {"XDG_DATA_HOME", (scratch.path / "nothing").string()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(songs.path / c.name, c.contents);
        const CommandResult info =
            runCommand({"gio", "info", "--attributes=standard::content-type", songs.file(c.name)}, environment);
        EXPECT_NE(info.out.find("standard::content-type: " + c.type + "\n"), std::string::npos) << info.out;
    }
}

// Keeps even root from writing into a folder: a read-only mount of the
// folder onto itself, or for other users, the folder's permissions.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const fs::path& folder) : folder_(folder)
    {
        if (::geteuid() != 0) {
            fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
            return;
        }
        mounted_ = ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0;
        if (mounted_) ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr);
    }
    ~UnwritableFolder()
    {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
        else fs::permissions(folder_, fs::perms::owner_write, fs::perm_options::add);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

private:
    fs::path folder_;
    bool mounted_ = false;
};

TEST_F(Installation, ProgramsRunFromAPrefixTheyMayNotWriteTo)
{
    const fs::path programs = prefix / "bin";
    const UnwritableFolder readOnly(programs);
    ASSERT_NE(::access(programs.c_str(), W_OK), 0) << "the installed programs' folder is still writable";

    // The SoundFont is found from the installed program as from the build.
    const bool soundFont = fs::exists("/usr/share/sounds/sf2/default-GM.sf2") ||
                           fs::exists("/usr/share/sounds/sf2/FluidR3_GM.sf2") ||
                           fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2");
    if (soundFont) {
        const CommandResult rendered = runCommand(
            {(programs / "nimbel-export").string(), dataPath("demo_song.txt"), "-o", scratch.file("demo.wav")});
        EXPECT_EQ(rendered.exitCode, 0) << rendered.err;
        EXPECT_GT(fs::exists(scratch.file("demo.wav")) ? fs::file_size(scratch.file("demo.wav")) : 0, 44u);
    }

    // The program keeps its files in the user's folders instead. Without a
    // sound server it stops at "Unable to open MIDI output", after the
    // demonstration song is written.
    for (const char* sub : {"data", "config", "runtime"}) fs::create_directory(scratch.path / sub);
    ::chmod(scratch.file("runtime").c_str(), 0700);
    ChildProcess program({(programs / "nimbel-midi").string()},
                         {{{"QT_QPA_PLATFORM", "offscreen"},
                           {"XDG_DATA_HOME", scratch.file("data")},
                           {"XDG_CONFIG_HOME", scratch.file("config")},
                           {"XDG_RUNTIME_DIR", scratch.file("runtime")},
                           {"PULSE_SERVER", "unix:" + scratch.file("runtime/no-sound-server")}},
                          scratch.path.string(),
                          scratch.file("nimbel-midi.log"),
                          "",
                          -1});
    const fs::path demoSong = scratch.path / "data" / "nimbel-midi" / "MIDI.txt";
    for (int attempt = 0; attempt < 300 && !fs::exists(demoSong) && program.running(); ++attempt)
        std::this_thread::sleep_for(100ms);
    program.stop();
    EXPECT_TRUE(fs::exists(demoSong)) << "see " << scratch.file("nimbel-midi.log");
    EXPECT_TRUE(fs::is_directory(scratch.path / "config" / "nimbel-midi")) << "the settings file's folder";
    EXPECT_FALSE(fs::exists(programs / "MIDI.txt"));
}

}  // namespace
}  // namespace nimbel
