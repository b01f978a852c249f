// What the live-output benchmarks share: a PulseAudio server of their own
// with a null sink, a recording of the sink's monitor tied to the steady
// clock, finding each note's onset in it, processes that keep the
// processor busy, and the process's processor time.
#pragma once

#include "bench_statistics.h"
#include "clock.h"

#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace nimbel::bench {

inline constexpr int kRate = 44100;

// Starts a program with the benchmark's environment; 0 when it did not start.
inline pid_t spawnProgram(std::vector<const char*> argv)
{
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv.data()), environ) != 0) return 0;
    return pid;
}

inline void endProgram(pid_t pid, int signal = SIGTERM)
{
    if (pid <= 0) return;
    kill(pid, signal);
    waitpid(pid, nullptr, 0);
}

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
        pid_ = spawnProgram({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes", "-L",
                             "module-null-sink sink_name=nullsink rate=44100 norewinds=1", "-L",
                             "module-native-protocol-unix auth-anonymous=1"});
    }
    ~NullSinkServer()
    {
        endProgram(pid_);
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    NullSinkServer(const NullSinkServer&) = delete;
    NullSinkServer& operator=(const NullSinkServer&) = delete;

private:
    std::string folder_;
    pid_t pid_ = 0;
};

// `count` processes that spin for as long as this object lives.
class BusyProcessors {
public:
    explicit BusyProcessors(int count)
    {
        for (int i = 0; i < count; ++i) pids_.push_back(spawnProgram({"sh", "-c", "while :; do :; done"}));
    }
    ~BusyProcessors()
    {
        for (const pid_t pid : pids_) endProgram(pid, SIGKILL);
    }
    BusyProcessors(const BusyProcessors&) = delete;
    BusyProcessors& operator=(const BusyProcessors&) = delete;

private:
    std::vector<pid_t> pids_;
};

inline double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct SimpleFree {
    void operator()(pa_simple* stream) const { pa_simple_free(stream); }
};
using SimplePtr = std::unique_ptr<pa_simple, SimpleFree>;

// The sink's monitor, waiting for the server to come up.
inline SimplePtr openMonitor()
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
// lies on the steady clock by the server's account. The sink's clock need
// not run at the steady clock's rate (PulseAudio's null sink runs fast with
// short blocks, by an amount that changes with its block), so recorded
// sample i is placed on the steady clock by a straight line fitted to the
// accounts of the two seconds around it.
class MonitorRecorder {
public:
    // Room for `seconds` is kept from the start: growing a large buffer
    // while the sound plays would hold up the process's other threads.
    MonitorRecorder(pa_simple* stream, int seconds) : stream_(stream)
    {
        samples_.reserve(static_cast<std::size_t>(seconds) * kRate);
        reports_.reserve(static_cast<std::size_t>(seconds) * 100);
        thread_ = std::thread([this] { run(); });
    }
    ~MonitorRecorder() { stop(); }
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    void stop()
    {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
    }
    const std::vector<float>& samples() const { return samples_; }

