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
//    processor share of the whole process while playing. Apart: the onset
//    figures before the first underrun (each underrun grows the queue, and
//    with it the latency of every later note); in the loaded run, the
//    machine's freezes of 10 ms and more (see MachineFreezes), the longest,
//    and the underruns that did not come with one. The quiet run is not
//    watched: the watch would keep the processors from halting, and a
//    halted processor of this virtual machine takes milliseconds to wake.
//  - The first note of each voice against the later notes of that voice:
//    twelve voices the song has not used before, eight eighth notes each.
//  - A note written while editing, from the moment it is written to its
//    onset, for voices used the first time and again.
//  - What the synthesizer's audio side costs the processor while nothing plays.
#include "builtin_synth.h"
#include "machine_freezes.h"
#include "midi_output.h"
#include "music_checks.h"
#include "notation.h"
#include "note_preview.h"
#include "play_voices.h"
#include "playback_listening.h"
#include "port_devices.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <string>

namespace nimbel {
namespace {

using namespace bench;

constexpr int kTempo = 240;
constexpr double kBeatNs = 60e9 / kTempo;

// One channel's cells, one per note column, at tempo 240.
void writeSong(Song& song, const std::vector<std::string>& cells)
{
    const int columns = static_cast<int>(cells.size());
    setNoteColumnCount(song.grid, gridColumnOf(columns));
    song.grid.setCellText(0, kChannelColumn, "1 T" + std::to_string(kTempo));
    for (int column = 1; column <= columns; ++column)
        song.grid.setCellText(0, gridColumnOf(column), cells[static_cast<std::size_t>(column - 1)]);
    rebuildNoteList(song);
}

struct LiveRun {
    std::vector<std::optional<double>> errorsMs;  // one per column, empty when not heard
    double latencyGrantedMs = 0;                  // as the song ended
    double processorPercent = 0;                  // of one core, the whole process while playing
    int underruns = 0;
    std::vector<std::int64_t> underrunsAtNs;  // when the output told of each
    std::size_t columnsBeforeUnderrun = 0;    // due before the first underrun was told
    std::int64_t playStartNs = 0;
};

// The moment a millisecond tick begins, on the steady clock: waiting for it
// makes the moment a message is sent as its due time exact.
double nextTickNs(SteadyClock& clock)
{
    const std::int64_t tick = clock.nowMs();
    while (clock.nowMs() == tick) {}
    return static_cast<double>(SteadyClock::monotonicNsAt(clock.nowMs()));
}

// Plays the song through `output` as the main window's Play does; the
// moments its columns were due, on the steady clock.
std::vector<double> playSong(Song& song, int columns, MidiOutput& output, BuiltInSynth& synth, LiveRun& run)
{
    SteadyClock clock;
    Sequencer sequencer(song, output, clock);
    PlainPositionDisplay position;
    position.setMaximum(columns);
    PlainMusicChecks checks;
    // Play reads the song's voices first and makes its first column due once
    // they are ready; read them now, so that the beat grid starts at Play.
    output.prepareVoices(voicesToPrepare(song));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // Play as a millisecond tick begins: the beat grid starts at that tick.
    const double gridStartNs = nextTickNs(clock);
    run.playStartNs = static_cast<std::int64_t>(gridStartNs);
    const double cpuStart = processCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    sequencer.mainPlay(position, checks);
    while (sequencer.isPlaying()) {
        sequencer.playbackStep(position);
        if (synth.underruns() > static_cast<int>(run.underrunsAtNs.size()))
            run.underrunsAtNs.resize(static_cast<std::size_t>(synth.underruns()), SteadyClock::monotonicNs());
    }
    run.processorPercent = (processCpuSeconds() - cpuStart) /
                           std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count() * 100.0;
    run.latencyGrantedMs = static_cast<double>(synth.latencyNs()) / 1e6;
    run.underruns = synth.underruns();
    std::vector<double> moments;
    for (int k = 0; k < columns; ++k) moments.push_back(gridStartNs + k * kBeatNs);
    run.columnsBeforeUnderrun =
        run.underrunsAtNs.empty()
            ? moments.size()
            : static_cast<std::size_t>(std::count_if(moments.begin(), moments.end(), [&](double moment) {
                  return moment < static_cast<double>(run.underrunsAtNs.front());
              }));
    return moments;
}

// Runs `play` with the built-in synthesizer as the MIDI output of a sound
// server of its own, whose sink is recorded for up to `seconds`; then hands
// the recording, complete, to `measure`. False (with the reason given to
// `state`) when the sound server or the synthesizer is missing.
bool withLiveOutput(benchmark::State& state, int seconds, const std::function<void(MidiOutput&, BuiltInSynth&)>& play,
                    const std::function<void(const MonitorRecorder&)>& measure)
{
    NullSinkServer server;
    SimplePtr monitor = openMonitor();
    if (!monitor) {
        state.SkipWithError("no PulseAudio server (package pulseaudio)");
        return false;
    }
    MonitorRecorder recorder(monitor.get(), seconds);
    auto started = BuiltInSynth::start({});
    if (!started) {
        state.SkipWithError("the built-in synthesizer did not start (package fluid-soundfont-gm)");
        return false;
    }
    BuiltInSynth& synth = *started;
    OnePortDevices devices("synth", std::move(started));
    auto output = std::make_unique<MidiOutput>();
    output->openOutput(devices, -1);
    play(*output, synth);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    output.reset();
    recorder.stop();
    measure(recorder);
    return true;
}

// Plays `cells` live and measures each column's onset.
bool playLive(benchmark::State& state, const std::vector<std::string>& cells, LiveRun& run)
{
    Song song;
    writeSong(song, cells);
    const int columns = static_cast<int>(cells.size());
    std::vector<double> moments;
    return withLiveOutput(
        state, static_cast<int>(columns * kBeatNs / 1e9) + 10,
        [&](MidiOutput& output, BuiltInSynth& synth) { moments = playSong(song, columns, output, synth, run); },
        [&](const MonitorRecorder& recorder) { run.errorsMs = onsetErrorsMs(recorder, moments); });
}

// The heard onsets among `errorsMs`: their median, and each one's distance from it.
struct OnsetSpread {
    std::vector<double> heardMs;
    double medianMs = 0;
    std::vector<double> aroundMs;
};
OnsetSpread spreadOf(std::vector<std::optional<double>>::const_iterator begin,
                     std::vector<std::optional<double>>::const_iterator end)
{
    OnsetSpread spread;
    for (auto error = begin; error != end; ++error)
        if (*error) spread.heardMs.push_back(**error);
    spread.medianMs = percentile(spread.heardMs, 0.5);
    for (const double e : spread.heardMs) spread.aroundMs.push_back(std::abs(e - spread.medianMs));
    return spread;
}

// The onset figures of a run in which every note should sound alike.
void reportOnsets(benchmark::State& state, const LiveRun& run)
{
    const OnsetSpread all = spreadOf(run.errorsMs.begin(), run.errorsMs.end());
    state.counters["notes_not_heard"] = static_cast<double>(run.errorsMs.size() - all.heardMs.size());
    if (all.heardMs.size() < 2) {
        state.SkipWithError("too few notes were heard");
        return;
    }
    const OnsetSpread beforeUnderrun =
        spreadOf(run.errorsMs.begin(), run.errorsMs.begin() + static_cast<std::ptrdiff_t>(run.columnsBeforeUnderrun));
    state.counters["latency_granted_ms"] = run.latencyGrantedMs;
    state.counters["latency_at_sink_ms(<=20)"] = all.medianMs;
    state.counters["error_p99_ms(<=1.5)"] = percentile(all.aroundMs, 0.99);
    state.counters["error_max_ms"] = *std::max_element(all.aroundMs.begin(), all.aroundMs.end());
    state.counters["drift_ms(<=2)"] = driftOver(all.heardMs);
    state.counters["before_an_underrun_notes"] = static_cast<double>(beforeUnderrun.heardMs.size());
    state.counters["before_an_underrun_latency_at_sink_ms"] = beforeUnderrun.medianMs;
    state.counters["before_an_underrun_error_p99_ms"] = percentile(beforeUnderrun.aroundMs, 0.99);
    state.counters["before_an_underrun_drift_ms"] = driftOver(beforeUnderrun.heardMs);
    state.counters["underruns"] = run.underruns;
    state.counters["cpu_percent_playing"] = run.processorPercent;
}

// The machine's freezes of 10 ms and more, and the underruns that were not
// told of within half a second after one of them ended: the output's own.
// A freeze stops the sound server's sink with everything else; its thread
// then takes what it missed at once, and the part of the output's queue kept
// in the stream's buffer has to bridge the freeze. Each underrun is also
// said on standard error, with the longest freeze before it.
void reportFreezes(benchmark::State& state, const LiveRun& run, const MachineFreezes& watch)
{
    constexpr std::int64_t kFreezeNs = 10'000'000;
    constexpr std::int64_t kToldWithinNs = 500'000'000;
    const std::vector<TimeSpan> freezes = watch.freezes();
    const auto longestFreezeNs = [&](std::int64_t fromNs, std::int64_t toNs) {
        std::int64_t longest = 0;
        for (const TimeSpan& freeze : freezes)
            if (freeze.toNs >= fromNs && freeze.fromNs <= toNs)
                longest = std::max(longest, freeze.toNs - freeze.fromNs);
        return longest;
    };
    int outside = 0;
    for (const std::int64_t at : run.underrunsAtNs) {
        const std::int64_t freezeNs = longestFreezeNs(at - kToldWithinNs, at);
        if (freezeNs < kFreezeNs) ++outside;
        std::fprintf(stderr, "underrun told %.3f s into the song, after a freeze of %.1f ms\n",
                     static_cast<double>(at - run.playStartNs) / 1e9, static_cast<double>(freezeNs) / 1e6);
    }
    state.counters["machine_freezes"] =
        static_cast<double>(std::count_if(freezes.begin(), freezes.end(), [](const TimeSpan& freeze) {
            return freeze.toNs - freeze.fromNs >= kFreezeNs;
        }));
    state.counters["machine_freeze_longest_ms"] =
        static_cast<double>(longestFreezeNs(run.playStartNs, std::numeric_limits<std::int64_t>::max())) / 1e6;
    state.counters["underruns_outside_freezes"] = outside;
}

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
        std::optional<MachineFreezes> watch;
        if (loaded) watch.emplace();
        LiveRun run;
        if (!playLive(state, std::vector<std::string>(notes, "V95CQ,116"), run)) return;
        reportOnsets(state, run);
        if (!watch) continue;
        watch->stop();
        reportFreezes(state, run, *watch);
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
        if (!playLive(state, cells, run)) return;
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

// Notes written while editing, as the program sounds them (NotePreview)
// right after note entry: from that moment to the onset at the sink. Twelve
// voices the synthesizer has not read yet, a note each a second apart, then
// the same twelve again: the first round includes reading each voice's
// samples. Target: heard within 60 ms.
void BM_NotesHeardWhileEditing(benchmark::State& state)
{
    constexpr int kVoices[] = {116, 114, 118, 14, 109, 119, 12, 33, 34, 35, 37, 38};
    for (auto _ : state) {
        std::vector<double> moments;
        std::vector<std::optional<double>> errors;
        const auto play = [&](MidiOutput& output, BuiltInSynth&) {
            SteadyClock clock;
            const ChannelState channels{};
            NotePreview preview(output, clock, channels);
            output.prepareVoices({});  // returns once the stream plays
            for (int round = 0; round < 2; ++round) {
                for (const int voice : kVoices) {
                    NoteRecord note;
                    note.channel = 1;
                    note.octave = 5;
                    note.volume = 9;
                    note.voice = voice;
                    note.duration = 1.0f;
                    moments.push_back(nextTickNs(clock));
                    preview.play(std::vector<NoteRecord>{note}, 240);
                    while (const auto due = preview.nextDueTime()) {
                        clock.sleepMs(*due - clock.nowMs());
                        preview.step();
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(750));
                }
            }
        };
        const auto measure = [&](const MonitorRecorder& recorder) { errors = onsetErrorsMs(recorder, moments); };
        if (!withLiveOutput(state, 2 * std::size(kVoices) + 10, play, measure)) return;
        for (int round = 0; round < 2; ++round) {
            std::vector<double> heard;
            for (std::size_t i = 0; i < std::size(kVoices); ++i)
                if (const auto& e = errors[round * std::size(kVoices) + i]) heard.push_back(*e);
            const std::string name = round == 0 ? "first_use" : "voice_read";
            state.counters[name + "_heard"] = static_cast<double>(heard.size());
            state.counters[name + "_median_ms"] = percentile(heard, 0.5);
            state.counters[name + "_max_ms(<=60)"] = heard.empty() ? 0 : *std::max_element(heard.begin(), heard.end());
        }
    }
}
BENCHMARK(BM_NotesHeardWhileEditing)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

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
