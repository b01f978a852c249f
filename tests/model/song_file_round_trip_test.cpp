// Saving a song and loading the file again gives back the same note cells,
// in the same places, and the same tempo: checked on random songs.
#include "song_file_test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>

namespace nimbel {
namespace {

using Cell = std::pair<int, int>;  // channel, note column

// Every non-empty note cell of the song, by place.
std::map<Cell, std::string> noteCellMap(const Song& song)
{
    std::map<Cell, std::string> cells;
    const int end = findEndColumn(song.grid);
    for (int c = kFirstNoteColumn; c <= end; ++c)
        for (int channel = 1; channel <= kSongRows; ++channel)
            if (const std::string& text = song.grid.cellText(channel - 1, c); !text.empty())
                cells[{channel, noteColumnOf(c)}] = text;
    return cells;
}

// A note text as the Note Window and typing can leave in a cell: upper
// case, no spaces, no bars; digits, marks, commas and prefixes anywhere.
std::string randomCellText(std::mt19937& random)
{
    static constexpr std::string_view kAlphabet = "ABCDEFGRWHQSTV#<>+-.,;'XN0123456789";
    static constexpr std::string_view kStarts[] = {"", "5", "12", "N", "X", "T", ",", "N3X4", "V9", "0", ";", ";7"};
    std::string text(kStarts[random() % std::size(kStarts)]);
    const std::size_t length = 1 + random() % 8;
    for (std::size_t i = 0; i < length; ++i) text += kAlphabet[random() % kAlphabet.size()];
    return text;
}

TEST(SongFileRoundTrip, RandomSongsComeBackCellForCell)
{
    std::mt19937 random(20240917);
    for (int round = 0; round < 60; ++round) {
        Song song;
        PlainPositionDisplay position;
        newSong(song, position);
        const int columns = 1 + static_cast<int>(random() % 120);
        setNoteColumnCount(song.grid, gridColumnOf(columns));
        const int notes = static_cast<int>(random() % 200);
        for (int i = 0; i < notes; ++i) {
            // Channels 10 … 15 are drawn as often as 1 … 9.
            const int channel = random() % 2 ? 10 + static_cast<int>(random() % 6) : 1 + static_cast<int>(random() % 9);
            const int column = 1 + static_cast<int>(random() % static_cast<unsigned>(columns));
            song.grid.setCellText(channel - 1, gridColumnOf(column), randomCellText(random));
        }
        const int tempo = 1 + static_cast<int>(random() % 400);
        song.grid.setCellText(0, kChannelColumn, "1 T" + std::to_string(tempo));
        const std::map<Cell, std::string> before = noteCellMap(song);

        const std::string file = songFileText(song, "2024/09/17");
        testing::LoadedSong reloaded(file);
        ASSERT_EQ(noteCellMap(reloaded.song), before) << "round " << round << "\n" << file;
        ASSERT_EQ(reloaded.song.tempo, tempo);
        ASSERT_EQ(reloaded.song.grid.cellText(0, kChannelColumn), "1 T" + std::to_string(tempo));

        // And once more: the second save is the first one.
        ASSERT_EQ(songFileText(reloaded.song, "2024/09/17"), file);
    }
}

}  // namespace
}  // namespace nimbel
