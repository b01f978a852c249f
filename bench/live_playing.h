// A song played live through the sequencer and the built-in synthesizer to
// a null sink of a PulseAudio server of the benchmark's own, with each note
// column's onset measured at the sink against the beat grid that starts when
// Play is chosen (tempo 240), and the figures the live benchmarks report.
// A benchmark may give the song more than its first channel and do work of
// its own between the sequencer's idle steps, as the main loop does.
#pragma once

#include "builtin_synth.h"
#include "midi_output.h"
#include "music_checks.h"
#include "notation.h"
#include "play_voices.h"
#include "playback_listening.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace nimbel::bench {

inline constexpr int kTempo = 240;
inline constexpr double kBeatNs = 60e9 / kTempo;

// Hands a synthesizer that is already running to a MidiOutput.
class StartedSynthDevices final : public MidiDevices {
public:
    explicit StartedSynthDevices(std::unique_ptr<BuiltInSynth> synth) : synth_(std::move(synth)) {}
    int count() override { return 0; }
    std::optional<MidiDeviceCaps> capabilities(int) override { return MidiDeviceCaps{"synth", 1}; }
    std::unique_ptr<MidiPort> open(int) override { return std::move(synth_); }

private:
    std::unique_ptr<BuiltInSynth> synth_;
};

struct LiveSong {
    std::vector<std::string> cells;  // channel 1's, one per note column from column 1: the notes measured
    // Writes the rest of the song (after channel 1 and the tempo); the song
    // plays only as far as `cells` go.
    std::function<void(Song&)> more = {};
    // Runs after every idle step while the song plays, on the same thread.
    std::function<void(Song&, Sequencer&)> betweenSteps = {};
};

struct LiveRun {
    std::vector<std::optional<double>> errorsMs;  // one per column, empty when not heard
    double latencyGrantedMs = 0;
    double processorPercent = 0;  // of one core, the whole process while playing
    int underruns = 0;
};

// Plays the song live and measures each of its measured columns' onsets;
// false (with the reason given to `state`) when the sound server or the
// synthesizer is missing.
inline bool playLive(benchmark::State& state, const LiveSong& live, LiveRun& run)
{
    const std::vector<std::string>& cells = live.cells;
    NullSinkServer server;
    SimplePtr monitor = openMonitor();
    if (!monitor) {
        state.SkipWithError("no PulseAudio server (package pulseaudio)");
        return false;
    }
    MonitorRecorder recorder(monitor.get(), static_cast<int>(cells.size() * kBeatNs / 1e9) + 10);
    Song song;
    const int columns = static_cast<int>(cells.size());
    setNoteColumnCount(song.grid, gridColumnOf(columns));
    song.grid.setCellText(0, kChannelColumn, "1 T" + std::to_string(kTempo));
    for (int column = 1; column <= columns; ++column)
        song.grid.setCellText(0, gridColumnOf(column), cells[static_cast<std::size_t>(column - 1)]);
    if (live.more) live.more(song);
    rebuildNoteList(song);
    auto started = BuiltInSynth::start({});
    if (!started) {
        state.SkipWithError("the built-in synthesizer did not start (package fluid-soundfont-gm)");
        return false;
    }
    BuiltInSynth& synth = *started;
    StartedSynthDevices devices(std::move(started));
    auto output = std::make_unique<MidiOutput>();
    output->openOutput(devices, -1);
    SteadyClock clock;
    Sequencer sequencer(song, *output, clock);
    PlainPositionDisplay position;
    position.setMaximum(columns);
    PlainMusicChecks checks;
    // Play reads the song's voices first and makes its first column due once
    // they are ready; read them now, so that the beat grid starts at Play.
    output->prepareVoices(voicesToPrepare(song));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // Play as a millisecond tick begins: the beat grid starts at that tick.
    const std::int64_t tick = clock.nowMs();
    while (clock.nowMs() == tick) {}
    const double gridStartNs = static_cast<double>(SteadyClock::monotonicNsAt(clock.nowMs()));
    const double cpuStart = processCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    sequencer.mainPlay(position, checks);
    while (sequencer.isPlaying() && sequencer.state().playColumn <= columns) {
        sequencer.playbackStep(position);
        if (live.betweenSteps) live.betweenSteps(song, sequencer);
    }
    run.processorPercent = (processCpuSeconds() - cpuStart) /
                           std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count() * 100.0;
    run.latencyGrantedMs = static_cast<double>(synth.latencyNs()) / 1e6;
    run.underruns = synth.underruns();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    output.reset();
    recorder.stop();

    std::vector<double> moments;
    for (std::size_t k = 0; k < cells.size(); ++k) moments.push_back(gridStartNs + static_cast<double>(k) * kBeatNs);
    run.errorsMs = onsetErrorsMs(recorder, moments);
    return true;
}

// The onset figures of a run in which every note should sound alike.
inline void reportOnsets(benchmark::State& state, const LiveRun& run)
{
    std::vector<double> errors;
    for (const auto& error : run.errorsMs)
        if (error) errors.push_back(*error);
    state.counters["notes_not_heard"] = static_cast<double>(run.errorsMs.size() - errors.size());
    if (errors.size() < 2) {
        state.SkipWithError("too few notes were heard");
        return;
    }
    const double latency = percentile(errors, 0.5);
    std::vector<double> around;
    for (const double e : errors) around.push_back(std::abs(e - latency));
    state.counters["latency_granted_ms"] = run.latencyGrantedMs;
    state.counters["latency_at_sink_ms(<=20)"] = latency;
    state.counters["error_p99_ms(<=1.5)"] = percentile(around, 0.99);
    state.counters["error_max_ms"] = *std::max_element(around.begin(), around.end());
    state.counters["drift_ms(<=2)"] = driftOver(errors);
    state.counters["underruns"] = run.underruns;
    state.counters["cpu_percent_playing"] = run.processorPercent;
}

}  // namespace nimbel::bench
