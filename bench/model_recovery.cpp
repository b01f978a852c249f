// The recovery file of a 10,000-column song, which the program keeps at
// most 2 seconds after each edit group: making its text from the grid (on
// the user-interface thread, which owns the grid), writing it (flushed to
// the disk, on the recovery writer's thread), and the whole handing over
// through the RecoveryWriter as the user-interface thread sees it. Songs of
// one melody channel and of all 15 channels full.
#include "recovery_store.h"
#include "recovery_writer.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace nimbel {
namespace {

constexpr int kColumns = 10'000;
constexpr const char* kTexts[] = {"C5Q", "V7E#4H", "F<<Q", "ABWD", "RQ", "G>S.", "5C7", "BB+E", "D", "C,41"};

// A song of kColumns note columns with notes in the first `channels` rows of every one.
Song longSong(int channels)
{
    Song song;
    setNoteColumnCount(song.grid, gridColumnOf(kColumns));
    for (int c = 1; c <= kColumns; ++c)
        for (int row = 0; row < channels; ++row)
            song.grid.setCellText(row, gridColumnOf(c), kTexts[(c * 7 + row) % std::size(kTexts)]);
    return song;
}

struct Folder {
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() { std::filesystem::remove_all(path); }
    const std::string path =
        (std::filesystem::temp_directory_path() / ("nimbel-recovery-bench-" + std::to_string(::getpid()))).string() +
        "/";
};

const RecoveryFacts kFacts{"/home/ann/songs/long.nmd", false, std::chrono::sys_seconds(std::chrono::seconds(1))};

void BM_RecoveryTextFromGrid(benchmark::State& state)
{
    const Song song = longSong(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) bytes = songFileTextFromGrid(song.grid, "2024/01/01").size();
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_RecoveryFileWrite(benchmark::State& state)
{
    const std::string text = songFileTextFromGrid(longSong(static_cast<int>(state.range(0))).grid, "2024/01/01");
    const Folder folder;
    const RecoveryStore store(folder.path);
    for (auto _ : state) benchmark::DoNotOptimize(store.write(text, kFacts));
}

// What the user-interface thread spends: the text, then handing it to the writer.
void BM_RecoveryHandedToWriter(benchmark::State& state)
{
    const Song song = longSong(static_cast<int>(state.range(0)));
    const Folder folder;
    const RecoveryStore store(folder.path);
    RecoveryWriter writer(store);
    for (auto _ : state) {
        writer.write(songFileTextFromGrid(song.grid, "2024/01/01"), kFacts);
        state.PauseTiming();
        writer.waitUntilDone();  // one write at a time, as edit groups 2 s apart would make them
        state.ResumeTiming();
    }
}

BENCHMARK(BM_RecoveryTextFromGrid)->Arg(1)->Arg(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryFileWrite)->Arg(1)->Arg(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryHandedToWriter)->Arg(1)->Arg(15)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbel
