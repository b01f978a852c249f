// Reading song files: the demonstration song's columns, channels and voice
// groups, the line grammar, placement, tempo tokens, and what is dropped.
#include "song_file_test_support.h"
#include "voice_names.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace nimbel {
namespace {

using testing::LoadedSong;
using testing::noteCells;
using testing::noteColumnCount;
using testing::recordsAt;
using Cells = std::vector<std::string>;

TEST(SongFileReading, DemonstrationSongColumnsChannelsAndVoiceGroups)
{
    const LoadedSong loaded(testing::dataFile("demo_song.txt"), 77);
    const Song& song = loaded.song;

    EXPECT_EQ(song.tempo, 120);
    EXPECT_EQ(song.grid.cellText(0, kChannelColumn), "1 T120");
    ASSERT_EQ(noteColumnCount(song), 18);
    EXPECT_EQ(song.grid.headerTitle(gridColumnOf(17)), "17");
    EXPECT_EQ(song.grid.headerTitle(gridColumnOf(18)), "End");

    EXPECT_EQ(noteCells(song, 1), (Cells{"C8Q,10", "C", "G", "G", "AQ", "A", "GH", "F<<Q,10", "F", "E", "E", "D", "D",
                                         "CH", "R", "C,10", "E", "G"}));
    EXPECT_EQ(noteCells(song, 2),
              (Cells{"", "", "", "", "", "", "", "F<<Q,74", "F", "E", "E", "D", "D", "CH", "R", "C,74", "E", "G"}));
    Cells third(15);
    third.insert(third.end(), {"C,1", "E", "G"});
    EXPECT_EQ(noteCells(song, 3), third);
    for (int channel = 4; channel <= kSongRows; ++channel) EXPECT_EQ(noteCells(song, channel), Cells(18)) << channel;

    // The voice list gives channel 2 its own voice; "<<" counts once.
    const auto f1 = recordsAt(song, 1, 8);
    const auto f2 = recordsAt(song, 2, 8);
    ASSERT_EQ(f1.size(), 1u);
    ASSERT_EQ(f2.size(), 1u);
    EXPECT_EQ(f1[0]->voice, 10);
    EXPECT_EQ(f1[0]->octave, 7);
    EXPECT_EQ(f1[0]->note, 5);
    EXPECT_FLOAT_EQ(f1[0]->duration, 1.0f);
    EXPECT_EQ(f2[0]->voice, 74);
    EXPECT_EQ(f2[0]->octave, -1);

    // Summary cells: the default record heads the list, so channel 1 shows
    // voice 1 although the file gives it voice 10.
    EXPECT_EQ(song.grid.cellText(0, kVoiceColumn), "Acoustic Grand Piano");
    EXPECT_EQ(song.grid.cellText(1, kVoiceColumn), "Flute");
    EXPECT_EQ(song.grid.cellText(2, kVoiceColumn), "Acoustic Grand Piano");

    // Default record, tempo, 21 records from the file, then 11 group copies.
    ASSERT_EQ(song.noteList.size(), 34u);
    EXPECT_EQ(song.noteList[0].voice, 1);
    EXPECT_EQ(song.noteList[0].column, 0);
    EXPECT_TRUE(song.noteList[1].isTempo());
    const auto place = [&](std::size_t i) { return std::make_pair(song.noteList[i].channel, song.noteList[i].column); };
    EXPECT_EQ(place(22), std::make_pair(1, 18));
    EXPECT_EQ(place(23), std::make_pair(2, 9));
    EXPECT_EQ(place(33), std::make_pair(3, 18));
}

// One channel's note cells after loading a text.
struct CellsCase {
    std::string text;
    int channel;
    Cells cells;
};

TEST(SongFileReading, LineGrammarVoiceGroupsAndTempoTokensPlaceTheCells)
{
    const std::vector<CellsCase> cases{
        // Group copies are read after every record of the file.
        {"START\nC,1,2 E 2CH\nEND\n", 2, {"C,2", "E", "CH"}},
        // A voice of 0 makes no record and so does not widen the group.
        {"START\nC,10,0 D\nEND", 1, {"C,10", "D"}},
        {"START\nC,10,0 D\nEND", 2, {"", ""}},
        {"START\nC,0,74 D\nEND", 1, {"C,0", "D"}},
        {"START\nC,0,74 D\nEND", 2, {"C,74", "D"}},
        // A voice list resets the group: after two voices and then one,
        // plain tokens go to channel 1 only.
        {"START\nC,1,2 D E,5 F\nEND", 2, {"C,2", "D", "", ""}},
        // Channel 15 gets no voice, channel 16 does: the group is still all 15 channels.
        {"START\nC,1,2,3,4,5,6,7,8,9,10,11,12,13,14,0,16 D\nEND", 14, {"C,14", "D"}},
        {"START\nC,1,2,3,4,5,6,7,8,9,10,11,12,13,14,0,16 D\nEND", 15, {"", "D"}},
        // Only lines after START count, up to END; comments and blank lines
        // are skipped, only spaces are stripped, and any line end will do.
        {"C C C\r\nEND\r\n  sTaRt  \r\n' a comment\r\n; another\r\n\r\n   \r\nc d 'e\r\nEndless\r\nF G\r\n",
         1,
         {"C", "D", "'E"}},
        {"\tSTART\nC\nEND", 1, {""}},
        {"START\nC D\nE\nEND\n", 1, {"C", "D", "E"}},
        {"START\rC D\rE\rEND\r", 1, {"C", "D", "E"}},
        {"START\r\nC D\r\nE\r\nEND\r\n", 1, {"C", "D", "E"}},
        {"START\n\rC D\r\n\nE", 1, {"C", "D", "E"}},
        {"START\r\nABWD\r\nEND\r\n", 1, {"ABWD"}},
        {std::string("START\nC\0D \0END\nE", 16), 1, {std::string("C\0D", 3), std::string("\0END", 4), "E"}},
        // "0C" names no channel: the voice group places it.
        {"START\nN0X1C N0C 0C\nEND", 1, {"", "", "0C"}},
        {"START\nT90 C T100 D\nEND", 1, {"C", "D"}},  // tempo tokens take no column
    };
    for (const CellsCase& c : cases) {
        SCOPED_TRACE(c.text + " channel " + std::to_string(c.channel));
        EXPECT_EQ(noteCells(LoadedSong(c.text).song, c.channel), c.cells);
    }
}

TEST(SongFileReading, GroupRecordsTakeTheStateTheFileLeft)
{
    // The copy of E on channel 2 takes the half-note duration that "2CH",
    // later in the file, left on channel 2.
    const LoadedSong loaded("START\nC,1,2 E 2CH\nEND\n");
    const auto copy = recordsAt(loaded.song, 2, 2);
    const auto original = recordsAt(loaded.song, 1, 2);
    ASSERT_EQ(copy.size(), 1u);
    ASSERT_EQ(original.size(), 1u);
    EXPECT_FLOAT_EQ(copy[0]->duration, 2.0f);
    EXPECT_FLOAT_EQ(original[0]->duration, 0.0f);

    EXPECT_EQ(recordsAt(LoadedSong("START\nC,0,74 D\nEND").song, 1, 1)[0]->voice, 0);
    EXPECT_EQ(recordsAt(LoadedSong("START\nC 'e\nEND").song, 1, 2)[0]->note, 4);
    EXPECT_EQ(LoadedSong("\tSTART\nC\nEND").song.noteList.size(), 1u);

    // Voices past the last channel are dropped but still set the group.
    std::string voices;
    for (int v = 1; v <= 20; ++v) voices += "," + std::to_string(v);
    const LoadedSong twenty("START\nC" + voices + " D\nEND");
    for (int channel = 1; channel <= kSongRows; ++channel) {
        EXPECT_EQ(noteCells(twenty.song, channel), (Cells{"C," + std::to_string(channel), "D"})) << channel;
        EXPECT_EQ(recordsAt(twenty.song, channel, 1)[0]->voice, channel);
    }
    EXPECT_EQ(twenty.song.noteList.size(), 1u + 15u + 15u);
    EXPECT_EQ(LoadedSong("START\nC,1,2,3,4,5,6,7,8,9,10,11,12,13,14,0,16 D\nEND").song.noteList.size(), 1u + 14u + 15u);
}

TEST(SongFileReading, LeadingChannelNumberAndPlacementPrefixAreNotShown)
{
    const LoadedSong loaded("START\n12C N1X3C5Q N3X2;5C N2X4;;C N4C\nEND");
    EXPECT_EQ(loaded.song.grid.cellText(11, gridColumnOf(1)), "C");
    EXPECT_EQ(loaded.song.grid.cellText(0, gridColumnOf(3)), "C5Q");
    EXPECT_EQ(loaded.song.grid.cellText(2, gridColumnOf(2)), "5C");
    EXPECT_EQ(loaded.song.grid.cellText(1, gridColumnOf(4)), ";C");
    EXPECT_EQ(loaded.song.grid.cellText(3, gridColumnOf(5)), "C");  // no X: its running column
    EXPECT_EQ(noteColumnCount(loaded.song), 5);

    // The digits after the prefix are the octave, not part of the placement.
    EXPECT_EQ(recordsAt(loaded.song, 3, 2)[0]->octave, 5);
    EXPECT_EQ(recordsAt(loaded.song, 12, 1)[0]->note, 0);

    // Digits alone: channel 12, no note letter, nothing left to show.
    const LoadedSong digits("START\n12\nEND");
    const auto twelve = recordsAt(digits.song, 12, 1);
    ASSERT_EQ(twelve.size(), 1u);
    EXPECT_EQ(twelve[0]->note, -1);
    EXPECT_EQ(twelve[0]->text, "");

    // A placed token with several commas is one note, not a voice group.
    const LoadedSong commas("START\nN1X1C,10,74\nEND");
    ASSERT_EQ(commas.song.noteList.size(), 2u);
    EXPECT_EQ(commas.song.noteList[1].voice, 10);
    EXPECT_EQ(commas.song.grid.cellText(0, gridColumnOf(1)), "C,10,74");
}

TEST(SongFileReading, WithoutStartOrNotesTheSongHasOneNoteColumn)
{
    for (const char* text : {"C D E\r\n", "", "START\r\nEND\r\n", "START\r\n| | |\r\nEND"}) {
        const LoadedSong loaded(text);
        EXPECT_EQ(loaded.song.noteList.size(), 1u) << text;
        EXPECT_EQ(noteColumnCount(loaded.song), 1) << text;
        EXPECT_EQ(loaded.position.maximum(), 1) << text;
    }
}

TEST(SongFileReading, TheLastUsableTempoTokenSetsTheTempoAndItsCell)
{
    const std::vector<std::tuple<std::string, std::int32_t, std::string>> cases{
        {"START\nT90 C T100 D\nEND", 100, "1 T100"},
        {"START\nT95 T0 T T-5\nEND", 95, "1 T95"},
        {"START\nT0 T-5 T C\nEND", 77, "1"},
        {"START\nT99999999999\nEND", std::numeric_limits<std::int32_t>::max(), "1 T99999999999"}};
    for (const auto& [text, tempo, cell] : cases) {
        const LoadedSong loaded(text, 77);
        EXPECT_EQ(loaded.song.tempo, tempo) << text;
        EXPECT_EQ(loaded.song.grid.cellText(0, kChannelColumn), cell) << text;
    }
}

TEST(SongFileReading, RecordsOutsideTheSongAreDropped)
{
    const LoadedSong loaded(
        "START\nN0X1C N16X1C N99X2C 16C 99C -1C N1X0C N1X65536C N1X2000000000C N1X-3C N99999999999X1C N2X7D\nEND");
    ASSERT_EQ(loaded.song.noteList.size(), 2u);
    EXPECT_EQ(loaded.song.noteList[1].channel, 2);
    EXPECT_EQ(loaded.song.noteList[1].column, 7);
    EXPECT_EQ(noteColumnCount(loaded.song), 7);
    for (std::size_t channel = 0; channel < loaded.song.channels.size(); ++channel)
        EXPECT_EQ(loaded.song.channels[channel].text, channel == 2 ? "D" : "") << channel;
    EXPECT_EQ(loaded.song.noteList[0].voice, 1);  // the default record at the head stays
}

TEST(SongFileReading, RunningColumnsEndAtTheLastPossibleColumn)
{
    std::string text = "START\n";
    for (int i = 0; i < kMaxNoteColumns + 5; ++i) text += "C ";
    text += "N2X5E\nEND";
    const LoadedSong loaded(text);
    EXPECT_EQ(noteColumnCount(loaded.song), kMaxNoteColumns);
    EXPECT_EQ(loaded.song.noteList.size(), 1u + kMaxNoteColumns + 1u);
    EXPECT_EQ(loaded.song.noteList[kMaxNoteColumns].column, kMaxNoteColumns);
    EXPECT_EQ(loaded.song.grid.cellText(1, gridColumnOf(5)), "E");  // a placed note still lands
}

}  // namespace
}  // namespace nimbel
