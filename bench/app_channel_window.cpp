// Opening the Channel Window on a long channel, a note in every note column,
// from the View menu command to the window's first paint.
#include "app_bench_support.h"
#include "channel_window.h"
#include "song_columns.h"

#include <benchmark/benchmark.h>

#include <functional>

namespace nimbel {
namespace {

void openToFirstPaint(benchmark::State& state, GuiApplication& application)
{
    testing_support::TestProgram p(application);  // simulated time: the window's idle steps do not sleep
    Program& program = p.program;
    startUp(program);
    const int columns = static_cast<int>(state.range(0));
    {
        MemoryGrid::BatchUpdate batch(program.song.grid);
        setNoteColumnCount(program.song.grid, gridColumnOf(columns));
        for (int c = 1; c <= columns; ++c) program.song.grid.setCellText(0, gridColumnOf(c), "V5C#4Q,12");
    }
    waitForPaints(p, p.driver.paintCount(kMainWindow) + 1);

    for (auto _ : state) {
        // Runs inside the window's loop at every pass until the window has
        // been drawn; then the time stops and the window is closed.
        std::function<void()> whenDrawn = [&] {
            if (p.driver.paintCount(kChannelWindow) == 0) return p.driver.act(whenDrawn);
            state.PauseTiming();
            p.driver.post(closeRequest(kChannelWindow));
        };
        p.driver.act(whenDrawn);
        dispatchCommand(program, kViewChannelBase + 1);
        if (program.song.noteList.size() != static_cast<std::size_t>(columns))
            state.SkipWithError("the window did not show the channel");
        waitForPaints(p, p.driver.paintCount(kMainWindow) + 1);
        state.ResumeTiming();
    }
    state.counters["note_columns"] = columns;
    shutDown(program);
}

}  // namespace

void registerChannelWindowBenchmarks(GuiApplication& application)
{
    benchmark::RegisterBenchmark("OpenChannelWindowToFirstPaint", openToFirstPaint, std::ref(application))
        ->Arg(10000)
        ->Arg(65535)
        ->Unit(benchmark::kMillisecond);
}

}  // namespace nimbel
