// Interpreting note texts and rebuilding the note list of a full grid
// (15 channels × 10,000 note columns), the work Play and Save do first.
#include "notation.h"
#include "song.h"
#include "song_columns.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace nimbel {
namespace {

constexpr std::array<const char*, 8> kTexts = {"C5Q", "V7E#4H,41", "F<<Q,10,74", "ABWD", "RQ", "G>S.", "5C7", "BB+E"};

void BM_ParseNoteText(benchmark::State& state)
{
    ChannelState channels{};
    channels[1].octave = 5;
    channels[1].volume = 5;
    size_t i = 0;
    for (auto _ : state) {
        NoteRecord record;
        record.text = std::string("N3X17") + kTexts[i++ % kTexts.size()];
        parseNoteText(record, channels);
        benchmark::DoNotOptimize(record);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseNoteText);

void BM_RebuildFullGrid(benchmark::State& state)
{
    Song song;
    setNoteColumnCount(song.grid, gridColumnOf(10'000));
    size_t i = 0;
    const int end = findEndColumn(song.grid);
    for (int c = kFirstNoteColumn; c <= end; ++c)
        for (int row = 0; row < kSongRows; ++row) song.grid.setCellText(row, c, kTexts[i++ % kTexts.size()]);
    for (auto _ : state) {
        rebuildNoteList(song);
        benchmark::DoNotOptimize(song.noteList.data());
    }
    state.counters["records"] = static_cast<double>(song.noteList.size());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(song.noteList.size()));
}
BENCHMARK(BM_RebuildFullGrid)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbel
