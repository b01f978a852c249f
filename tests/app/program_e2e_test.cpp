// The real program on a real X display: started from a temporary folder
// (it writes beside itself) with a song to open, looked at with a
// screenshot and closed by clicking File > Exit; started with a file it
// cannot read, and with a MIDI file. Also its command line and its start
// without a display.
// Skipped only where the display or sound tools are not installed.
#include "real_program.h"

#include "nimbel_version.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
namespace fs = std::filesystem;

const fs::path kBuiltProgram = fs::path(NIMBEL_BINARY_DIR) / "bin" / "nimbel-midi";

TEST(RealProgram, OpensTheSongOfItsCommandLineAndClosesThroughFileExit)
{
    if (const std::string tool = missingEndToEndTool(); !tool.empty()) GTEST_SKIP() << tool << " is not installed";
    RealProgramSession session;
    ASSERT_TRUE(session.ready()) << "Xvfb or PulseAudio did not start";
    const EnvironmentChanges& environment = session.environment();
    const fs::path workingFolder = session.folder().path / "elsewhere";
    fs::create_directories(workingFolder);
    writeFile(workingFolder / "song.nmd", dataFile("demo_song_saved.nmd"));

    // A name relative to the working folder, as a shell passes it.
    const RealProgramSession::Running program = session.start("program", {"song.nmd"});
    ASSERT_FALSE(program.window.empty()) << fileText(program.folder / "nimbel-midi.log");
    EXPECT_FALSE(waitForWindow(environment, "^Nimbel MIDI - song\\.nmd$", 10s).empty()) << "song.nmd not opened";
    EXPECT_GT(program.play.x, 0) << "the toolbar's Play image is not on the screen";
    screenshot(environment, RealProgramSession::shots() / "song-opened.png");

    session.chooseMenuItem(program, 18, 5);  // File > Exit
    EXPECT_EQ(program.process->waitFor(15s), std::optional<int>(0));
    EXPECT_TRUE(fs::exists(program.folder / "MIDI.txt"));
    EXPECT_FALSE(fs::exists(workingFolder / "MIDI.txt")) << "files live beside the program";
    EXPECT_FALSE(fs::exists(program.folder / "NimbelMIDI.ini"));

    const RealProgramSession::Running unreadable = session.start("unreadable", {"missing.nmd"});
    for (const char* title : {"^Nimbel MIDI Error$", "^Nimbel MIDI - MIDI\\.txt$"})
        EXPECT_FALSE(waitForWindow(environment, title).empty())
            << title << "; " << fileText(unreadable.folder / "nimbel-midi.log");

    // A MIDI file opens as a song of its own name: one quarter note C.
    const std::string track("\x00\x91\x3C\x40\x83\x60\x81\x3C\x00\x00\xFF\x2F\x00", 13);
    writeFile(workingFolder / "tune.mid",
              std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk\0\0\0", 21) + static_cast<char>(track.size()) + track);
    const RealProgramSession::Running imported = session.start("imported", {"tune.mid"});
    EXPECT_FALSE(waitForWindow(environment, "^Nimbel MIDI - tune\\.mid$", 10s).empty())
        << fileText(imported.folder / "nimbel-midi.log");
}

TEST(ProgramWithoutDisplay, AnswersItsCommandLineAndOtherwiseSaysInOneSentenceThatItCannotStart)
{
    ASSERT_TRUE(fs::exists(kBuiltProgram)) << "build the program first: " << kBuiltProgram;
    const std::string noDisplay =
        "Nimbel MIDI needs a graphical desktop, but no display was found (DISPLAY is not set).\n";
    const std::string usage = "Usage: nimbel-midi [OPTION] [FILE]\n";
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string out;  // the start of standard output, then of standard error
        std::string err;
    };
    const std::vector<Case> cases = {
        {{}, 1, "", noDisplay},
        {{"song.nmd"}, 1, "", noDisplay},
        {{"--", "--song.nmd"}, 1, "", noDisplay},
        {{"song.nmd", "--help"}, 0, usage, ""},
        {{"--version"}, 0, std::string("nimbel-midi ") + kNimbelVersion + "\n", ""},
        {{"--frobnicate", "song.nmd"}, 2, "", "nimbel-midi: unknown option '--frobnicate'\n" + usage},
        {{"one.nmd", "two.nmd"}, 2, "", "nimbel-midi: only one FILE may be given ('two.nmd' is a second one)\n"},
    };
    const EnvironmentChanges environment{
        {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
    for (const Case& c : cases) {
        std::vector<std::string> command = c.arguments;
        command.insert(command.begin(), kBuiltProgram.string());
        const CommandResult result = runCommand(command, environment, 10s);
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(result.exitCode, std::optional<int>(c.exitCode));
        EXPECT_EQ(result.out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(result.out.empty(), c.out.empty());
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(result.err.empty(), c.err.empty());
    }

    EnvironmentChanges unreachable = environment;
    unreachable["DISPLAY"] = ":9876";
    const CommandResult result = runCommand({kBuiltProgram.string()}, unreachable, 10s);
    EXPECT_EQ(result.exitCode, std::optional<int>(1));
    EXPECT_EQ(result.err, "Nimbel MIDI needs a graphical desktop, but the display \":9876\" could not be reached.\n");
}

}  // namespace
}  // namespace nimbel
