// What the idle loop costs the processor: the loop of playbackStep calls as
// the main event loop runs it with no events, for ten seconds of playing a
// 4,000-note song and ten seconds of standing stopped. Reports the
// processor time used as a percentage of one core.
#include "clock.h"
#include "midi_output.h"
#include "music_checks.h"
#include "notation.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace nimbel {
namespace {

constexpr std::int64_t kRunMs = 10'000;

class DiscardingDevices final : public MidiDevices {
    class Port final : public MidiPort {
    public:
        void send(std::uint32_t) override {}
    };

public:
    int count() override { return 0; }
    std::optional<MidiDeviceCaps> capabilities(int) override { return MidiDeviceCaps{"discard", 1}; }
    std::unique_ptr<MidiPort> open(int) override { return std::make_unique<Port>(); }
};

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void BM_IdleLoopProcessorShare(benchmark::State& state)
{
    const bool playing = state.range(0) != 0;
    for (auto _ : state) {
        Song song;
        const int columns = 1000;
        setNoteColumnCount(song.grid, gridColumnOf(columns));
        for (int column = 1; column <= columns; ++column)
            for (int row = 0; row < 4; ++row)
                song.grid.setCellText(row, gridColumnOf(column), row % 2 ? "E5Q,41" : "C4E,1");
        rebuildNoteList(song);
        DiscardingDevices devices;
        MidiOutput output;
        output.openOutput(devices, -1);
        SteadyClock clock;
        Sequencer sequencer(song, output, clock);
        PlainPositionDisplay position;
        position.setMaximum(columns);
        PlainMusicChecks checks;
        if (playing) sequencer.mainPlay(position, checks);

        const double cpuStart = threadCpuSeconds();
        const std::int64_t end = clock.nowMs() + kRunMs;
        while (clock.nowMs() < end) sequencer.playbackStep(position);
        state.counters["core_percent"] = (threadCpuSeconds() - cpuStart) / (kRunMs / 1000.0) * 100.0;
    }
    state.SetLabel(playing ? "playing" : "stopped");
}
BENCHMARK(BM_IdleLoopProcessorShare)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace nimbel
