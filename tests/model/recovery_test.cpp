// The recovery file's text, read back: the facts of whole files, and
// nothing from damaged ones. Whatever is read is written back the same; the
// recovery-file fuzz target's seeds hold the texts of facts written in any
// other way, which that rule refuses.
//
// The recovery folder: restoring and discarding (ten kept), what is set
// aside, and copies killed while they write. Which files a start-up offers,
// what the program asks about them, and the writer's thread are tested with
// the program.
#include "support/ended_process.h"
#include "support/files.h"

#include "recovery_store.h"
#include "temporary_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace nimbel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Names = std::vector<std::string>;
using testing_support::fileNames;
using testing_support::fileText;
using testing_support::writeFile;

std::chrono::sys_seconds at(std::int64_t seconds) { return std::chrono::sys_seconds(std::chrono::seconds(seconds)); }

// A project file's text of `notes` lines, each "N1X" and its column, then `note`.
std::string songText(int notes, const std::string& note = "C")
{
    std::string text = ";Nimbel MIDI Format\r\n;Created 2024/05/06\r\nSTART\r\nT120\r\n";
    for (int column = 1; column <= notes; ++column) text += "N1X" + std::to_string(column) + note + "\r\n";
    return text + "END\r\n";
}

// A recovery file's text: its facts' lines as given, then the song.
std::string recoveryFile(const std::string& project, const std::string& newProject = "0",
                         const std::string& time = "1715000000", const std::string& song = songText(1))
{
    return ";Nimbel MIDI Recovery\r\n;Project " + project + "\r\n;New project " + newProject + "\r\n;Time " + time +
           "\r\n" + song;
}

TEST(RecoveryFile, WholeFilesGiveTheirFactsAndDamagedOnesNothing)
{
    const std::string song = songText(1);
    // Each text, and the facts read from it (nullopt: it is no recovery file).
    const std::pair<std::string, std::optional<RecoveryFacts>> cases[] = {
        {recoveryFile("/songs/tune.nmd"), RecoveryFacts{"/songs/tune.nmd", false, at(1715000000)}},
        {recoveryFile("", "1", "0"), RecoveryFacts{"", true, at(0)}},
        {recoveryFile(" a%25b%0D%0A%09%7F.nmd "), RecoveryFacts{" a%b\r\n\t\x7F.nmd ", false, at(1715000000)}},
        // The song must be a whole project file.
        {recoveryFile("", "0", "1", song.substr(0, song.rfind("END"))), std::nullopt},
        {recoveryFile("", "0", "1", ";Nimbel MIDI Format\r\nEND\r\n"), std::nullopt},
        {recoveryFile("", "0", "1", "START\r\nT120\r\nEND\r\n"), std::nullopt},
        {recoveryFile("", "0", "1", ""), std::nullopt},
        // Other files.
        {song, std::nullopt},
        {"", std::nullopt},
        {";Nimbel MIDI Recovery\r\n", std::nullopt},
    };
    for (const auto& [text, facts] : cases) {
        SCOPED_TRACE(text);
        const auto read = parseRecoveryFileText(text);
        ASSERT_EQ(read.has_value(), facts.has_value());
        if (!read) continue;
        EXPECT_EQ(read->facts, *facts);
        EXPECT_EQ(read->songText, song);
        EXPECT_EQ(recoveryFileText(read->facts, read->songText), text);
    }
}

TEST(RecoveryStore, ARestoredFileBecomesThisCopysOwnAndADiscardedOneJoinsTheTenNewestDiscarded)
{
    const testing_support::ScratchFolder folder;
    const ProcessIdentity ended = testing_support::endedProcess();
    const auto file_time = fs::file_time_type::clock::now();
    for (int i = 0; i < 13; ++i) {
        const RecoveryStore copy(folder.directory(), {ended.pid, *ended.startTime + static_cast<std::uint64_t>(i)});
        ASSERT_TRUE(copy.write(songText(1), {"/songs/" + std::to_string(i) + ".nmd", false, at(1000 + i)}));
        fs::last_write_time(copy.ownFile(), file_time + std::chrono::minutes(i));
    }
    // A write cut short between naming its complete temporary file and the rename.
    writeFile(temporaryFileName(RecoveryStore(folder.directory(), ended).ownFile(), ended, 0), songText(1));
    const RecoveryStore self(folder.directory());
    RecoveryLeftovers found = self.leftovers();
    ASSERT_EQ(found.songs.size(), 13u);
    EXPECT_EQ(found.songs[0].facts.projectPath, "/songs/12.nmd");

    const std::string restoredText = fileText(found.songs[0].file);
    EXPECT_TRUE(self.restore(found.songs[0]));
    EXPECT_FALSE(self.restore(found.songs[0])) << "taken already";
    EXPECT_EQ(fileText(self.ownFile()), restoredText);
    for (std::size_t i = 1; i < found.songs.size(); ++i) EXPECT_TRUE(self.discard(found.songs[i]));
    EXPECT_TRUE(self.leftovers().songs.empty());
    Names kept;  // the ten newest: 11 … 2, newest first after the restored 12
    for (std::size_t i = 1; i <= 10; ++i) kept.push_back(fs::path(found.songs[i].file).filename());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(fileNames(folder.directory() + "discarded"), kept) << "the ten newest: 2 … 11";
    EXPECT_EQ(fileNames(folder.path), (Names{"discarded", fs::path(self.ownFile()).filename()}));

    // What was set aside earlier under the same name is never replaced.
    const std::string unreadable = RecoveryStore(folder.directory(), ended).ownFile();
    writeFile(unreadable, "first");
    EXPECT_EQ(self.leftovers().setAside.size(), 1u);
    writeFile(unreadable, "second");
    const RecoveryLeftovers again = self.leftovers();
    ASSERT_EQ(again.setAside.size(), 1u);
    EXPECT_EQ(fileText(again.setAside[0]), "second");
    EXPECT_EQ(fileNames(folder.directory() + "unreadable").size(), 2u);
}

// A copy that keeps rewriting its recovery file with one of two long songs
// is killed at random moments after its first write: the file is always one
// of them, whole, and the next start offers it.
TEST(RecoveryStore, ACopyKilledWhileWritingLeavesTheOldSongOrTheNewOne)
{
    const testing_support::ScratchFolder folder;
    const std::string songs[] = {songText(50000, "C5Q"), songText(50000, "D7E")};
    std::mt19937 random(7);
    for (int run = 0; run < 20; ++run) {
        const pid_t child = ::fork();
        if (child == 0) {
            const RecoveryStore store(folder.directory());
            for (std::int64_t i = 0;; ++i) store.write(songs[i % 2], {"/songs/long.nmd", false, at(i)});
        }
        const std::string file = RecoveryStore(folder.directory(), processIdentity(child)).ownFile();
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!fs::exists(file) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 100));  // a few writes at most
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        // A kill between naming the complete temporary file and the rename
        // leaves it; the next start removes it.
        const RecoveryLeftovers leftovers = RecoveryStore(folder.directory()).leftovers();
        EXPECT_TRUE(leftovers.setAside.empty());
        EXPECT_EQ(fileNames(folder.path), Names{fs::path(file).filename()});
        ASSERT_EQ(leftovers.songs.size(), 1u);
        EXPECT_TRUE(leftovers.songs[0].songText == songs[0] || leftovers.songs[0].songText == songs[1]);
        fs::remove(file);
    }
}

}  // namespace
}  // namespace nimbel
