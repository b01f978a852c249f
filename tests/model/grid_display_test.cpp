// Showing a song in the grid: a new song's summary cells, where records
// land, which record fills a summary cell, the tempo cell, the track bar
// and counter, records outside the grid, and one view reset per operation.
#include "grid_display.h"
#include "song_columns.h"
#include "song_file_test_support.h"
#include "voice_names.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace nimbel {
namespace {

NoteRecord note(int channel, int column, std::string text, int octave = 0, int volume = 0, int voice = 0)
{
    return {.volume = volume,
            .channel = channel,
            .octave = octave,
            .voice = voice,
            .text = std::move(text),
            .column = column};
}

// Every cell text and row flag of the grid, to see that nothing else changed.
std::vector<std::string> snapshot(const ListGrid& grid)
{
    std::vector<std::string> cells;
    for (int r = 0; r < grid.rowCount(); ++r) {
        cells.push_back(std::to_string(grid.itemData(r)));
        for (int c = 0; c < grid.columnCount(); ++c) cells.push_back(grid.cellText(r, c));
    }
    return cells;
}

TEST(NewSong, ShowsTheDefaultRecordAndEmptiesEverythingElse)
{
    Song song;
    PlainPositionDisplay position;
    setNoteColumnCount(song.grid, gridColumnOf(30));
    song.grid.setCellText(4, gridColumnOf(7), "C");
    song.grid.setCellColor(4, gridColumnOf(7), 0x123456);
    song.grid.setCellText(0, kChannelColumn, "1 T90");
    song.grid.setItemData(6, 7);
    song.tempo = 90;
    song.noteList.push_back(note(3, 2, "E"));
    song.channels[4].octave = 3;

    newSong(song, position);

    Song expected;  // the start-up grid with only channel 1's summary filled
    expected.grid.setCellText(0, kVoiceColumn, "Acoustic Grand Piano");
    expected.grid.setCellText(0, kVolumeColumn, "5");
    expected.grid.setCellText(0, kOctaveColumn, "5");
    expected.grid.setItemData(0, 7);
    setNoteColumnCount(expected.grid, gridColumnOf(30));
    EXPECT_EQ(snapshot(song.grid), snapshot(expected.grid));
    EXPECT_EQ(song.grid.cellColor(4, gridColumnOf(7)), kDefaultCellColor);

    // Columns and tempo stay; the note list and channel state start over.
    EXPECT_EQ(song.tempo, 90);
    ASSERT_EQ(song.noteList.size(), 1u);
    EXPECT_EQ(song.noteList[0].voice, 1);
    EXPECT_EQ(song.noteList[0].octave, 5);
    for (std::size_t i = 0; i < song.channels.size(); ++i) {
        EXPECT_EQ(song.channels[i].voice, i == 1 ? 1 : 0) << i;
        EXPECT_EQ(song.channels[i].octave, 0) << i;
        EXPECT_EQ(song.channels[i].volume, 0) << i;
    }
    EXPECT_EQ(position.maximum(), 30);
}

TEST(ShowNoteList, CellsTempoAndTheFirstValueOfEachChannel)
{
    Song song;
    PlainPositionDisplay position;
    testing::RecordingObserver view;
    const std::vector<std::string> oneReset{"before reset", "after reset"};
    song.grid.setObserver(&view);
    newSong(song, position);
    EXPECT_EQ(view.calls, oneReset);
    view.calls.clear();
    song.noteList = {
        NoteRecord{.text = "T95"},    note(3, 1, "E", 0, 0, 0),  // gives no values: summary cells stay empty
        note(3, 2, "G4", 4, 0, 0),                               // first octave of channel 3
        note(3, 3, "V7G6", 6, 7, 0),                             // octave already shown: only the volume
        note(3, 5, "C,41", 2, 3, 41), note(15, 21, "B", 1, 1, 128),
        note(1, 4, "T5", 3)};  // a note whose text begins with T is no tempo record
    showNoteList(song, position);
    EXPECT_EQ(view.calls, oneReset);  // each operation resets a view once, and tells nothing else
    song.grid.setObserver(nullptr);

    EXPECT_EQ(song.grid.cellText(0, kChannelColumn), "1 T95");
    EXPECT_EQ(song.grid.cellText(2, gridColumnOf(1)), "E");
    EXPECT_EQ(song.grid.cellText(2, gridColumnOf(3)), "V7G6");
    EXPECT_EQ(song.grid.cellText(2, kOctaveColumn), "4");
    EXPECT_EQ(song.grid.cellText(2, kVolumeColumn), "7");
    EXPECT_EQ(song.grid.cellText(2, kVoiceColumn), std::string(voiceNames[41]));
    EXPECT_EQ(song.grid.itemData(2), 7);
    EXPECT_EQ(song.grid.cellText(14, gridColumnOf(21)), "B");
    EXPECT_EQ(song.grid.cellText(14, kVoiceColumn), "Gunshot");
    EXPECT_EQ(song.grid.cellText(0, gridColumnOf(4)), "T5");
    // Channel 1's summary cells were filled by the new song's default record.
    EXPECT_EQ(song.grid.cellText(0, kOctaveColumn), "5");

    // Showing again does not refill: the flags keep the first values.
    song.noteList = {note(3, 6, "C9", 9, 9, 9)};
    showNoteList(song, position);
    EXPECT_EQ(song.grid.cellText(2, kOctaveColumn), "4");
    EXPECT_EQ(song.grid.cellText(2, gridColumnOf(6)), "C9");
}

TEST(ShowNoteList, DefaultRecordEmptiesTheOctaveCellOfItsRow)
{
    Song song;
    PlainPositionDisplay position;
    song.noteList = {defaultNoteRecord(), note(1, 1, "C")};
    song.noteList[0].octave = 0;  // as loading leaves it
    showNoteList(song, position);
    EXPECT_EQ(song.grid.cellText(0, kOctaveColumn), "");
    EXPECT_EQ(song.grid.cellText(0, kVoiceColumn), "Acoustic Grand Piano");
}

TEST(ShowNoteList, RecordsOutsideTheGridWriteNothing)
{
    Song song;
    PlainPositionDisplay position;
    newSong(song, position);
    const auto before = snapshot(song.grid);
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    song.noteList.clear();
    const int pastEnd = song.grid.columnCount() - 3;
    for (const auto& [channel, column] : std::vector<std::pair<int, int>>{
             {0, 1}, {16, 1}, {-3, 1}, {kMax, 1}, {kMin, 1}, {2, -1}, {2, kMax}, {2, kMin}, {2, pastEnd}})
        song.noteList.push_back(note(channel, column, "C", 5, 5, 5));
    showNoteList(song, position);
    EXPECT_EQ(snapshot(song.grid), before);
}

TEST(ShowNoteList, TrackBarFollowsTheSongLength)
{
    Song song;
    PlainPositionDisplay position;
    position.setCounterText("25");
    position.setPosition(25);
    showNoteList(song, position);
    EXPECT_EQ(position.maximum(), 21);
    EXPECT_EQ(position.counterText(), "1");
    EXPECT_EQ(position.position(), 1);

    position.setCounterText("21");
    position.setPosition(21);
    setNoteColumnCount(song.grid, gridColumnOf(40));
    showNoteList(song, position);
    EXPECT_EQ(position.maximum(), 40);
    EXPECT_EQ(position.counterText(), "21");
    EXPECT_EQ(position.position(), 21);
}

}  // namespace
}  // namespace nimbel
