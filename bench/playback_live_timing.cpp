// How closely the built-in synthesizer keeps time at the loudspeaker: a
// private PulseAudio server with a null sink, a 120-note metronome song
// (woodblock quarter notes, tempo 240) played live through the sequencer and
// the synthesizer, and the sink's monitor recorded raw. Each onset (the first
// sample above 20 % of the peak after 150 ms of quiet) is compared with the
// beat grid that starts when Play is chosen. The recording is tied to the
// steady clock by the sound server's own account of when each recorded frame
// was played. Reports the constant added latency (median onset error), the
// onset error around it (99th percentile and largest, targets 1.5 ms) and the
// drift over the song (target 2 ms); then what the synthesizer's audio side
// costs the processor while nothing plays.
#include "builtin_synth.h"
#include "clock.h"
#include "midi_output.h"
#include "music_checks.h"
#include "notation.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"
#include "system_midi_devices.h"

#include <benchmark/benchmark.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace nimbel {
namespace {

constexpr int kRate = 44100;
constexpr int kNotes = 120;
constexpr int kTempo = 240;
constexpr double kBeatNs = 60e9 / kTempo;

// A PulseAudio server of the benchmark's own with a null sink, reachable
// through a private runtime folder; ended and removed on destruction.
class NullSinkServer {
public:
    NullSinkServer()
    {
        std::string folder = (std::filesystem::temp_directory_path() / "nimbel-live-XXXXXX").string();
        if (!mkdtemp(folder.data())) return;
        folder_ = folder;
        setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
        unsetenv("PULSE_SERVER");
        const char* argv[] = {"pulseaudio",
                              "-n",
                              "--daemonize=no",
                              "--exit-idle-time=-1",
                              "--disable-shm=yes",
                              "-L",
                              "module-null-sink sink_name=nullsink rate=44100 norewinds=1",
                              "-L",
                              "module-native-protocol-unix auth-anonymous=1",
                              nullptr};
        if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = 0;
    }
    ~NullSinkServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    NullSinkServer(const NullSinkServer&) = delete;
    NullSinkServer& operator=(const NullSinkServer&) = delete;

private:
    std::string folder_;
    pid_t pid_ = 0;
};

struct SimpleFree {
    void operator()(pa_simple* stream) const { pa_simple_free(stream); }
};
using SimplePtr = std::unique_ptr<pa_simple, SimpleFree>;

SimplePtr openMonitor()
{
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, kRate, 2};
    const pa_buffer_attr attributes{static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1),
                                    static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1), 441 * 4};
    for (int attempt = 0; attempt < 200; ++attempt) {
        int error = 0;
        if (pa_simple* stream = pa_simple_new(nullptr, "live timing benchmark", PA_STREAM_RECORD, "nullsink.monitor",
                                              "monitor", &sampleFormat, nullptr, &attributes, &error))
            return SimplePtr(stream);
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return nullptr;
}

// Records the first channel of the monitor and, for every read, where frame 0
// lies on the steady clock by the server's account.
class MonitorRecorder {
public:
    explicit MonitorRecorder(pa_simple* stream) : stream_(stream), thread_([this] { run(); }) {}
    ~MonitorRecorder() { stop(); }
    void stop()
    {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
    }
    const std::vector<float>& samples() const { return samples_; }
    double originNs() const
    {
        std::vector<double> origins = origins_;
        std::nth_element(origins.begin(), origins.begin() + static_cast<std::ptrdiff_t>(origins.size() / 2),
                         origins.end());
        return origins[origins.size() / 2];
    }

private:
    void run()
    {
        std::vector<std::int16_t> buffer(441 * 2);
        while (!stopping_) {
            int error = 0;
            if (pa_simple_read(stream_, buffer.data(), buffer.size() * 2, &error) < 0) return;
            for (std::size_t i = 0; i < buffer.size(); i += 2) samples_.push_back(buffer[i]);
            const double now = static_cast<double>(SteadyClock::monotonicNs());
            const pa_usec_t latency = pa_simple_get_latency(stream_, &error);
            if (latency != static_cast<pa_usec_t>(-1))
                origins_.push_back(now - static_cast<double>(latency) * 1e3 -
                                   static_cast<double>(samples_.size()) * 1e9 / kRate);
        }
    }

    pa_simple* stream_;
    std::atomic<bool> stopping_ = false;
    std::vector<float> samples_;
    std::vector<double> origins_;
    std::thread thread_;
};

std::vector<std::size_t> onsets(const std::vector<float>& samples)
{
    float peak = 0;
    for (const float s : samples) peak = std::max(peak, std::abs(s));
    const float threshold = 0.2f * peak;
    const std::size_t quietFrames = kRate * 150 / 1000;
    std::vector<std::size_t> found;
    std::size_t quiet = quietFrames;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) <= threshold) {
            ++quiet;
            continue;
        }
        if (quiet >= quietFrames) found.push_back(i);
        quiet = 0;
    }
    return found;
}

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

void writeMetronome(Song& song)
{
    setNoteColumnCount(song.grid, gridColumnOf(kNotes));
    song.grid.setCellText(0, kChannelColumn, "1 T240");
    for (int column = 1; column <= kNotes; ++column) song.grid.setCellText(0, gridColumnOf(column), "V95CQ,116");
    rebuildNoteList(song);
}

void BM_LiveOnsetsAgainstTheBeatGrid(benchmark::State& state)
{
    for (auto _ : state) {
        NullSinkServer server;
        SimplePtr monitor = openMonitor();
        if (!monitor) {
            state.SkipWithError("no PulseAudio server (package pulseaudio)");
            return;
        }
        MonitorRecorder recorder(monitor.get());
        Song song;
        writeMetronome(song);
        SystemMidiDevices devices;
        auto output = std::make_unique<MidiOutput>();
        if (!output->openOutput(devices, -1)) {
            state.SkipWithError("the built-in synthesizer did not start (package fluid-soundfont-gm)");
            return;
        }
        SteadyClock clock;
        Sequencer sequencer(song, *output, clock);
        PlainPositionDisplay position;
        position.setMaximum(kNotes);
        PlainMusicChecks checks;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));

        // Play as a millisecond tick begins: the beat grid starts at that tick.
        const std::int64_t tick = clock.nowMs();
        while (clock.nowMs() == tick) {}
        const double gridStartNs = static_cast<double>(SteadyClock::monotonicNsAt(clock.nowMs()));
        sequencer.mainPlay(position, checks);
        while (sequencer.isPlaying()) sequencer.playbackStep(position);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        output.reset();
        recorder.stop();

        const std::vector<std::size_t> heard = onsets(recorder.samples());
        state.counters["onsets"] = static_cast<double>(heard.size());
        if (heard.size() != kNotes) {
            state.SkipWithError("not every note was heard once");
            return;
        }
        std::vector<double> errors;
        for (std::size_t k = 0; k < heard.size(); ++k)
            errors.push_back((recorder.originNs() + static_cast<double>(heard[k]) * 1e9 / kRate - gridStartNs -
                              static_cast<double>(k) * kBeatNs) /
                             1e6);
        const double latency = percentile(errors, 0.5);
        std::vector<double> around;
        for (const double e : errors) around.push_back(std::abs(e - latency));
        // Least-squares slope of the errors, over the song's length.
        double meanK = (kNotes - 1) / 2.0, meanE = 0, sxy = 0, sxx = 0;
        for (const double e : errors) meanE += e / kNotes;
        for (int k = 0; k < kNotes; ++k) {
            sxy += (k - meanK) * (errors[static_cast<std::size_t>(k)] - meanE);
            sxx += (k - meanK) * (k - meanK);
        }
        state.counters["latency_ms"] = latency;
        state.counters["error_p99_ms(<=1.5)"] = percentile(around, 0.99);
        state.counters["error_max_ms"] = *std::max_element(around.begin(), around.end());
        state.counters["drift_ms(<=2)"] = sxy / sxx * (kNotes - 1);
    }
}
BENCHMARK(BM_LiveOnsetsAgainstTheBeatGrid)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

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
        state.counters["latency_ms"] = static_cast<double>(synth->latencyNs()) / 1e6;
        const double start = processCpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(kSeconds));
        state.counters["core_percent"] = (processCpuSeconds() - start) / kSeconds * 100.0;
    }
}
BENCHMARK(BM_SynthesizerIdleProcessorShare)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace nimbel
