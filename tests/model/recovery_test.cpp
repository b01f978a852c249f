// Recovery files: what a start-up is offered (one table over the kinds of
// files a folder may hold), the way back to the song's cells and facts,
// restoring, discarding (ten kept), setting aside, the writer's thread, and
// copies killed while they write.
#include "support/files.h"

#include "ended_process.h"
#include "notation.h"
#include "recovery_store.h"
#include "recovery_writer.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"
#include "temporary_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
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

// A song of `columns` note columns with about `notesPerColumn` notes in
// each, of texts that show as they are written.
Song randomSong(int columns, int notesPerColumn, unsigned seed)
{
    const char* const texts[] = {"C5Q", "V7E#4H", "5C", ";5C", "RQ", "G>S.", "ABWD", "C,41", "F<<Q"};
    std::mt19937 random(seed);
    Song song;
    setNoteColumnCount(song.grid, gridColumnOf(columns));
    song.grid.setCellText(0, kChannelColumn, "1 T" + std::to_string(40 + random() % 200));
    for (int i = 0; i < columns * notesPerColumn; ++i)
        song.grid.setCellText(static_cast<int>(random() % kSongRows),
                              gridColumnOf(1 + static_cast<int>(random() % columns)),
                              texts[random() % std::size(texts)]);
    return song;
}

std::string textOf(const Song& song) { return songFileTextFromGrid(song.grid, "2024/05/06"); }

// Every note cell of the song and its tempo, as one value to compare.
std::vector<std::string> cellsAndTempo(const Song& song)
{
    std::vector<std::string> cells{std::to_string(song.tempo), std::to_string(findEndColumn(song.grid))};
    for (int c = kFirstNoteColumn; c <= findEndColumn(song.grid); ++c)
        for (int row = 0; row < kSongRows; ++row) cells.push_back(song.grid.cellText(row, c));
    return cells;
}

Song loaded(std::string_view text)
{
    Song song;
    PlainPositionDisplay position;
    openSongAfterStartUp(song, position, text);
    return song;
}

std::vector<std::string> projects(const RecoveryLeftovers& found)
{
    std::vector<std::string> paths;
    for (const RecoveredSong& song : found.songs) paths.push_back(song.facts.projectPath);
    return paths;
}

// Who wrote a recovery file found at start-up.
enum class Writer { self, running, ended, endedWithThisProcessId };

// A recovery file in the folder at start-up: its writer, the project it
// keeps, when, and whether it can be read.
struct Kept {
    Writer writer;
    std::string project;
    std::int64_t time = 1000;
    bool readable = true;
    bool temporary = false;  // only the temporary file of a write cut short
};

struct StartUpCase {
    std::string name;
    std::vector<Kept> files;
    Names offered;     // their projects, in the order the user is asked
    int setAside = 0;  // moved to unreadable/
};

TEST(Recovery, AStartUpOffersTheFilesOfCopiesThatNoLongerRunNewestFirstAndSetsAsideUnreadableOnes)
{
    const ProcessIdentity self = thisProcess();
    const ProcessIdentity running = testing_support::runningProcess();
    const ProcessIdentity ended = testing_support::endedProcess();
    ASSERT_TRUE(self.startTime && ended.startTime) << "no /proc";
    const std::vector<StartUpCase> cases{
        {"no file", {}, {}},
        {"this copy's own", {{Writer::self, "/songs/own.nmd"}}, {}},
        {"a running copy's", {{Writer::running, "/songs/running.nmd"}}, {}},
        {"a running copy's that cannot be read", {{Writer::running, "", 0, false}}, {}},
        {"an ended copy's", {{Writer::ended, "/songs/ended.nmd"}}, {"/songs/ended.nmd"}},
        {"an ended copy's whose process id this copy has now",
         {{Writer::endedWithThisProcessId, "/songs/before.nmd"}},
         {"/songs/before.nmd"}},
        {"an ended copy's that cannot be read", {{Writer::ended, "", 0, false}}, {}, 1},
        {"several",
         {{Writer::ended, "/songs/old.nmd", 1000},
          {Writer::ended, "", 3000},
          {Writer::ended, "/songs/middle.nmd", 2000},
          {Writer::ended, "", 0, false},
          {Writer::running, "/songs/running.nmd", 4000},
          {Writer::self, "/songs/own.nmd", 5000},
          {Writer::ended, "/songs/cut-short.nmd", 6000, true, true}},  // after the last write, which would remove it
         {"", "/songs/middle.nmd", "/songs/old.nmd"},
         1},
    };
    for (const StartUpCase& c : cases) {
        SCOPED_TRACE(c.name);
        const testing_support::ScratchFolder folder;
        std::uint64_t nextEnded = 0;
        Names stay;  // files that stay where they are
        for (const Kept& kept : c.files) {
            ProcessIdentity writer = kept.writer == Writer::self      ? self
                                     : kept.writer == Writer::running ? running
                                                                      : ended;
            // Ended copies differ in their start times: none has an id in use by that process.
            if (kept.writer == Writer::ended) writer.startTime = *ended.startTime + nextEnded++;
            if (kept.writer == Writer::endedWithThisProcessId) writer = {self.pid, *self.startTime + 1};
            const RecoveryStore copy(folder.directory(), writer);
            const RecoveryFacts facts{kept.project, kept.project.empty(), at(kept.time)};
            if (kept.temporary)
                writeFile(temporaryFileName(copy.ownFile(), writer, 0), recoveryFileText(facts, "START"));
            else if (kept.readable) ASSERT_TRUE(copy.write(textOf(Song()), facts));
            else writeFile(copy.ownFile(), ";Nimbel MIDI Recovery\r\n;Project \r\n");  // cut short
            if ((kept.readable && !kept.temporary) || kept.writer == Writer::running)
                stay.push_back(fs::path(copy.ownFile()).filename());
        }
        const std::string unreadable = folder.directory() + "unreadable/";
        const RecoveryLeftovers found = RecoveryStore(folder.directory(), self).leftovers();
        EXPECT_EQ(projects(found), c.offered);
        ASSERT_EQ(found.setAside.size(), static_cast<std::size_t>(c.setAside));
        for (const std::string& file : found.setAside) {
            EXPECT_EQ(fs::path(file).parent_path(), fs::path(unreadable).parent_path());
            EXPECT_EQ(fileText(file), ";Nimbel MIDI Recovery\r\n;Project \r\n");
        }
        if (c.setAside > 0) stay.push_back("unreadable");
        std::sort(stay.begin(), stay.end());
        EXPECT_EQ(fileNames(folder.path), stay);
        for (const RecoveredSong& song : found.songs) {
            EXPECT_EQ(song.facts.newProject, song.facts.projectPath.empty());
            EXPECT_EQ(song.songText, textOf(Song()));
        }
    }
}