    // The steady time at which sample `index` was played.
    double timeOf(double index) const
    {
        const auto [origin, drift] = lineAround(index);
        return origin + index * (kNsPerSample + drift);
    }
    // The sample played at steady time `ns`.
    double indexAt(double ns) const
    {
        double index = reports_.empty() ? 0 : (ns - reports_.front().second) / kNsPerSample;
        for (int pass = 0; pass < 3; ++pass) {
            const auto [origin, drift] = lineAround(index);
            index = (ns - origin) / (kNsPerSample + drift);
        }
        return index;
    }

private:
    static constexpr double kNsPerSample = 1e9 / kRate;
    static constexpr double kAroundSamples = kRate;  // a second each side

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
                reports_.push_back(
                    {static_cast<double>(samples_.size()),
                     now - static_cast<double>(latency) * 1e3 - static_cast<double>(samples_.size()) * kNsPerSample});
        }
    }

    // Origin against samples recorded, by least squares over the reports
    // within a second of `index`, after a first fit leaves out the tenth
    // furthest from it (reads that returned late).
    std::pair<double, double> lineAround(double index) const
    {
        const auto first = std::lower_bound(reports_.begin(), reports_.end(), index - kAroundSamples,
                                            [](const auto& report, double at) { return report.first < at; });
        const auto last = std::upper_bound(reports_.begin(), reports_.end(), index + kAroundSamples,
                                           [](double at, const auto& report) { return at < report.first; });
        std::vector<std::pair<double, double>> points(first, last);
        if (points.size() < 2) return {reports_.empty() ? 0 : reports_.front().second, 0};
        const auto fit = [](const std::vector<std::pair<double, double>>& p) {
            double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
            for (const auto& [x, y] : p)
                n += 1, sx += x - p.front().first, sy += y, sxx += (x - p.front().first) * (x - p.front().first),
                    sxy += (x - p.front().first) * y;
            const double b = n * sxx != sx * sx ? (n * sxy - sx * sy) / (n * sxx - sx * sx) : 0;
            return std::pair{(sy - b * sx) / n - b * p.front().first, b};
        };
        const auto [a, b] = fit(points);
        std::vector<double> residuals;
        for (const auto& [x, y] : points) residuals.push_back(std::abs(y - a - b * x));
        std::vector<double> sorted = residuals;
        std::sort(sorted.begin(), sorted.end());
        const double keep = sorted[sorted.size() * 9 / 10];
        std::vector<std::pair<double, double>> kept;
        for (std::size_t i = 0; i < points.size(); ++i)
            if (residuals[i] <= keep) kept.push_back(points[i]);
        return kept.size() < 2 ? std::pair{a, b} : fit(kept);
    }

    pa_simple* stream_;
    std::atomic<bool> stopping_ = false;
    std::vector<float> samples_;
    std::vector<std::pair<double, double>> reports_;  // samples recorded, origin
    std::thread thread_;
};

// Each note's onset error in milliseconds against its steady-clock moment:
// the first sample above a fifth of the loudest one within 240 ms of that
// moment. Empty for a note that was not heard (nothing above the noise) or
// heard late behind a sound that had not died away.
inline std::vector<std::optional<double>> onsetErrorsMs(const MonitorRecorder& recorder,
                                                        const std::vector<double>& momentsNs)
{
    constexpr double kWindowNs = 240e6;
    constexpr double kQuietBeforeNs = 10e6;
    constexpr float kHeard = 1000;  // of 32767: well above the dither
    const std::vector<float>& samples = recorder.samples();
    const auto indexAt = [&](double ns) {
        return static_cast<std::size_t>(std::clamp(recorder.indexAt(ns), 0.0, static_cast<double>(samples.size())));
    };
    std::vector<std::optional<double>> errors;
    for (const double moment : momentsNs) {
        const std::size_t from = indexAt(moment), to = indexAt(moment + kWindowNs);
        float peak = 0;
        for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(samples[i]));
        std::optional<double> error;
        const float threshold = 0.2f * peak;
        for (std::size_t i = from; peak >= kHeard && i < to; ++i) {
            if (std::abs(samples[i]) <= threshold) continue;
            bool quietBefore = true;
            for (std::size_t j = indexAt(moment - kQuietBeforeNs); j < from; ++j)
                quietBefore = quietBefore && std::abs(samples[j]) <= threshold;
            if (quietBefore) error = (recorder.timeOf(static_cast<double>(i)) - moment) / 1e6;
            break;
        }
        errors.push_back(error);
    }
    return errors;
}

// The least-squares slope of `values` against their index, over their whole length.
inline double driftOver(const std::vector<double>& values)
{
    const double n = static_cast<double>(values.size());
    if (values.size() < 2) return 0;
    double meanK = (n - 1) / 2.0, meanV = 0, sxy = 0, sxx = 0;
    for (const double v : values) meanV += v / n;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const double dk = static_cast<double>(k) - meanK;
        sxy += dk * (values[k] - meanV);
        sxx += dk * dk;
    }
    return sxy / sxx * (n - 1);
}

}  // namespace nimbel::bench
