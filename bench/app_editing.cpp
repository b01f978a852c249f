// The edit commands on a full song (15 channels by 10,000 note columns,
// every cell filled) with the grid on the screen: each command from the
// menu to the grid's next paint, and the undo history's memory per cell.
#include "app_bench_support.h"
#include "selection.h"
#include "song_columns.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <vector>

namespace nimbel {
namespace {

constexpr int kColumns = 10000;

enum class Step { selectAll, cut, undoCut, paste, undoPaste, deleteBefore, undoDeleteBefore };

struct FullSong : testing_support::TestProgram {
    explicit FullSong(GuiApplication& application) : TestProgram(application)
    {
        startUp(program);
        MemoryGrid::BatchUpdate batch(program.song.grid);
        setNoteColumnCount(program.song.grid, gridColumnOf(kColumns));
        for (int c = 1; c <= kColumns; ++c) {
            for (int r = 0; r < kSongRows; ++r) program.song.grid.setCellText(r, gridColumnOf(c), "V5C#4Q,12");
        }
    }
    ~FullSong() { shutDown(program); }
    // Runs a command as the menu does and waits for the grid's next paint.
    void command(int id)
    {
        const int painted = driver.paintCount(kMainWindow);
        dispatchCommand(program, id);
        waitForPaints(*this, painted + 1);
    }
    void selectOne(int row, int noteColumn) { toggleSelection(program.song, row, gridColumnOf(noteColumn), 0); }
};

// Brings the song to just before `step`; returns the command `step` runs.
int prepare(FullSong& song, Step step)
{
    const std::vector<std::function<void()>> before = {
        [&] {},
        [&] { song.command(kSelectAll); },
        [&] { song.command(kEditCut); },
        [&] { song.command(kEditUndo), song.selectOne(0, 1); },
        [&] { song.command(kEditPaste); },
        [&] { song.command(kEditUndo), song.selectOne(0, kColumns); },
        [&] { song.command(kEditDeleteBefore); },
    };
    for (int i = 0; i <= static_cast<int>(step); ++i) before[static_cast<std::size_t>(i)]();
    constexpr int kCommands[] = {kSelectAll, kEditCut, kEditUndo, kEditPaste, kEditUndo, kEditDeleteBefore, kEditUndo};
    return kCommands[static_cast<int>(step)];
}

void editCommand(benchmark::State& state, GuiApplication& application, Step step)
{
    for (auto _ : state) {
        state.PauseTiming();
        FullSong song(application);
        const int command = prepare(song, step);
        waitForPaints(song, song.driver.paintCount(kMainWindow) + 1);
        state.ResumeTiming();
        song.command(command);
        state.PauseTiming();
        if (step == Step::cut) {
            const auto& history = song.program.song.undoList;
            const double recorded = static_cast<double>(history.size());
            state.counters["undo_bytes_per_cell"] =
                static_cast<double>(history.capacity() * sizeof(CellRecord)) / recorded;
        }
        state.ResumeTiming();
    }
}

}  // namespace

void registerEditingBenchmarks(GuiApplication& application)
{
    const std::pair<const char*, Step> steps[] = {
        {"SelectAll", Step::selectAll},
        {"Cut", Step::cut},
        {"UndoCut", Step::undoCut},
        {"PasteWholeClipboard", Step::paste},
        {"UndoPaste", Step::undoPaste},
        {"DeleteBeforeLastColumn", Step::deleteBefore},
        {"UndoDeleteBefore", Step::undoDeleteBefore},
    };
    for (const auto& [name, step] : steps) {
        benchmark::RegisterBenchmark((std::string("FullSong10000/") + name).c_str(), editCommand, std::ref(application),
                                     step)
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace nimbel