TEST(Recovery, TheSongComesBackWithItsCellsTempoAndFactsAlsoThroughTheSongFileReader)
{
    const ProcessIdentity ended = testing_support::endedProcess();
    const std::vector<RecoveryFacts> facts{
        {"/home/ann/songs/tune.nmd", false, at(1715000000)},
        {"", true, at(0)},
        {"/odd/ 100% \r\nSTART\r\n\tnames ;.nmd ", true, at(4102444800)},
    };
    for (unsigned seed = 0; seed < facts.size(); ++seed) {
        SCOPED_TRACE(seed);
        const testing_support::ScratchFolder folder;
        Song song = randomSong(300, 4, seed);
        ASSERT_TRUE(RecoveryStore(folder.directory(), ended).write(textOf(song), facts[seed]));
        const RecoveryLeftovers found = RecoveryStore(folder.directory()).leftovers();
        ASSERT_EQ(found.songs.size(), 1u);
        EXPECT_EQ(found.songs[0].facts, facts[seed]);
        EXPECT_EQ(found.songs[0].songText, textOf(song));
        rebuildNoteList(song);  // sets the tempo from its cell
        EXPECT_EQ(cellsAndTempo(loaded(found.songs[0].songText)), cellsAndTempo(song));
        EXPECT_EQ(cellsAndTempo(loaded(fileText(found.songs[0].file))), cellsAndTempo(song));
    }
}

TEST(Recovery, ARestoredFileBecomesThisCopysOwnAndADiscardedOneJoinsTheTenNewestDiscarded)
{
    const testing_support::ScratchFolder folder;
    const ProcessIdentity ended = testing_support::endedProcess();
    const auto file_time = fs::file_time_type::clock::now();
    for (int i = 0; i < 13; ++i) {
        const RecoveryStore copy(folder.directory(), {ended.pid, *ended.startTime + static_cast<std::uint64_t>(i)});
        ASSERT_TRUE(copy.write(textOf(Song()), {"/songs/" + std::to_string(i) + ".nmd", false, at(1000 + i)}));
        fs::last_write_time(copy.ownFile(), file_time + std::chrono::minutes(i));
    }
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
    Names kept;
    for (int i = 2; i < 12; ++i)
        kept.push_back(fs::path(found.songs[static_cast<std::size_t>(12 - i)].file).filename());
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

TEST(Recovery, TheWriterCarriesRequestsOutInTheOrderMadeAlsoWhenItIsDestroyed)
{
    const testing_support::ScratchFolder folder;
    const RecoveryStore store(folder.directory() + "made/when/missing/");
    const std::string songs[] = {textOf(randomSong(50, 2, 1)), textOf(randomSong(50, 2, 2)),
                                 textOf(randomSong(50, 2, 3))};
    const auto keptSong = [&store]() {
        const auto contents =
            fs::exists(store.ownFile()) ? parseRecoveryFileText(fileText(store.ownFile())) : std::nullopt;
        return contents ? contents->songText : "";
    };
    {
        RecoveryWriter writer(store);
        writer.write(songs[0], {"/a.nmd", false, at(1)});
        writer.removeOwnFile();
        writer.write(songs[1], {"/a.nmd", false, at(2)});
        writer.waitUntilDone();
        EXPECT_EQ(keptSong(), songs[1]);
        writer.write(songs[2], {"/a.nmd", false, at(3)});
        writer.removeOwnFile();
        writer.waitUntilDone();
        EXPECT_FALSE(fs::exists(store.ownFile()));
        writer.write(songs[0], {"/a.nmd", false, at(4)});
    }
    EXPECT_EQ(keptSong(), songs[0]);
}

// A copy that keeps rewriting its recovery file with one of two long songs
// is killed at random moments after its first write: the file is always one
// of them, whole, and the next start offers it.
TEST(Recovery, ACopyKilledWhileWritingLeavesTheOldSongOrTheNewOne)
{
    const testing_support::ScratchFolder folder;
    const std::string songs[] = {textOf(randomSong(10000, 5, 1)), textOf(randomSong(10000, 5, 2))};
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
