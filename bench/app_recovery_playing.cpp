// Playback while the recovery file is kept: a 10,000-column song of 15 full
// channels (1.9 MB as a project file) plays at tempo 600 while it is edited
// four times a second far from where it plays, and the loop does what the
// main loop does between events: the sequencer's idle step, then the
// recovery keeper. Measured at the output: how late each note-on is sent
// after the moment it is meant for, with the keeper (1) and without (0). A
// port that renders sound itself places each note at its moment plus its
// latency (about 19 ms through PulseAudio), so onsets at the loudspeaker
// move only when a note is sent later than that. Also what the keeper's
// calls cost the loop: the longest, and how many made the song's text.
#include "bench_statistics.h"
#include "midi_output.h"
#include "music_checks.h"
#include "port_devices.h"
#include "project_state.h"
#include "recovery_keeper.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace nimbel {
namespace {

constexpr int kColumns = 10'000;
constexpr int kPlayed = 300;  // 30 s at tempo 600
constexpr const char* kTexts[] = {"C5Q", "V7E#4H", "F<<Q", "ABWD", "RQ", "G>S.", "5C7", "BB+E", "D", "C,41"};

// Keeps how late each note-on was sent, in milliseconds.
class LatenessPort final : public MidiPort {
public:
    explicit LatenessPort(std::vector<double>& lateMs) : lateMs_(lateMs) {}
    void send(std::uint32_t) override {}
    void sendAt(std::uint32_t packed, std::int64_t dueMs) override
    {
        if ((packed & 0xF0) == 0x90 && (packed >> 16) != 0)
            lateMs_.push_back(static_cast<double>(SteadyClock::monotonicNs() - SteadyClock::monotonicNsAt(dueMs)) /
                              1e6);
    }

private:
    std::vector<double>& lateMs_;
};

void BM_NotesSentWhileTheRecoveryFileIsKept(benchmark::State& state)
{
    const bool keeping = state.range(0) != 0;
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("nimbel-recovery-play-" + std::to_string(::getpid()))).string() +
        "/";
    Song song;
    setNoteColumnCount(song.grid, gridColumnOf(kColumns));
    song.grid.setCellText(0, kChannelColumn, "1 T600");
    for (int c = 1; c <= kColumns; ++c)
        for (int row = 0; row < kSongRows; ++row)
            song.grid.setCellText(row, gridColumnOf(c), kTexts[(c * 7 + row) % std::size(kTexts)]);
    song.noteListStale = true;  // Play reads the notes and the tempo from the grid
    for (auto _ : state) {
        std::vector<double> lateMs;
        bench::OnePortDevices devices("measuring", std::make_unique<LatenessPort>(lateMs));
        MidiOutput output;
        output.openOutput(devices, -1);
        SteadyClock clock;
        Sequencer sequencer(song, output, clock);
        PlainPositionDisplay position;
        position.setMaximum(kColumns);
        PlainMusicChecks checks;
        const RecoveryStore store(folder);
        RecoveryKeeper keeper(store, clock);
        ProjectState project{"/songs/long.nmd"};
        std::int64_t nextEdit = 0;
        int edits = 0, texts = 0;
        double longestMs = 0;
        sequencer.mainPlay(position, checks);
        while (sequencer.isPlaying() && sequencer.state().playColumn <= kPlayed) {
            sequencer.playbackStep(position);
            if (clock.nowMs() >= nextEdit) {
                song.grid.setCellText(3, gridColumnOf(5000 + edits), kTexts[edits % std::size(kTexts)]);
                markSongChanged(project, song);
                nextEdit = clock.nowMs() + 250;
                ++edits;
            }
            if (!keeping) continue;
            const auto start = std::chrono::steady_clock::now();
            keeper.keep(song.grid, project, sequencer.nextDueTime());
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            longestMs = std::max(longestMs, ms);
            texts += ms > 1.0;
        }
        keeper.removeFileAndWait();
        state.counters["notes"] = static_cast<double>(lateMs.size());
        state.counters["late_p50_ms"] = bench::percentile(lateMs, 0.5);
        state.counters["late_p99_ms"] = bench::percentile(lateMs, 0.99);
        state.counters["late_max_ms"] = *std::max_element(lateMs.begin(), lateMs.end());
        state.counters["edits"] = edits;
        state.counters["texts_made"] = texts;
        state.counters["keep_call_max_ms"] = longestMs;
    }
    std::filesystem::remove_all(folder);
    state.SetLabel(keeping ? "recovery file kept" : "no recovery file");
}
BENCHMARK(BM_NotesSentWhileTheRecoveryFileIsKept)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
}  // namespace nimbel
