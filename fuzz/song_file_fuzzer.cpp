// Any bytes as a song file, loaded as File Open loads it: every record kept
// must lie inside the song, the tempo must stay playable and be kept in one
// record at most, and saving the loaded song and loading that file again
// must give back the same note cells and tempo (and the same file when
// saved once more). The text made straight from the grid, as the recovery
// file makes it, must be the saved file's.
#include "fuzz_check.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace {

using namespace nimbel;

void open(Song& song, std::string_view text)
{
    PlainPositionDisplay position;
    openSongAfterStartUp(song, position, text);
    check(position.maximum() == noteColumnOf(findEndColumn(song.grid)));
}

std::map<std::pair<int, int>, std::string> noteCells(const Song& song)
{
    std::map<std::pair<int, int>, std::string> cells;
    const int end = findEndColumn(song.grid);
    for (int c = kFirstNoteColumn; c <= end; ++c)
        for (int row = 0; row < kSongRows; ++row)
            if (!song.grid.cellText(row, c).empty()) cells[{row, c}] = song.grid.cellText(row, c);
    return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Song song;
    open(song, text);

    check(song.tempo >= 1);
    check(song.grid.rowCount() == kSongRows);
    check(noteColumnOf(findEndColumn(song.grid)) <= kMaxNoteColumns);
    int tempoRecords = 0;
    for (std::size_t i = 1; i < song.noteList.size(); ++i) {
        const NoteRecord& r = song.noteList[i];
        if (r.isTempo()) ++tempoRecords;
        else check(r.channel >= 1 && r.channel <= kSongRows && r.column >= 1 && r.column <= kMaxNoteColumns);
    }
    check(tempoRecords <= 1);  // only the last tempo token is kept

    const auto cells = noteCells(song);
    const std::string fromGrid = songFileTextFromGrid(song.grid, "2024/01/01");
    const std::string saved = songFileText(song, "2024/01/01");
    check(fromGrid == saved);  // as the recovery file makes it, without the rebuild
    Song reloaded;
    open(reloaded, saved);
    check(noteCells(reloaded) == cells);
    check(reloaded.tempo == song.tempo);
    check(songFileText(reloaded, "2024/01/01") == saved);
    return 0;
}
