// Playback while the recovery file is kept: a 10,000-column song (all 15
// channels full from column 121 on, 1.9 MB as a project file) whose first
// 120 columns play a metronome live, edited four times a second far from
// where it plays, as the main loop runs it: an idle step, then the recovery
// keeper. Onset figures with the keeper (1) and without it (0), and what the
// keeper's calls cost the thread that plays: the longest call and how many
// made the song's text.
#include "live_playing.h"
#include "project_state.h"
#include "recovery_keeper.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace nimbel {
namespace {

using namespace bench;

constexpr int kColumns = 10'000;
constexpr int kMeasured = 120;
constexpr const char* kTexts[] = {"C5Q", "V7E#4H", "F<<Q", "ABWD", "RQ", "G>S.", "5C7", "BB+E", "D", "C,41"};

void BM_OnsetsWhileTheRecoveryFileIsKept(benchmark::State& state)
{
    const bool keeping = state.range(0) != 0;
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("nimbel-recovery-live-" + std::to_string(::getpid()))).string() +
        "/";
    for (auto _ : state) {
        const RecoveryStore store(folder);
        SteadyClock clock;
        RecoveryKeeper keeper(store, clock);
        ProjectState project{"/songs/long.nmd"};
        std::int64_t nextEdit = 0;
        int edits = 0, texts = 0;
        double longestMs = 0;
        LiveSong live{std::vector<std::string>(kMeasured, "V95CQ,116")};
        live.more = [](Song& song) {
            setNoteColumnCount(song.grid, gridColumnOf(kColumns));
            for (int c = kMeasured + 1; c <= kColumns; ++c)
                for (int row = 0; row < 15; ++row)
                    song.grid.setCellText(row, gridColumnOf(c), kTexts[(c * 7 + row) % std::size(kTexts)]);
        };
        live.betweenSteps = [&](Song& song, Sequencer& sequencer) {
            if (clock.nowMs() >= nextEdit) {
                song.grid.setCellText(3, gridColumnOf(5000 + edits), kTexts[edits % std::size(kTexts)]);
                markSongChanged(project, song);
                nextEdit = clock.nowMs() + 250;
                ++edits;
            }
            if (!keeping) return;
            const auto start = std::chrono::steady_clock::now();
            keeper.keep(song.grid, project, sequencer.nextDueTime());
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            longestMs = std::max(longestMs, ms);
            texts += ms > 1.0;
        };
        LiveRun run;
        if (!playLive(state, live, run)) return;
        reportOnsets(state, run);
        state.counters["edits"] = edits;
        state.counters["texts_made"] = texts;
        state.counters["keep_call_max_ms"] = longestMs;
        keeper.removeFileAndWait();
    }
    std::filesystem::remove_all(folder);
    state.SetLabel(keeping ? "recovery file kept" : "no recovery file");
}
BENCHMARK(BM_OnsetsWhileTheRecoveryFileIsKept)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace nimbel
