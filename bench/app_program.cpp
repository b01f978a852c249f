// How long the program takes to show itself and to show a long song, drawn
// offscreen: from start-up to the main window's first paint, and from
// loading a song of many note columns to the grid's next paint.
#include "app_bench_support.h"
#include "file_session.h"
#include "song_columns.h"
#include "song_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace nimbel {
namespace {

// A project file of `columns` note columns with three notes in each.
std::string longSong(int columns)
{
    std::string text = "START\r\nT120\r\n";
    for (int c = 1; c <= columns; ++c) {
        const std::string x = "X" + std::to_string(c);
        text += "N1" + x + "C5Q\r\nN2" + x + "E\r\nN3" + x + "G4H,41\r\n";
    }
    return text + "END\r\n";
}

// The first iteration of a process pays for fonts, styles and icons once.
void startUpToFirstPaint(benchmark::State& state, GuiApplication& application)
{
    for (auto _ : state) {
        state.PauseTiming();
        testing_support::TestProgram p(application);
        state.ResumeTiming();
        startUp(p.program);
        waitForPaints(p, 1);
        state.PauseTiming();
        if (p.driver.paintCount(kMainWindow) == 0) state.SkipWithError("the main window was never drawn");
        shutDown(p.program);
        state.ResumeTiming();
    }
}

void showLoadedSong(benchmark::State& state, GuiApplication& application)
{
    testing_support::TestProgram p(application);
    Program& program = p.program;
    startUp(program);
    waitForPaints(p, 1);
    const int columns = static_cast<int>(state.range(0));
    const std::string text = longSong(columns);
    for (auto _ : state) {
        state.PauseTiming();
        {
            // Removing columns one by one would make the view follow each removal.
            MemoryGrid::BatchUpdate batch(program.song.grid);
            startEmptySong(program.files);
            setNoteColumnCount(program.song.grid, gridColumnOf(20));
        }
        waitForPaints(p, p.driver.paintCount(kMainWindow) + 1);
        const int painted = p.driver.paintCount(kMainWindow);
        state.ResumeTiming();

        loadSongText(program.song, program.position, text);
        waitForPaints(p, painted + 1);

        state.PauseTiming();
        if (findEndColumn(program.song.grid) != gridColumnOf(columns)) state.SkipWithError("the song was not loaded");
        state.ResumeTiming();
    }
    state.counters["note_columns"] = columns;
    shutDown(program);
}

// Edits that add or remove columns one at a time (pasting past the end,
// deleting the columns before a cell) with the grid on the screen.
void columnsOneByOne(benchmark::State& state, GuiApplication& application)
{
    testing_support::TestProgram p(application);
    Program& program = p.program;
    startUp(program);
    const int columns = static_cast<int>(state.range(0));
    for (auto _ : state) {
        setNoteColumnCount(program.song.grid, gridColumnOf(columns));
        waitForPaints(p, p.driver.paintCount(kMainWindow) + 1);
        setNoteColumnCount(program.song.grid, gridColumnOf(20));
        waitForPaints(p, p.driver.paintCount(kMainWindow) + 1);
    }
    state.counters["note_columns"] = columns;
    shutDown(program);
}
}  // namespace
}  // namespace nimbel

// The toolkit's application must outlive every benchmark and end before the
// process does, so this program has its own main.
int main(int argc, char** argv)
{
    using namespace nimbel;
    RuntimeFolder runtime;
    GuiApplication application(argc, argv);
    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("StartUpToFirstPaint/cold", startUpToFirstPaint, std::ref(application))
        ->Iterations(1)
        ->Unit(ms);
    benchmark::RegisterBenchmark("StartUpToFirstPaint/warm", startUpToFirstPaint, std::ref(application))->Unit(ms);
    benchmark::RegisterBenchmark("ShowLoadedSong", showLoadedSong, std::ref(application))
        ->Arg(10000)
        ->Arg(65535)
        ->Unit(ms);
    benchmark::RegisterBenchmark("AddAndRemoveColumnsOneByOne", columnsOneByOne, std::ref(application))
        ->Arg(10000)
        ->Unit(ms);
    registerEditingBenchmarks(application);
    registerChannelWindowBenchmarks(application);
    registerKeyboardBenchmarks(application);
    registerRealStartBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
