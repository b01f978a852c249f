// How closely the sequencer keeps time on the real clock: a 1,000-column
// song at tempo 240 (a column every 250 ms, about four minutes) played into
// an output that notes the exact time of each note-on. Reports each note-on's
// lateness against the beat grid (median, 99th percentile, maximum, in
// microseconds) and the drift of the last note over the song.
#include "bench_statistics.h"
#include "clock.h"
#include "midi_output.h"
#include "music_checks.h"
#include "notation.h"
#include "port_devices.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace nimbel {
namespace {

using Microseconds = std::chrono::duration<double, std::micro>;

// Keeps the moment of every note-on, to the microsecond.
class StopwatchPort final : public MidiPort {
public:
    explicit StopwatchPort(std::vector<std::chrono::steady_clock::time_point>& noteOns) : noteOns_(noteOns) {}
    void send(std::uint32_t packed) override
    {
        if ((packed & 0xF0) == 0x90 && (packed >> 16) != 0) noteOns_.push_back(std::chrono::steady_clock::now());
    }

private:
    std::vector<std::chrono::steady_clock::time_point>& noteOns_;
};

void BM_NoteOnLatenessOnTheRealClock(benchmark::State& state)
{
    const int columns = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Song song;
        setNoteColumnCount(song.grid, gridColumnOf(columns));
        song.grid.setCellText(0, kChannelColumn, "1 T240");
        for (int column = 1; column <= columns; ++column)
            song.grid.setCellText((column - 1) % kSongRows, gridColumnOf(column), column % 2 ? "G5E" : "A4S");
        rebuildNoteList(song);

        std::vector<std::chrono::steady_clock::time_point> noteOns;
        noteOns.reserve(static_cast<std::size_t>(columns));
        bench::OnePortDevices devices("stopwatch", std::make_unique<StopwatchPort>(noteOns));
        MidiOutput output;
        output.openOutput(devices, -1);
        SteadyClock clock;
        Sequencer sequencer(song, output, clock);
        PlainPositionDisplay position;
        position.setMaximum(columns);
        PlainMusicChecks checks;

        // Play as a millisecond tick begins: the sequencer's beat grid (Play's
        // tick plus whole column periods) then starts at this very moment.
        const std::int64_t tick = clock.nowMs();
        while (clock.nowMs() == tick) {}
        const auto gridStart = std::chrono::steady_clock::now();
        sequencer.mainPlay(position, checks);
        while (sequencer.isPlaying()) sequencer.playbackStep(position);

        const double periodUs = 60'000'000.0 / 240;
        std::vector<double> lateness;
        for (std::size_t k = 0; k < noteOns.size(); ++k)
            lateness.push_back(Microseconds(noteOns[k] - gridStart).count() - static_cast<double>(k) * periodUs);
        state.counters["notes"] = static_cast<double>(noteOns.size());
        state.counters["late_median_us"] = bench::percentile(lateness, 0.5);
        state.counters["late_p99_us"] = bench::percentile(lateness, 0.99);
        state.counters["late_max_us"] = *std::max_element(lateness.begin(), lateness.end());
        state.counters["drift_us"] = lateness.back() - lateness.front();
    }
}
BENCHMARK(BM_NoteOnLatenessOnTheRealClock)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace nimbel
