// The real program as a user starts it: nimbel-midi, copied into a folder of
// its own, on an X server (Xvfb) and a PulseAudio server with a null sink of
// the benchmark's own, with the built-in synthesizer and the first General
// MIDI SoundFont found. Reports the time from starting the process to its
// main window being mapped on the screen (target 200 ms), and its resident
// memory then and two seconds later, when the demonstration song has long
// been loaded and nothing is left to load (target 80 MB). Medians of seven
// starts after one that writes the demonstration song.
#include "app_bench_support.h"
#include "playback_listening.h"
#include "sound_fonts.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>
#include <poll.h>

#include <fstream>

namespace nimbel {
namespace {

namespace fs = std::filesystem;
using namespace bench;

constexpr int kStarts = 7;

// An X server without a screen, on the display number it picks itself.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        int fds[2];
        if (pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        pid_ = spawnProgram(
            {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
        close(fds[1]);
        pollfd ready{fds[0], POLLIN, 0};
        std::string number;
        char c = 0;
        while (poll(&ready, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~VirtualDisplay() { endProgram(pid_); }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = 0;
    std::string name_;
};

double residentMb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

bool isMainWindow(Display* display, Window window)
{
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name) return false;
    const bool main = std::string(name).rfind("Nimbel MIDI", 0) == 0;
    XFree(name);
    return main;
}

struct Start {
    double toWindowMs = 0;
    double residentAtWindowMb = 0;
    double residentSettledMb = 0;
};

// Starts the program in `folder` and waits for its main window; empty when none came.
std::optional<Start> startProgram(Display* display, const std::string& program)
{
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
    const auto began = std::chrono::steady_clock::now();
    const pid_t pid = spawnProgram({program.c_str()});
    std::optional<Start> start;
    while (!start && std::chrono::steady_clock::now() - began < std::chrono::seconds(20)) {
        if (!XPending(display)) {
            pollfd ready{ConnectionNumber(display), POLLIN, 0};
            poll(&ready, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || !isMainWindow(display, event.xmap.window)) continue;
        start = Start{std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count(),
                      residentMb(pid), 0};
    }
    if (start) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        start->residentSettledMb = residentMb(pid);
    }
    endProgram(pid);
    return start;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_RealProgramStartUp(benchmark::State& state)
{
    const auto soundFont = findSoundFont(defaultSoundFontPaths());
    if (!soundFont) {
        state.SkipWithError("no General MIDI SoundFont (package fluid-soundfont-gm)");
        return;
    }
    // The toolkit of this process keeps its settings; the program started gets a display and sound of its own.
    const auto saved = [](const char* name) { return std::string(std::getenv(name) ? std::getenv(name) : ""); };
    const std::string savedPlatform = saved("QT_QPA_PLATFORM"), savedRuntime = saved("XDG_RUNTIME_DIR");
    const VirtualDisplay screen;
    const NullSinkServer sound;
    if (screen.name().empty() || !openMonitor()) {
        state.SkipWithError("needs Xvfb and pulseaudio");
        return;
    }
    const fs::path folder = programFolder();
    const std::string program = (folder / "nimbel-midi").string();
    fs::copy_file(NIMBEL_PROGRAM, program);
    unsetenv("QT_QPA_PLATFORM");
    setenv("DISPLAY", screen.name().c_str(), 1);
    Display* display = XOpenDisplay(screen.name().c_str());
    for (auto _ : state) {
        std::vector<double> ms, atWindow, settled;
        for (int i = 0; i <= kStarts && display; ++i) {
            const std::optional<Start> start = startProgram(display, program);
            if (!start) break;
            if (i == 0) continue;  // the first start writes the demonstration song
            ms.push_back(start->toWindowMs);
            atWindow.push_back(start->residentAtWindowMb);
            settled.push_back(start->residentSettledMb);
        }
        if (ms.size() != kStarts) {
            state.SkipWithError("the main window did not appear");
            break;
        }
        state.counters["to_window_ms(<=200)"] = median(ms);
        state.counters["to_window_ms_fastest"] = *std::min_element(ms.begin(), ms.end());
        state.counters["resident_at_window_MB"] = median(atWindow);
        state.counters["resident_settled_MB(<=80)"] = median(settled);
    }
    if (display) XCloseDisplay(display);
    setenv("QT_QPA_PLATFORM", savedPlatform.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    fs::remove_all(folder);
    state.SetLabel(fs::path(*soundFont).filename().string());
}

}  // namespace

void registerRealStartBenchmarks()
{
    benchmark::RegisterBenchmark("RealProgramStartUp", BM_RealProgramStartUp)
        ->Iterations(1)
        ->Unit(benchmark::kSecond)
        ->UseRealTime();
}

}  // namespace nimbel
