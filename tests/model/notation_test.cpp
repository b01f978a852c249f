// What note texts mean: the worked examples of the notation and the search
// rules that make it read out of order; the rebuild of the note list from
// the grid, the grid's shape (the End column, column counts) and the track
// bar following the song's length.
#include "decimal_reader.h"
#include "grid_display.h"
#include "notation.h"
#include "song.h"
#include "song_columns.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace nimbel {
namespace {

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();

NoteRecord parse(const std::string& text, ChannelState& state, int channel = 1)
{
    NoteRecord r{.channel = channel, .text = text};
    parseNoteText(r, state);
    return r;
}

TEST(DecimalReader, ReadsLikeACDecimalConversionAndSaturates)
{
    constexpr auto marks = Digits::withRadixMarks;
    constexpr auto decimal = Digits::decimalOnly;
    // clang-format off
    const std::vector<std::tuple<std::string, Digits, std::int32_t>> cases{
        {"120", marks, 120}, {" \t-12x", marks, -12}, {"+7", marks, 7}, {"12,74", marks, 12}, {"", marks, 0},
        {"-", marks, 0}, {"$1F", marks, 31}, {"%102", marks, 2}, {"$1F", decimal, 0}, {"%101", decimal, 0},
        {"2147483647", marks, kMaxInt}, {"-2147483648", marks, kMinInt}, {"99999999999", decimal, kMaxInt},
        {"-99999999999999999999999", marks, kMinInt}, {"$FFFFFFFFFFFF", marks, kMaxInt}};
    // clang-format on
    for (const auto& [text, digits, value] : cases) EXPECT_EQ(readDecimal(text, digits), value) << '"' << text << '"';
}

// One note text read on a channel, after `before` was read on the same
// state: the values it must give ("note 1 octave 5"; others are not checked).
struct NoteCase {
    const char* before;
    const char* text;
    int channel;
    const char* values;
};

TEST(Notation, NoteTextsReadAsTheirWorkedExamples)
{
    // clang-format off
    const std::vector<NoteCase> cases{
        // A lone note takes the channel's running values; a channel still at 0
        // has none, but its marks start from channel 1's values.
        {"", "C", 1, "note 0 octave 5 volume 5 duration 2"}, {"", "C", 3, "octave 0 volume 0"},
        {"", "C+", 3, "volume 6"}, {"", "C>", 3, "octave 6"}, {"", "C-", 3, "volume 4"},
        // The project file example, placed and bare: D flattened by the B before it.
        {"", "N1X1V55ABWD,1", 1, "note 1 octave 5 volume 5 duration 6 voice 1 channel 1 column 1"},
        {"", "ABWD", 1, "note 1 octave 5 volume 5 duration 6 channel 1"},
        {"", "C8Q,10", 1, "note 0 octave 8 duration 1 voice 10"},
        {"", "F<<Q,10,74", 1, "note 5 octave 3 duration 1 voice 10"},
        // Sharps, flats and the letter B.
        {"", "GB", 1, "note 6"}, {"", "BB", 1, "note 10"}, {"", "B#", 1, "note 12"}, {"", "B", 1, "note 11"},
        {"", "CB", 1, "note -1"}, {"", "F#", 1, "note 6"},
        // The latest letter in search order wins; without a duration code
        // after it the channel's duration holds.
        {"", "FE", 1, "note 5 duration 0.5"}, {"CQ", "EF", 1, "note 5 duration 1"},
        // The highest digit before the comma is the octave; after it, the voice.
        {"", "5C7", 1, "octave 7"}, {"", "V9C,12", 2, "octave 0 volume 9 voice 12"},
        // Every mark counts, with no lower limit; a mark that meets 0 takes
        // channel 1's value each time (1 → 0, then 5 → 4), on channel 1 its own.
        {"", "C+++", 1, "volume 8"}, {"", "C>>", 1, "octave 7"}, {"", "C<<<<<<<", 1, "octave -2"},
        {"V1C", "C--", 3, "volume 4"}, {"V1C", "C--", 1, "volume -1"},
        // A rest, also after one.
        {"", "RQ", 1, "note 255 duration 1"}, {"RQ", "R", 1, "note 255 duration 1"},
        // Lengthening is for this note only: after G the D lengthens; with C
        // the D is the note letter and only the "." lengthens.
        {"", "GQD.", 1, "duration 2.25"}, {"GQD.", "G", 1, "duration 1"}, {"", "CQD.", 1, "note 2 duration 3"},
        // The Note Window's order hides the letter and octave behind the volume.
        {"", "D5V5Q,1", 1, "note 0 octave 5 volume 5 duration 1 voice 1"},
        // Placement by N and X.
        {"", "N12X5C", 1, "channel 12 column 5"}, {"", "N1X1;5C", 1, "octave 5 column 1"},
        {"", "N05X1C", 1, "channel 5 column 0"},  // the X is looked for where the 5 stands
    };
    // clang-format on
    for (const NoteCase& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " then " + c.text + " on channel " + std::to_string(c.channel));
        ChannelState state = rebuildChannelState();
        if (*c.before) parse(c.before, state, c.channel);
        const NoteRecord r = parse(c.text, state, c.channel);
        const std::map<std::string, double> values = {
            {"note", r.note},   {"octave", r.octave},   {"volume", r.volume}, {"duration", r.duration},
            {"voice", r.voice}, {"channel", r.channel}, {"column", r.column}};
        std::istringstream expected(c.values);
        std::string name;
        double value = 0;
        // Durations are sums of powers of two: exact.
        while (expected >> name >> value) EXPECT_EQ(values.at(name), value) << name;
    }
}

