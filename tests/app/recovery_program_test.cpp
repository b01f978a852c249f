// The program's side of recovery files: what a start-up asks about the files
// it finds and what each answer does; when the file kept while the song has
// unsaved changes is written and when it goes. (The running program keeping
// it, and the title's marker, are seen in the leaving table of the loop's tests.)
#include "program_fixture.h"

#include "support/ended_process.h"
#include "support/processes.h"

#include "recovery_prompt.h"
#include "song_columns.h"

#include <algorithm>
#include <ctime>

namespace nimbel {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

std::chrono::sys_seconds at(std::int64_t seconds) { return std::chrono::sys_seconds(std::chrono::seconds(seconds)); }

// A project file whose one note, in channel 2 and note column 3, tells it apart.
std::string songWith(const std::string& note)
{
    return ";Nimbel MIDI Format\r\n;Created 2024/05/06\r\nSTART\r\nT120\r\nN2X3" + note + "\r\nEND\r\n";
}

// The files directly in a folder.
std::ptrdiff_t countIn(const fs::path& folder)
{
    return std::count_if(fs::directory_iterator(folder), {}, [](const auto& entry) { return entry.is_regular_file(); });
}

// The note a recovery file keeps; "" when there is no file.
std::string keptNote(const std::string& file)
{
    if (!fs::exists(file)) return "";
    const auto contents = parseRecoveryFileText(fileText(file));
    if (!contents) return "unreadable";
    const std::string& text = contents->songText;
    const std::size_t note = text.find("N1X1");
    return note == std::string::npos ? "none" : text.substr(note + 4, text.find('\r', note) - note - 4);
}

// Who wrote a recovery file that a start-up finds.
enum class Writer { running, ended };

struct LeftFile {
    Writer writer;
    std::string project;  // "" for a new song
    std::int64_t time = 1715000000;
    std::string note = "C";  // what the song holds; "" for a file that cannot be read
};

std::string question(const std::string& name, const std::string& time)
{
    return "Unsaved changes to " + name + " from " + time + " were kept when the program last ended. Restore them?";
}

TEST(RecoveryAtStartUp, AsksAboutEachFileOfACopyThatEndedNewestFirstUntilOneIsRestored)
{
    const ScopedEnvironment zone("TZ", "UTC0");
    ::tzset();
    const ProcessIdentity ended = endedProcess();
    ASSERT_TRUE(ended.startTime) << "no /proc";
    TestProgram p(OffscreenApplication::application());
    const std::string folder = p.recoveryFolder.directory();
    const LeftFile files[] = {{Writer::ended, "/songs/old.nmd", 1715000000, "C"},
                              {Writer::ended, "/songs/new.nmd", 1715000120, "D"},
                              {Writer::running, "/songs/running.nmd", 1715000180, "G"},
                              {Writer::ended, "/songs/middle.nmd", 1715000060, "E"},
                              {Writer::ended, "/songs/broken.nmd", 1715000000, ""}};
    std::uint64_t nextEnded = 0;
    for (const LeftFile& left : files) {
        ProcessIdentity writer = left.writer == Writer::running ? runningProcess() : ended;
        if (left.writer == Writer::ended) writer.startTime = *ended.startTime + nextEnded++;
        const RecoveryStore copy(folder, writer);
        if (left.note.empty()) writeFile(copy.ownFile(), ";Nimbel MIDI Recovery\r\n");
        else ASSERT_TRUE(copy.write(songWith(left.note), {left.project, false, at(left.time)}));
    }
    for (const auto answer : {MessageReply::ok, MessageReply::no, MessageReply::yes}) p.script.expectMessage(answer);
    ASSERT_TRUE(startUp(p.program));

    EXPECT_TRUE(offerRecoveredSongs(p.program.files, p.program.recoveryStore));
    std::vector<std::string> asked;
    for (const ShownMessage& shown : p.script.messages()) {
        EXPECT_EQ(shown.title, "Nimbel MIDI Recovery");
        EXPECT_EQ(shown.defaultButton, shown.buttons == MessageButtons::ok ? "OK" : "Yes");
        // Where an unreadable file now is: its folder, inside the recovery folder.
        std::string text = shown.text;
        if (const std::size_t in = text.find(folder); in != std::string::npos)
            text = text.substr(0, in) + text.substr(in + folder.size(), text.rfind('/') + 1 - in - folder.size());
        asked.push_back(text);
    }
    EXPECT_EQ(asked, (std::vector<std::string>{
                         "A recovery file could not be read. It was set aside, not deleted:\nunreadable/",
                         question("new.nmd", "6 May 2024 at 12:55"), question("middle.nmd", "6 May 2024 at 12:54")}));
    EXPECT_EQ(p.script.unanswered(), 0);
    EXPECT_EQ(p.program.song.grid.cellText(1, gridColumnOf(3)), "E");
    EXPECT_EQ(std::tuple(p.program.project.currentPath, p.program.project.changed, p.program.project.isNew),
              std::tuple(std::string("/songs/middle.nmd"), true, false));
    EXPECT_EQ(p.driver.windowTitle(kMainWindow), "Nimbel MIDI - middle.nmd *");
    EXPECT_TRUE(fs::exists(p.program.recoveryStore.ownFile())) << "the restored file is this copy's own";
    EXPECT_EQ(countIn(folder), 3) << "the oldest and the running copy's stay";
    EXPECT_EQ(countIn(folder + "discarded"), 1);
    ::tzset();
}

// The keeper on simulated time, step by step: a note written into the song,
// playback's next work, the changes saved.
struct KeepStep {
    std::string what;
    std::int64_t afterMs;  // since the step before
    std::string edit;      // the note written into the song first; "" for none
    std::optional<std::int64_t> dueInMs;
    std::string kept;  // the note the file keeps afterwards; "" for no file
    bool saved = false;
};

TEST(RecoveryFileKept, SoonAfterEachEditAtMostOnceASecondAndPreferablyWhilePlaybackRests)
{
    const ScratchFolder folder;
    const RecoveryStore store(folder.directory());
    SimulatedClock clock;
    RecoveryKeeper keeper(store, clock);
    Song song;
    ProjectState project{"/songs/tune.nmd"};
    const std::vector<KeepStep> steps{
        {"unchanged", 0, "", std::nullopt, ""},
        {"a first edit is kept at once", 40, "C", std::nullopt, "C"},
        {"another within a second waits", 300, "D", std::nullopt, "C"},
        {"until a second has passed", 700, "", std::nullopt, "D"},
        {"an edit while a column is due soon waits", 1000, "E", 10, "D"},
        {"for playback's rest", 40, "", 200, "E"},
        {"an edit while playback never rests", 1000, "F", 10, "E"},
        {"waits 1.5 s at most", 1400, "", 10, "E"},
        {"and is kept then", 100, "", 10, "F"},
        {"saved: the file goes", 40, "", std::nullopt, "", true},
        {"after the save, an edit is kept again", 1000, "G", std::nullopt, "G"},
    };
    for (const KeepStep& step : steps) {
        SCOPED_TRACE(step.what);
        clock.advanceBy(step.afterMs);
        if (!step.edit.empty()) {
            song.grid.setCellText(0, gridColumnOf(1), step.edit);
            project.changed = true;
        }
        if (step.saved) project.changed = false;
        keeper.keep(song.grid, project, step.dueInMs ? std::optional(clock.nowMs() + *step.dueInMs) : std::nullopt);
        keeper.waitUntilWritten();
        EXPECT_EQ(keptNote(store.ownFile()), step.kept);
    }
    project.currentPath = "/songs/renamed.nmd";
    clock.advanceBy(1000);
    keeper.keep(song.grid, project, std::nullopt);
    keeper.waitUntilWritten();
    EXPECT_EQ(parseRecoveryFileText(fileText(store.ownFile()))->facts.projectPath, project.currentPath);
}

}  // namespace
}  // namespace nimbel
