// How closely the built-in synthesizer keeps time at the loudspeaker: a
// private PulseAudio server with a null sink, a song played live through the
// sequencer and the synthesizer, and the sink's monitor recorded. Each note's
// onset is compared with its place on the beat grid that starts when Play is
// chosen; the recording is tied to the steady clock by the sound server's own
// account of when each recorded frame was played.
//  - A metronome (woodblock quarter notes at tempo 240): 120 notes (30 s) on
//    a quiet machine, and five minutes (1,200 notes) with both processor
//    cores kept busy by two spinning processes, a run made by hand
//    (NIMBEL_BENCH_LONG=1). Reports the added latency the output grants and
//    the one measured at the sink (median onset error), the onset error
//    around it (99th percentile and largest, target 1.5 ms), the drift over
//    the song (target 2 ms), the underruns the stream reported, and the
//    processor share of the whole process while playing.
//  - The first note of each voice against the later notes of that voice:
//    twelve voices the song has not used before, eight eighth notes each.
//  - What the synthesizer's audio side costs the processor while nothing plays.
#include "live_playing.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace nimbel {
namespace {

using namespace bench;

void BM_LiveOnsetsAgainstTheBeatGrid(benchmark::State& state)
{
    const bool loaded = state.range(0) != 0;
    if (loaded && !std::getenv("NIMBEL_BENCH_LONG")) {
        state.SkipWithError("a five-minute run, made by hand: NIMBEL_BENCH_LONG=1");
        return;
    }
    const std::size_t notes = loaded ? 1200 : 120;
    for (auto _ : state) {
        const BusyProcessors busy(loaded ? 2 : 0);
        LiveRun run;
        if (!playLive(state, {std::vector<std::string>(notes, "V95CQ,116")}, run)) return;
        reportOnsets(state, run);
    }
    state.SetLabel(loaded ? "both cores busy, 5 min" : "quiet, 30 s");
}
BENCHMARK(BM_LiveOnsetsAgainstTheBeatGrid)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Twelve voices with sharp attacks, eight eighth notes each, the voice named
// by the first: the first note of each voice is the first it is heard.
void BM_FirstNotesOfEachVoice(benchmark::State& state)
{
    constexpr int kVoices[] = {116, 114, 118, 14, 109, 119, 12, 33, 34, 35, 37, 38};
    constexpr int kNotesPerVoice = 8;
    std::vector<std::string> cells;
    for (const int voice : kVoices) {
        cells.push_back("V95CS," + std::to_string(voice));
        cells.insert(cells.end(), kNotesPerVoice - 1, "V95CS");
    }
    for (auto _ : state) {
        LiveRun run;
        if (!playLive(state, {cells}, run)) return;
        // Each voice's first onset against the median of its later ones:
        // what a voice heard for the first time adds.
        std::vector<double> firstExtra, later;
        int notHeard = 0;
        for (std::size_t v = 0; v < std::size(kVoices); ++v) {
            const auto begin = run.errorsMs.begin() + static_cast<std::ptrdiff_t>(v * kNotesPerVoice);
            std::vector<double> rest;
            for (auto it = begin + 1; it != begin + kNotesPerVoice; ++it)
                if (*it) rest.push_back(**it);
            notHeard += static_cast<int>(std::count(begin, begin + kNotesPerVoice, std::nullopt));
            if (!*begin || rest.empty()) continue;
            const double median = percentile(rest, 0.5);
            firstExtra.push_back(**begin - median);
            for (const double e : rest) later.push_back(std::abs(e - median));
        }
        state.counters["notes_not_heard"] = notHeard;
        std::vector<double> firstMagnitude;
        for (const double e : firstExtra) firstMagnitude.push_back(std::abs(e));
        state.counters["first_note_extra_ms_max"] =
            firstMagnitude.empty() ? 0 : *std::max_element(firstMagnitude.begin(), firstMagnitude.end());
        state.counters["first_note_extra_ms_median"] = percentile(firstExtra, 0.5);
        state.counters["later_notes_error_max_ms"] = later.empty() ? 0 : *std::max_element(later.begin(), later.end());
        state.counters["latency_granted_ms"] = run.latencyGrantedMs;
    }
}
BENCHMARK(BM_FirstNotesOfEachVoice)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_SynthesizerIdleProcessorShare(benchmark::State& state)
{
    constexpr int kSeconds = 10;
    for (auto _ : state) {
        NullSinkServer server;
        if (!openMonitor()) {
            state.SkipWithError("no PulseAudio server (package pulseaudio)");
            return;
        }
        auto synth = BuiltInSynth::start({});
        if (!synth) {
            state.SkipWithError("the built-in synthesizer did not start");
            return;
        }
        synth->prepareVoices({});  // returns once the stream plays
        state.counters["latency_ms"] = static_cast<double>(synth->latencyNs()) / 1e6;
        const double start = processCpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(kSeconds));
        state.counters["core_percent"] = (processCpuSeconds() - start) / kSeconds * 100.0;
    }
}
BENCHMARK(BM_SynthesizerIdleProcessorShare)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace nimbel
