// nimbel-export end to end: the built program is run as a user would run it.
#include "export_run.h"
#include "song_file.h"

#include <fstream>

namespace nimbel {
namespace {

using testing::dataPath;
using testing::fileText;
using testing::ToolRun;

// A golden project file (written on 2001/02/03) as written on `date`.
std::string withDate(std::string file, const std::string& date)
{
    const std::size_t at = file.find("2001/02/03");
    if (at != std::string::npos) file.replace(at, date.size(), date);
    return file;
}

using ExportTool = testing::ExportToolTest;

TEST_F(ExportTool, HelpGoesToStandardOutput)
{
    const ToolRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: nimbel-export SONG", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("--grid"), std::string::npos);
    EXPECT_NE(help.out.find("--save OUT"), std::string::npos);
    EXPECT_EQ(help.err, "");
}

TEST_F(ExportTool, BadArgumentsExitWithTwoAndSayWhy)
{
    const std::string demo = dataPath("demo_song.txt");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no SONG given"},
        {{demo, "--frobnicate"}, "unknown option '--frobnicate'"},
        {{demo, "--save"}, "option '--save' needs OUT"},
        {{demo, "--grid=yes"}, "option '--grid' takes no value"},
        {{demo, demo, "--grid"}, "only one SONG may be given"},
        {{demo}, "nothing to write"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun bad = run(arguments);
        EXPECT_EQ(bad.status, 2) << message;
        EXPECT_EQ(bad.out, "") << message;
        EXPECT_EQ(bad.err.rfind("nimbel-export: " + message, 0), 0u) << bad.err;
        EXPECT_NE(bad.err.find("--help"), std::string::npos) << bad.err;
    }
}

TEST_F(ExportTool, UnreadableSongExitsWithTwo)
{
    for (const std::string& song : {path("missing.nmd"), folder.string()}) {
        const ToolRun missing = run({song, "--grid"});
        EXPECT_EQ(missing.status, 2);
        EXPECT_EQ(missing.out, "");
        EXPECT_EQ(missing.err, "nimbel-export: cannot read '" + song + "'\n");
    }
}

TEST_F(ExportTool, GridOfTheDemonstrationSong)
{
    const ToolRun grid = run({dataPath("demo_song.txt"), "--grid"});
    EXPECT_EQ(grid.status, 0) << grid.err;
    EXPECT_EQ(grid.out, fileText(dataPath("demo_song_grid.tsv")));
    EXPECT_EQ(grid.err, "");
}

TEST_F(ExportTool, SaveWritesWhatFileSaveWritesAndItLoadsBack)
{
    const std::string before = localDateText();
    const ToolRun save = run({dataPath("demo_song.txt"), "--save", path("demo.nmd"), "--grid"});
    const std::string after = localDateText();
    ASSERT_EQ(save.status, 0) << save.err;
    EXPECT_EQ(save.out, fileText(dataPath("demo_song_grid.tsv")));  // outputs run in the order given

    const std::string golden = fileText(dataPath("demo_song_saved.nmd"));
    const std::string written = fileText(path("demo.nmd"));
    EXPECT_TRUE(written == withDate(golden, before) || written == withDate(golden, after)) << written;

    // The saved project shows the same grid, and saves to the same file.
    const ToolRun reload = run({path("demo.nmd"), "--grid", "--save=" + path("again.nmd")});
    EXPECT_EQ(reload.status, 0) << reload.err;
    EXPECT_EQ(reload.out, save.out);
    EXPECT_EQ(fileText(path("again.nmd")), written);
}

TEST_F(ExportTool, SaveThatCannotBeWrittenExitsWithOne)
{
    const ToolRun save = run({dataPath("demo_song.txt"), "--save", path("missing/song.nmd")});
    EXPECT_EQ(save.status, 1);
    EXPECT_EQ(save.err, "nimbel-export: cannot write '" + path("missing/song.nmd") + "'\n");
}

TEST_F(ExportTool, GridStartsFromTheStartUpGrid)
{
    {
        std::ofstream(path("short.nmd"), std::ios::binary) << "START\r\nT90\r\nN2X3V7E4,12\r\nEND\r\n";
    }
    const ToolRun grid = run({path("short.nmd"), "--grid"});
    ASSERT_EQ(grid.status, 0) << grid.err;
    EXPECT_EQ(grid.out,
              "Channel\tVoice\tVolume\tOctave\t1\t2\tEnd\n"
              "1 T90\tAcoustic Grand Piano\t5\t\t\t\t\n"
              "2\tVibraphone\t7\t4\t\t\tV7E4,12\n"
              "3\t\t\t\t\t\t\n4\t\t\t\t\t\t\n5\t\t\t\t\t\t\n6\t\t\t\t\t\t\n7\t\t\t\t\t\t\n8\t\t\t\t\t\t\n"
              "9\t\t\t\t\t\t\n10\t\t\t\t\t\t\n11\t\t\t\t\t\t\n12\t\t\t\t\t\t\n13\t\t\t\t\t\t\n14\t\t\t\t\t\t\n"
              "15\t\t\t\t\t\t\n");
}

}  // namespace
}  // namespace nimbel
