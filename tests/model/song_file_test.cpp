// Song files: reading them (the line grammar, voice groups, placement, tempo
// tokens, what is dropped) and the date they are written with. What is
// written is checked end to end through the export tool's golden files, and
// the text made straight from the grid by the song-file fuzz target.
#include "notation.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace nimbel {
namespace {

using Cells = std::vector<std::string>;

// A song as the program shows it after start-up and File Open of `text`.
struct LoadedSong {
    Song song;
    PlainPositionDisplay position;
    DroppedNotes dropped;

    explicit LoadedSong(std::string_view text, std::int32_t tempoBefore = kDefaultTempo)
    {
        song.tempo = tempoBefore;
        dropped = openSongAfterStartUp(song, position, text);
    }
};

// The notes dropped as one value to compare: outside the columns, outside the channels.
using Counts = std::pair<std::size_t, std::size_t>;
Counts counts(const DroppedNotes& dropped) { return {dropped.outsideColumns, dropped.outsideChannels}; }

int noteColumnCount(const Song& song) { return noteColumnOf(findEndColumn(song.grid)); }

// The texts of one channel's note cells, note column 1 to the End column.
Cells noteCells(const Song& song, int channel)
{
    Cells cells;
    for (int c = kFirstNoteColumn; c <= findEndColumn(song.grid); ++c)
        cells.push_back(song.grid.cellText(channel - 1, c));
    return cells;
}

// The records of the note list placed in one cell, in list order.
std::vector<const NoteRecord*> recordsAt(const Song& song, int channel, int column)
{
    std::vector<const NoteRecord*> found;
    for (const NoteRecord& r : song.noteList)
        if (!r.isTempo() && r.channel == channel && r.column == column) found.push_back(&r);
    return found;
}

// One channel's note cells after loading a text.
struct CellsCase {
    std::string text;
    int channel;
    Cells cells;
};

TEST(SongFileReading, LineGrammarVoiceGroupsAndTempoTokensPlaceTheCells)
{
    // clang-format off
    const std::vector<CellsCase> cases{
        // Group copies are read after every record of the file.
        {"START\nC,1,2 E 2CH\nEND\n", 2, {"C,2", "E", "CH"}},
        // A voice of 0 makes no record and so does not widen the group.
        {"START\nC,10,0 D\nEND", 2, {"", ""}},
        {"START\nC,0,74 D\nEND", 1, {"C,0", "D"}}, {"START\nC,0,74 D\nEND", 2, {"C,74", "D"}},
        // A voice list resets the group: after two voices and then one,
        // plain tokens go to channel 1 only.
        {"START\nC,1,2 D E,5 F\nEND", 2, {"C,2", "D", "", ""}},
        // Channel 15 gets no voice, channel 16 does: the group is still all 15 channels.
        {"START\nC,1,2,3,4,5,6,7,8,9,10,11,12,13,14,0,16 D\nEND", 15, {"", "D"}},
        // Only lines after START count, up to END; comments and blank lines
        // are skipped, only spaces are stripped, and any line end will do.
        {"C C C\r\nEND\r\n  sTaRt  \r\n' a comment\r\n; another\r\n\r\n   \r\nc d 'e\r\nEndless\r\nF G\r\n",
         1, {"C", "D", "'E"}},
        {"START\rC D\rE\rEND\r", 1, {"C", "D", "E"}}, {"START\n\rC D\r\n\nE", 1, {"C", "D", "E"}},
        {std::string("START\nC\0D \0END\nE", 16), 1, {std::string("C\0D", 3), std::string("\0END", 4), "E"}},
        // "0C" names no channel: the voice group places it.
        {"START\nN0X1C N0C 0C\nEND", 1, {"", "", "0C"}},
        {"START\nT90 C T100 D\nEND", 1, {"C", "D"}},  // tempo tokens take no column
        // Without START or notes the song has one note column.
        {"C D E\r\n", 1, {""}}, {"START\r\n| | |\r\nEND", 1, {""}}, {"\tSTART\nC\nEND", 1, {""}},
    };
    // clang-format on
    for (const CellsCase& c : cases) {
        SCOPED_TRACE(c.text + " channel " + std::to_string(c.channel));
        EXPECT_EQ(noteCells(LoadedSong(c.text).song, c.channel), c.cells);
    }
}

TEST(SongFileReading, LeadingChannelNumberAndPlacementPrefixAreNotShown)
{
    const LoadedSong loaded("START\n12C N1X3C5Q N3X2;5C N2X4;;C N4C 12\nEND");
    EXPECT_EQ(loaded.song.grid.cellText(11, gridColumnOf(1)), "C");
    EXPECT_EQ(loaded.song.grid.cellText(0, gridColumnOf(3)), "C5Q");
    EXPECT_EQ(loaded.song.grid.cellText(2, gridColumnOf(2)), "5C");
    EXPECT_EQ(loaded.song.grid.cellText(1, gridColumnOf(4)), ";C");
    EXPECT_EQ(loaded.song.grid.cellText(3, gridColumnOf(5)), "C");  // no X: its running column
    EXPECT_EQ(noteColumnCount(loaded.song), 6);
    // The digits after the prefix are the octave, not part of the placement.
    EXPECT_EQ(recordsAt(loaded.song, 3, 2)[0]->octave, 5);
    EXPECT_EQ(recordsAt(loaded.song, 12, 1)[0]->note, 0);
    // Digits alone: channel 12 in its running column, nothing left to show or play.
    EXPECT_EQ(loaded.song.grid.cellText(11, gridColumnOf(6)), "");
    EXPECT_TRUE(recordsAt(loaded.song, 12, 6).empty());

    // A placed token with several commas is one note, not a voice group.
    const LoadedSong commas("START\nN1X1C,10,74\nEND");
    ASSERT_EQ(commas.song.noteList.size(), 2u);
    EXPECT_EQ(commas.song.noteList[1].voice, 10);
}

TEST(SongFileReading, TheLastUsableTempoTokenSetsTheTempoAndItsCell)
{
    const std::vector<std::tuple<std::string, std::int32_t, std::string>> cases{
        {"START\nT90 C T100 D\nEND", 100, "1 T100"},
        {"START\nT95 T0 T T-5\nEND", 95, "1 T95"},
        {"START\nT0 T-5 T C\nEND", kDefaultTempo, "1"},  // played as after any edit
        {"START\nT99999999999\nEND", std::numeric_limits<std::int32_t>::max(), "1 T99999999999"}};
    for (const auto& [text, tempo, cell] : cases) {
        const LoadedSong loaded(text, 77);
        EXPECT_EQ(loaded.song.tempo, tempo) << text;
        EXPECT_EQ(loaded.song.grid.cellText(0, kChannelColumn), cell) << text;
    }
}

TEST(SongFileReading, RecordsOutsideTheSongAreDroppedAndCounted)
{
    std::string voices = "C";
    for (int v = 1; v <= 20; ++v) voices += "," + std::to_string(v);
    std::string running;
    for (int i = 0; i < kMaxNoteColumns + 3; ++i) running += "C ";
    const struct Case {
        std::size_t records;  // the head record included
        int columns;
        Counts dropped;
        std::string text;
    } cases[] = {
        // clang-format off
        {1 + 15 + 15, 2, {0, 5}, "START\n" + voices + " D\nEND"},  // voices for channels 16 to 20
        {2, 7, {4, 7}, "START\nN0X1C N16X1C N99X2C 16C 99C -1C N1X0C N1X65536C N1X2000000000C N1X-3C N99999999999X1C N2X7D"},
        // Past the end a voice list is as many notes as it has voices (0 is none); a placed note still lands.
        {1 + kMaxNoteColumns + 1, kMaxNoteColumns, {3 + 2 + 16, 0},
         "START\n" + running + "D,1,0,3,0 E,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19 N2X5E"},
        // clang-format on
    };
    for (const Case& c : cases) {
        const LoadedSong loaded(c.text);
        EXPECT_EQ(std::tuple(loaded.song.noteList.size(), noteColumnCount(loaded.song), counts(loaded.dropped)),
                  std::tuple(c.records, c.columns, c.dropped))
            << c.text.substr(0, 40);
    }
    EXPECT_EQ(LoadedSong(cases[1].text).song.noteList[1].channel, 2);
}

TEST(SongFileWriting, LocalDateIsYearMonthDay)
{
    const std::string date = localDateText();
    int year = 0, month = 0, day = 0;
    ASSERT_EQ(std::sscanf(date.c_str(), "%4d/%2d/%2d", &year, &month, &day), 3) << date;
    EXPECT_TRUE(date.size() == 10 && year >= 2024 && month >= 1 && month <= 12 && day >= 1 && day <= 31) << date;
}

}  // namespace
}  // namespace nimbel