TEST(Rebuild, OrdersByColumnThenChannelSkipsBlankCellsAndResetsTheState)
{
    Song song;
    song.channels[4].octave = 9;
    song.grid.setCellText(1, gridColumnOf(1), " E ");
    song.grid.setCellText(0, gridColumnOf(2), "C5Q");
    song.grid.setCellText(0, gridColumnOf(1), "V55ABWD,10");
    song.grid.setCellText(14, gridColumnOf(1), "   ");
    rebuildNoteList(song);
    ASSERT_EQ(song.noteList.size(), 4u);
    EXPECT_EQ(song.noteList[1].text, "N1X1V55ABWD,10");
    EXPECT_EQ(song.noteList[2].text, "N2X1E");
    EXPECT_EQ(song.noteList[3].text, "N1X2C5Q");
    EXPECT_EQ(song.channels[4].octave, 0);
    EXPECT_EQ(song.channels[1].octave, 5);
    EXPECT_FLOAT_EQ(song.channels[1].duration, 1.0f);  // left by the last note of channel 1
    EXPECT_EQ(song.channels[1].voice, 10);             // and by the last one that names a voice
}

// Where the End column goes as a song grows and shrinks is seen in the
// sequencer's table, the export's golden grid and the grid gadget's tests.
TEST(SongGrid, EndColumnIsFoundByEndBlankOrEmptyTitleAndTheColumnCountStopsAtTheLimit)
{
    Song song;
    EXPECT_EQ(findEndColumn(song.grid), 24);
    song.grid.setHeaderTitle(10, " ");
    EXPECT_EQ(findEndColumn(song.grid), 10);
    song.grid.setHeaderTitle(7, "");
    EXPECT_EQ(findEndColumn(song.grid), 7);
    Song noEnd;
    noEnd.grid.removeColumn(24);
    EXPECT_EQ(findEndColumn(noEnd.grid), noEnd.grid.columnCount());
    Song grown;
    setNoteColumnCount(grown.grid, 2'000'000'000);
    EXPECT_EQ(grown.grid.columnCount(), kFirstNoteColumn + kMaxNoteColumns);
}

TEST(ShowNoteList, TrackBarFollowsTheSongLengthAndTheCounterStaysInIt)
{
    Song song;
    PlainPositionDisplay position;
    // The song's note columns (21 as it starts), and the counter before and after showing it.
    for (const auto& [columns, before, after] : {std::tuple{21, 25, 1}, {40, 21, 21}}) {
        setNoteColumnCount(song.grid, gridColumnOf(columns));
        position.setCounterText(std::to_string(before));
        position.setPosition(before);
        showNoteList(song, position);
        EXPECT_EQ(position.maximum(), columns);
        EXPECT_EQ(position.counterText(), std::to_string(after));
        EXPECT_EQ(position.position(), after);
    }
}

}  // namespace
}  // namespace nimbel
