// Loading (File Open: a new song, then the file, shown in the grid) and
// saving songs of 100,000 notes: hand-written songs whose notes come from
// voice groups of 4 and of 15 channels, and a project file of 15 channels.
#include "grid_display.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace nimbel {
namespace {

constexpr int kNotes = 100'000;
constexpr const char* kTexts[] = {"C5Q", "V7E#4H", "F<<Q", "ABWD", "RQ", "G>S.", "5C7", "BB+E", "D", "C,41"};

// Bars of voice groups: each token plays on channels 1 … `voices`, so the
// song has 100,000 / `voices` note columns.
std::string handWrittenSong(int voices)
{
    constexpr const char* kPlainTexts[] = {"c5q", "v7e#4h", "f<<q", "abwd", "rq", "g>s.", "bb+e", "d"};
    std::string voiceList = "c5q";
    for (int v = 1; v <= voices; ++v) voiceList += "," + std::to_string(1 + (v * 8) % 128);
    std::string text = "Start\r\n; 100,000 notes in voice groups\r\nt140 ";
    int notes = 0;
    for (int token = 0; notes < kNotes; ++token) {
        text += token % 64 == 0 ? voiceList + " " : std::string(kPlainTexts[token % std::size(kPlainTexts)]) + " ";
        notes += voices;
        if (token % 8 == 7) text += "|\r\n";
    }
    return text + "\r\nEnd\r\n";
}

std::string projectFile()
{
    Song song;
    setNoteColumnCount(song.grid, gridColumnOf((kNotes + kSongRows - 1) / kSongRows));
    for (int i = 0; i < kNotes; ++i)
        song.grid.setCellText(i % kSongRows, gridColumnOf(1 + i / kSongRows), kTexts[i % std::size(kTexts)]);
    return songFileText(song, "2024/01/01");
}

void loadSong(benchmark::State& state, const std::string& text)
{
    std::size_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto song = std::make_unique<Song>();  // the start-up grid
        PlainPositionDisplay position;
        state.ResumeTiming();
        newSong(*song, position);
        loadSongText(*song, position, text);
        records = song->noteList.size();
        state.PauseTiming();
        song.reset();
        state.ResumeTiming();
    }
    state.counters["records"] = static_cast<double>(records);
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void saveSong(benchmark::State& state, const std::string& text, bool toFile)
{
    Song song;
    PlainPositionDisplay position;
    newSong(song, position);
    loadSongText(song, position, text);
    const std::string path =
        std::filesystem::temp_directory_path() / ("nimbel-bench-" + std::to_string(::getpid()) + ".nmd");
    for (auto _ : state) {
        if (toFile) benchmark::DoNotOptimize(nimbel::saveSong(song, path));
        else benchmark::DoNotOptimize(songFileText(song, "2024/01/01"));
    }
    std::filesystem::remove(path);
    state.counters["records"] = static_cast<double>(song.noteList.size());
}

void BM_LoadHandWritten(benchmark::State& state) { loadSong(state, handWrittenSong(static_cast<int>(state.range(0)))); }
void BM_LoadProjectFile(benchmark::State& state) { loadSong(state, projectFile()); }
void BM_SaveHandWrittenText(benchmark::State& state)
{
    saveSong(state, handWrittenSong(static_cast<int>(state.range(0))), false);
}
void BM_SaveProjectFileText(benchmark::State& state) { saveSong(state, projectFile(), false); }
void BM_SaveProjectFileToDisk(benchmark::State& state) { saveSong(state, projectFile(), true); }

BENCHMARK(BM_LoadHandWritten)->Arg(4)->Arg(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadProjectFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveHandWrittenText)->Arg(4)->Arg(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveProjectFileText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveProjectFileToDisk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbel
