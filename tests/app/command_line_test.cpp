// The real program without a display: its command line, and the one
// sentence that says it cannot start.
#include "support/processes.h"

#include "nimbel_version.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
namespace fs = std::filesystem;

const fs::path kBuiltProgram = fs::path(NIMBEL_BINARY_DIR) / "bin" / "nimbel-midi";

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
