#include "grid_display.h"

#include "decimal_reader.h"
#include "song_columns.h"
#include "voice_names.h"

#include <string>

namespace nimbel {

namespace {

// Row item-data flags: which summary cells showing has filled already.
constexpr std::int32_t kOctaveShown = 1;
constexpr std::int32_t kVolumeShown = 2;
constexpr std::int32_t kVoiceShown = 4;

// Fills a summary cell of `row` from a record the first time one gives a
// value; the text is only made then, as most records find the cell filled.
template <typename MakeText>
void fillSummaryCell(ListGrid& grid, int row, int column, std::int32_t flag, MakeText makeText)
{
    const std::int32_t flags = grid.itemData(row);
    if (flags & flag) return;
    grid.setCellText(row, column, makeText());
    grid.setItemData(row, flags | flag);
}

void showRecord(ListGrid& grid, const NoteRecord& record)
{
    if (record.isTempo()) {
        grid.setCellText(0, kChannelColumn, "1 " + record.text);
        return;
    }
    // Column 0 (the default record) lands on the Octave cell, which its own
    // octave then refills; columns past the grid's last one are not shown.
    if (!isSongChannel(record.channel) || record.column < 0 || record.column >= grid.columnCount() - kOctaveColumn)
        return;
    const int row = record.channel - 1;
    grid.setCellText(row, gridColumnOf(record.column), record.text);
    if (record.octave > 0)
        fillSummaryCell(grid, row, kOctaveColumn, kOctaveShown, [&] { return std::to_string(record.octave); });
    if (record.volume > 0)
        fillSummaryCell(grid, row, kVolumeColumn, kVolumeShown, [&] { return std::to_string(record.volume); });
    if (record.voice > 0)
        fillSummaryCell(grid, row, kVoiceColumn, kVoiceShown, [&] { return voiceCellText(record.voice); });
}

}  // namespace

void showNoteList(Song& song, PositionDisplay& position)
{
    {
        MemoryGrid::BatchUpdate batch(song.grid);
        for (const NoteRecord& record : song.noteList) showRecord(song.grid, record);
    }
    const int noteColumns = noteColumnOf(findEndColumn(song.grid));  // the End column is a note column too
    position.setMaximum(noteColumns);
    if (readDecimal(position.counterText()) > noteColumns) {
        position.setCounterText("1");
        position.setPosition(1);
    }
}

void newSong(Song& song, PositionDisplay& position)
{
    MemoryGrid::BatchUpdate batch(song.grid);
    song.noteList.clear();
    song.noteList.push_back(defaultNoteRecord());
    ++song.noteListVersion;
    song.grid.removeAllRows();
    for (int channel = 1; channel <= kSongRows; ++channel) song.grid.appendRow(std::to_string(channel));
    song.channels = ChannelState{};
    song.channels[1].voice = 1;
    showNoteList(song, position);
}

}  // namespace nimbel
