// Song files may hold anything: loading, showing and saving hostile texts
// must stay inside the song (channels 1 … 15, note columns 1 … 65,535), keep
// the tempo playable and keep the note list small.
#include "song_file_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace nimbel {
namespace {

using testing::LoadedSong;
using testing::noteColumnCount;

// What must hold after loading any text, whatever it was; then a save of
// the loaded song (which rebuilds it, tempo included) must load again.
void expectSongInShape(LoadedSong& loaded, std::size_t maxRecords)
{
    const Song& song = loaded.song;
    EXPECT_GE(song.tempo, 1);
    EXPECT_LE(song.noteList.size(), maxRecords);
    ASSERT_FALSE(song.noteList.empty());
    EXPECT_EQ(song.noteList[0].column, 0);  // the default record heads the list
    for (std::size_t i = 1; i < song.noteList.size(); ++i) {
        const NoteRecord& r = song.noteList[i];
        const bool placed = r.channel >= 1 && r.channel <= kSongRows && r.column >= 1 && r.column <= kMaxNoteColumns;
        ASSERT_TRUE(r.isTempo() || placed) << "record " << i << " on channel " << r.channel << ", column " << r.column;
    }
    EXPECT_EQ(song.grid.rowCount(), kSongRows);
    EXPECT_TRUE(noteColumnCount(song) >= 1 && noteColumnCount(song) <= kMaxNoteColumns) << noteColumnCount(song);
    EXPECT_EQ(loaded.position.maximum(), noteColumnCount(song));

    const std::string saved = songFileText(loaded.song, "2024/01/01");
    const LoadedSong again(saved);
    EXPECT_EQ(again.song.tempo, song.tempo);
    EXPECT_LE(noteColumnCount(again.song), noteColumnCount(song));
}

TEST(HostileSongFiles, BinaryGarbageAndNulBytes)
{
    std::mt19937 random(7);
    std::string garbage = "START\r\n";
    for (int i = 0; i < 1 << 20; ++i) garbage += static_cast<char>(random());
    LoadedSong loaded(garbage);
    expectSongInShape(loaded, 1 + 15 * static_cast<std::size_t>(kMaxNoteColumns));

    using namespace std::string_literals;
    LoadedSong nul("\0START\r\nSTART\r\nC\0D E\0\r\n\0END\r\nF"s);
    expectSongInShape(nul, 5);
    EXPECT_EQ(nul.song.grid.cellText(0, gridColumnOf(1)), "C\0D"s);
    EXPECT_EQ(nul.song.grid.cellText(0, gridColumnOf(2)), "E\0"s);
    EXPECT_EQ(nul.song.grid.cellText(0, gridColumnOf(3)), "\0END"s);  // no END: a note token
    EXPECT_EQ(noteColumnCount(nul.song), 4);
}

TEST(HostileSongFiles, FiftyMegabyteLines)
{
    constexpr std::size_t kSize = 50u << 20;
    std::string oneToken = "START\n";
    oneToken.append(kSize, 'C');
    LoadedSong single(oneToken);
    expectSongInShape(single, 2);
    EXPECT_EQ(single.song.grid.cellText(0, gridColumnOf(1)).size(), kSize);

    std::string manyTokens = "START\n";
    manyTokens.reserve(kSize + 16);
    while (manyTokens.size() < kSize) manyTokens += "c#q,3,4 |";
    LoadedSong many(manyTokens);
    expectSongInShape(many, 1 + 2 * static_cast<std::size_t>(kMaxNoteColumns));
    EXPECT_EQ(noteColumnCount(many.song), kMaxNoteColumns);
}

TEST(HostileSongFiles, NumbersPastThirtyTwoBits)
{
    LoadedSong loaded(
        "START\nN99999999999X1C N1X99999999999C N1X2000000000C 99999999999C C,99999999999,-99999999999 "
        "V99999999999C>>>>>99999999999 T99999999999999\nEND");
    expectSongInShape(loaded, 4);
    EXPECT_EQ(noteColumnCount(loaded.song), 6);
}

TEST(HostileSongFiles, ChannelsZeroAndSixteenToNinetyNine)
{
    std::string text = "START\nN0X1C N0C 0C\n";
    for (int channel = 16; channel <= 99; ++channel)
        text += "N" + std::to_string(channel) + "X1C " + std::to_string(channel) + "C ";
    LoadedSong loaded(text + "\nEND");
    expectSongInShape(loaded, 2);
    // "0C" has no leading channel number: the voice group places it on channel 1.
    EXPECT_EQ(loaded.song.grid.cellText(0, gridColumnOf(3)), "0C");
}

TEST(HostileSongFiles, UnusableTemposAndEndlessBars)
{
    LoadedSong tempos("START\nT T0 T-5 T-99999999999\nEND", 64);
    EXPECT_EQ(tempos.song.tempo, 64);
    expectSongInShape(tempos, 1);

    std::string manyTempos = "START\n";
    for (int i = 0; i < 200000; ++i) manyTempos += "T" + std::to_string(1 + i % 300) + " ";
    LoadedSong lastTempo(manyTempos);
    EXPECT_EQ(lastTempo.song.tempo, 1 + 199999 % 300);
    expectSongInShape(lastTempo, 2);  // only the last tempo token is kept

    LoadedSong bars("START\n" + std::string(100000, '|') + "\n" + std::string(5000, '|') + "C|||D\nEND");
    expectSongInShape(bars, 3);
    EXPECT_EQ(noteColumnCount(bars.song), 2);
}

TEST(HostileSongFiles, HugeVoiceListStaysLinear)
{
    std::string text = "START\nC";
    for (int voice = 1; voice <= 999999; ++voice) text += "," + std::to_string(voice);
    LoadedSong loaded(text + " C C C\nEND");
    // 15 voices, the last voice past channel 15 (dropped), then 3 × 15 notes.
    expectSongInShape(loaded, 1 + 15 + 45);
    EXPECT_EQ(loaded.song.noteList.size(), 1u + 15u + 45u);
}

}  // namespace
}  // namespace nimbel
