// Composing from the keyboard on a long song (10,000 note columns, a note in
// every cell of the first channel), the grid on the screen: from a key
// typed into the cell editor to the window's next paint, and from Return
// with 64 notes typed at once to the grid showing them.
#include "app_bench_support.h"
#include "song_columns.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace nimbel {
namespace {

constexpr int kColumns = 10000;

struct LongSong : testing_support::TestProgram {
    explicit LongSong(GuiApplication& application) : TestProgram(application)
    {
        startUp(program);
        MemoryGrid::BatchUpdate batch(program.song.grid);
        setNoteColumnCount(program.song.grid, gridColumnOf(kColumns));
        for (int c = 1; c <= kColumns; ++c) program.song.grid.setCellText(0, gridColumnOf(c), "V5C#4Q,12");
    }
    ~LongSong() { shutDown(program); }

    // Types `keys` and runs the loop until `done` and the window has been drawn again.
    void typeToPaint(
        std::string_view keys, const std::function<bool()>& done = [] { return true; })
    {
        const int painted = driver.paintCount(kMainWindow);
        driver.type(kMainWindow, keys);
        for (int i = 0; i < 10000 && (!done() || driver.paintCount(kMainWindow) == painted); ++i) run(1);
    }
};

void keystrokeInTheEditor(benchmark::State& state, GuiApplication& application)
{
    LongSong song(application);
    song.typeToPaint("<End>C");
    for (auto _ : state) song.typeToPaint("D");
}

void returnWithSixtyFourNotes(benchmark::State& state, GuiApplication& application)
{
    std::string notes;
    for (int i = 0; i < 64; ++i) notes += i == 0 ? "C" : " D";
    for (auto _ : state) {
        state.PauseTiming();
        LongSong song(application);
        song.typeToPaint("<Right>" + notes);
        song.run(300);  // every key typed has reached the editor
        state.ResumeTiming();
        song.typeToPaint("<Return>", [&] { return song.program.cursor.cell.column == gridColumnOf(66); });
    }
}

}  // namespace

void registerKeyboardBenchmarks(GuiApplication& application)
{
    benchmark::RegisterBenchmark("LongSong10000/KeystrokeInTheEditorToPaint", keystrokeInTheEditor,
                                 std::ref(application))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LongSong10000/ReturnWith64NotesToPaint", returnWithSixtyFourNotes,
                                 std::ref(application))
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
}

}  // namespace nimbel
