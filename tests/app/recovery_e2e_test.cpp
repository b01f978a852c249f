// Unsaved changes survive a program killed on a real display: notes typed,
// the program killed with SIGKILL soon after, and the next start asks about
// them. Yes brings them back to be saved; No leaves the demonstration song
// and moves the file among the discarded ones.
#include "real_program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
namespace fs = std::filesystem;

// The regular files directly in a folder.
std::vector<fs::path> filesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(folder, missing))
        if (entry.is_regular_file()) files.push_back(entry.path());
    return files;
}

class RecoveryOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string tool = missingEndToEndTool(); !tool.empty()) GTEST_SKIP() << tool << " is not installed";
        session = std::make_unique<RealProgramSession>();
        ASSERT_TRUE(session->ready()) << "Xvfb or PulseAudio did not start";
    }
    const EnvironmentChanges& environment() const { return session->environment(); }
    fs::path recoveryFolder() const { return session->folder().path / "data" / "nimbel-midi" / "recovery"; }

    // Starts a copy, types three notes into its grid and kills it once
    // their recovery file is there, less than 3 s after the last of them.
    void editAndKill(const std::string& name)
    {
        RealProgramSession::Running program = session->start(name);
        ASSERT_FALSE(program.window.empty()) << fileText(program.folder / "nimbel-midi.log");
        // Every copy opens at the same place, so later copies, whose toolbar
        // the question may hide, are pointed at through this one's grid.
        grid = RealProgramSession::cellCentre(program, 0, 1);
        restOver(grid);
        typeText(environment(), "c d e");
        pressKey(environment(), "Return");
        const auto typed = std::chrono::steady_clock::now();
        ASSERT_FALSE(waitForWindow(environment(), "^Nimbel MIDI - MIDI\\.txt \\*$", 10s).empty()) << "not marked";
        while (filesIn(recoveryFolder()).empty() && std::chrono::steady_clock::now() - typed < 2500ms)
            std::this_thread::sleep_for(50ms);
        program.process->signal(SIGKILL);
        EXPECT_EQ(program.process->waitFor(5s), std::optional<int>(128 + SIGKILL));
        ASSERT_EQ(filesIn(recoveryFolder()).size(), 1u) << "no recovery file within 2.5 s";
    }

    void restOver(ScreenPoint point)
    {
        runCommand({"xdotool", "mousemove", std::to_string(point.x), std::to_string(point.y)}, environment());
    }

    // Answers the question about the recovery file by a key, the pointer
    // resting over its box, which then has the keyboard.
    void answerQuestion(const std::string& key)
    {
        const std::string box = waitForWindow(environment(), "^Nimbel MIDI Recovery$", 10s);
        ASSERT_FALSE(box.empty()) << "no question";
        std::this_thread::sleep_for(300ms);
        const WindowGeometry where = windowGeometry(environment(), box);
        restOver({where.x + where.width / 2, where.y + where.height / 2});
        screenshot(environment(), RealProgramSession::shots() / "recovery-question.png");
        pressKey(environment(), key);
    }

    // Saves the song under `name` in the session's folder through Save As.
    fs::path saveAs(const std::string& name)
    {
        const fs::path song = session->folder().path / name;
        pressKey(environment(), "ctrl+shift+s");
        EXPECT_FALSE(waitForWindow(environment(), "^Save Nimbel MIDI", 10s).empty()) << "no requester";
        std::this_thread::sleep_for(800ms);
        typeText(environment(), song.string());
        pressKey(environment(), "Return");
        EXPECT_FALSE(waitForWindow(environment(), "^Nimbel MIDI - " + name + "$", 10s).empty()) << "not saved";
        return song;
    }

    std::unique_ptr<RealProgramSession> session;
    ScreenPoint grid;
};

TEST_F(RecoveryOnScreen, YesRestoresTheNotesOfAKilledCopyToBeSavedAndNoDiscardsThem)
{
    editAndKill("killed");
    RealProgramSession::Running restored = session->start("restored");
    answerQuestion("Return");  // Yes, the default
    restOver(grid);            // the main window takes the keys
    ASSERT_FALSE(waitForWindow(environment(), "^Nimbel MIDI - MIDI\\.txt \\*$", 10s).empty()) << "not restored";
    const std::vector<std::string> saved = lines(fileText(saveAs("saved.nmd")));
    for (const char* note : {"N1X1C", "N1X2D", "N1X3E"})
        EXPECT_NE(std::find(saved.begin(), saved.end(), note), saved.end()) << note;
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(filesIn(recoveryFolder()).empty()) << "saved: nothing left to recover";
    pressKey(environment(), "ctrl+q");
    EXPECT_EQ(restored.process->waitFor(15s), std::optional<int>(0));

    editAndKill("killed-again");
    RealProgramSession::Running declined = session->start("declined");
    answerQuestion("alt+n");
    restOver(grid);
    std::this_thread::sleep_for(500ms);
    ASSERT_FALSE(waitForWindow(environment(), "^Nimbel MIDI - MIDI\\.txt$", 10s).empty());
    EXPECT_TRUE(filesIn(recoveryFolder()).empty());
    EXPECT_EQ(filesIn(recoveryFolder() / "discarded").size(), 1u);
    const std::vector<std::string> demonstration = lines(fileText(saveAs("declined.nmd")));
    EXPECT_NE(std::find(demonstration.begin(), demonstration.end(), "N1X1C8Q,10"), demonstration.end());
    pressKey(environment(), "ctrl+q");
    EXPECT_EQ(declined.process->waitFor(15s), std::optional<int>(0));
}

}  // namespace
}  // namespace nimbel
