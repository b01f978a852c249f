// Opening a 1 MB Standard MIDI File as a song (read, imported, loaded into
// the grid, as File Open does): its time, and its peak memory against the
// file's size, measured in a child process whose heap gave its free pages
// back first. Targets: under 100 ms and under 30x the file.
//
// The file is format 1 at 480 ticks a beat: a tempo track and eight tracks
// of notes on sixteenths (channel 0 among them), every fourth beat a
// three-note chord, drums on channel 9 with two-note hits, a controller now
// and then, running status throughout, as sequencers write them.
#include "grid_display.h"
#include "song.h"
#include "song_opening.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbel {
namespace {

constexpr std::size_t kFileBytes = 1 << 20;
constexpr int kTracks = 8;
constexpr int kTicksPerBeat = 480;
constexpr int kSixteenth = kTicksPerBeat / 4;

void putBigEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void putDelta(std::string& out, std::uint32_t delta)
{
    std::string groups(1, static_cast<char>(delta & 0x7F));
    while (delta >>= 7) groups.insert(groups.begin(), static_cast<char>(0x80 | (delta & 0x7F)));
    out += groups;
}

// One track of notes on `channel`: each note starts a sixteenth after the
// last one ended (or with the beat's chord), with running status.
std::string noteTrack(int channel, std::size_t bytes)
{
    std::string track;
    const auto status = static_cast<char>(0x90 | channel);
    track += '\0';
    track += static_cast<char>(0xC0 | channel);
    track += static_cast<char>(channel * 8);
    bool first = true;
    for (std::uint32_t step = 0; track.size() < bytes; ++step) {
        const int key = 36 + static_cast<int>((step * 7 + static_cast<std::uint32_t>(channel) * 5) % 60);
        const bool chord = step % 16 == 0;
        const int notes = channel == 9 ? 2 : chord ? 3 : 1;
        for (int n = 0; n < notes; ++n) {
            putDelta(track, n == 0 ? kSixteenth : 0);
            if (first) track += status;
            first = false;
            track += static_cast<char>(key + 4 * n);
            track += static_cast<char>(64 + step % 60);
        }
        for (int n = 0; n < notes; ++n) {
            putDelta(track, n == 0 ? static_cast<std::uint32_t>(kSixteenth * (1 + step % 3)) : 0);
            track += static_cast<char>(key + 4 * n);
            track += '\0';
        }
        if (step % 64 == 63) {  // a controller, then note-ons again need their status
            track += '\0';
            track += static_cast<char>(0xB0 | channel);
            track += '\x07';
            track += static_cast<char>(step % 128);
            first = true;
        }
    }
    return track;
}

std::string chunk(const char* id, const std::string& body)
{
    std::string out(id, 4);
    putBigEndian(out, static_cast<std::uint32_t>(body.size()), 4);
    return out + body;
}

std::string benchmarkFile()
{
    std::string header;
    putBigEndian(header, 1, 2);
    putBigEndian(header, kTracks + 1, 2);
    putBigEndian(header, kTicksPerBeat, 2);
    std::string file = chunk("MThd", header);
    file += chunk("MTrk", std::string("\x00\xFF\x51\x03\x07\xA1\x20\x00\xFF\x2F\x00", 11));
    constexpr int kChannels[kTracks] = {0, 1, 2, 3, 4, 5, 6, 9};
    for (const int channel : kChannels)
        file +=
            chunk("MTrk", noteTrack(channel, (kFileBytes - 64) / kTracks - 12) + std::string("\x00\xFF\x2F\x00", 4));
    return file;
}

// The kilobytes of /proc/self/status's line `name` ("VmRSS", "VmHWM").
long statusKilobytes(const char* name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(name)) return std::stol(line.substr(line.find(':') + 1));
    return -1;
}

// Peak memory of opening the file, in bytes, in a child process: its heap
// gives free pages back, its peak is reset, then it opens the file.
double peakBytesOfOpening(const std::string& file)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
        const long before = statusKilobytes("VmRSS");
        {
            Song song;
            PlainPositionDisplay position;
            openSongFileAfterStartUp(song, position, file);
            benchmark::DoNotOptimize(song.noteList.data());
        }
        const double peak = (statusKilobytes("VmHWM") - before) * 1024.0;
        (void)!write(pipeEnds[1], &peak, sizeof peak);
        _exit(0);
    }
    double peak = -1;
    (void)!read(pipeEnds[0], &peak, sizeof peak);
    waitpid(child, nullptr, 0);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return peak;
}

void BM_OpenMidiFile(benchmark::State& state)
{
    const std::string file = benchmarkFile();
    const double peak = peakBytesOfOpening(file);
    std::size_t notes = 0;
    ImportReport report;
    for (auto _ : state) {
        state.PauseTiming();
        auto song = std::make_unique<Song>();  // the start-up grid
        PlainPositionDisplay position;
        state.ResumeTiming();
        report = openSongFileAfterStartUp(*song, position, file).approximations;
        state.PauseTiming();
        notes = song->noteList.size();
        song.reset();
        state.ResumeTiming();
    }
    state.counters["fileMB"] = static_cast<double>(file.size()) / 1e6;
    state.counters["records"] = static_cast<double>(notes);
    state.counters["peakMB"] = peak / 1e6;
    state.counters["peakXFile"] = peak / static_cast<double>(file.size());
    std::printf("%s\n", importReportLine(report).c_str());
}

// The import alone: the file read and its notes written as song text.
void BM_ImportToSongText(benchmark::State& state)
{
    const std::string file = benchmarkFile();
    for (auto _ : state) benchmark::DoNotOptimize(prepareSongFile(file).text.size());
}

BENCHMARK(BM_OpenMidiFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportToSongText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace nimbel
