// What note texts mean: the worked examples of the notation, the search
// rules that make it read out of order, and the rebuild from the grid.
#include "decimal_reader.h"
#include "notation.h"
#include "song.h"
#include "song_columns.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace nimbel {
namespace {

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();

// The channel state as a rebuild leaves it before the first cell.
ChannelState rebuiltState()
{
    ChannelState state{};
    state[1].channel = 1;
    state[1].octave = state[1].volume = 5;
    state[1].voice = 1;
    return state;
}

NoteRecord parse(const std::string& text, ChannelState& state, int channel = 1)
{
    NoteRecord r;
    r.channel = channel;
    r.text = text;
    parseNoteText(r, state);
    return r;
}

TEST(DecimalReader, ReadsLikeACDecimalConversionAndSaturates)
{
    const std::vector<std::tuple<std::string, Digits, std::int32_t>> cases{
        {"120", Digits::withRadixMarks, 120},
        {" \t-12x", Digits::withRadixMarks, -12},
        {"+7", Digits::withRadixMarks, 7},
        {"12,74", Digits::withRadixMarks, 12},
        {"", Digits::withRadixMarks, 0},
        {"-", Digits::withRadixMarks, 0},
        {"$1F", Digits::withRadixMarks, 31},
        {"%102", Digits::withRadixMarks, 2},
        {"$1F", Digits::decimalOnly, 0},
        {"%101", Digits::decimalOnly, 0},
        {"2147483647", Digits::withRadixMarks, kMaxInt},
        {"-2147483648", Digits::withRadixMarks, kMinInt},
        {"99999999999", Digits::decimalOnly, kMaxInt},
        {"-99999999999999999999999", Digits::withRadixMarks, kMinInt},
        {"$FFFFFFFFFFFF", Digits::withRadixMarks, kMaxInt}};
    for (const auto& [text, digits, value] : cases) EXPECT_EQ(readDecimal(text, digits), value) << '"' << text << '"';
}

// One note text read on a given channel, after `before` was read on the
// same state; only the values given are checked.
struct NoteCase {
    std::string text;
    int channel = 1;
    std::optional<int> note = {}, octave = {}, volume = {};
    std::optional<float> duration = {};
    std::optional<int> voice = {}, placedChannel = {}, column = {};
    std::string before = {};
};

TEST(Notation, NoteTextsReadAsTheirWorkedExamples)
{
    const std::vector<NoteCase> cases{
        // A lone note takes the channel's running values; a channel still at 0
        // has none, but its marks start from channel 1's values.
        {.text = "C", .note = 0, .octave = 5, .volume = 5, .duration = 2.0f},
        {.text = "C", .channel = 3, .octave = 0, .volume = 0},
        {.text = "C+", .channel = 3, .volume = 6},
        {.text = "C>", .channel = 3, .octave = 6},
        {.text = "C-", .channel = 3, .volume = 4},
        // The project file example, placed and bare: D flattened by the B before it.
        {.text = "N1X1V55ABWD,1",
         .note = 1,
         .octave = 5,
         .volume = 5,
         .duration = 6.0f,
         .voice = 1,
         .placedChannel = 1,
         .column = 1},
        {.text = "ABWD", .note = 1, .octave = 5, .volume = 5, .duration = 6.0f, .placedChannel = 1},
        {.text = "C8Q,10", .note = 0, .octave = 8, .duration = 1.0f, .voice = 10},
        {.text = "F<<Q,10,74", .note = 5, .octave = 3, .duration = 1.0f, .voice = 10},
        {.text = "GH", .note = 7, .duration = 2.0f},
        {.text = "AQ", .note = 9, .duration = 1.0f},
        // Sharps, flats and the letter B.
        {.text = "GB", .note = 6},
        {.text = "BB", .note = 10},
        {.text = "B#", .note = 12},
        {.text = "B", .note = 11},
        {.text = "CB", .note = -1},
        {.text = "F#", .note = 6},
        // The latest letter in search order wins; without a duration code
        // after it the channel's duration holds.
        {.text = "FE", .note = 5, .duration = 0.5f},
        {.text = "EF", .note = 5, .duration = 1.0f, .before = "CQ"},
        // The highest digit before the comma is the octave; after it, the voice.
        {.text = "5C7", .octave = 7},
        {.text = "V9C,12", .channel = 2, .octave = 0, .volume = 9, .voice = 12},
        // Every mark counts, with no lower limit.
        {.text = "C+++", .volume = 8},
        {.text = "C>>", .octave = 7},
        {.text = "C<<<<<<<", .octave = -2},
        {.text = "RQ", .note = kRestNote, .duration = 1.0f},
        {.text = "R", .note = kRestNote, .duration = 1.0f, .before = "RQ"},
        // Lengthening is for this note only: after G the D lengthens; with C
        // the D is the note letter and only the "." lengthens.
        {.text = "GQD.", .duration = 2.25f},
        {.text = "G", .duration = 1.0f, .before = "GQD."},
        {.text = "CQD.", .note = 2, .duration = 3.0f},
        // The Note Window's order hides the letter and octave behind the volume.
        {.text = "D5V5Q,1", .note = 0, .octave = 5, .volume = 5, .duration = 1.0f, .voice = 1},
        {.text = "N12X5C", .placedChannel = 12, .column = 5},
        {.text = "N05X1C", .placedChannel = 5, .column = 0},  // the X is looked for where the 5 stands
        {.text = placedNoteText(1, 1, "5C"), .octave = 5, .column = 1},
    };
    for (const NoteCase& c : cases) {
        SCOPED_TRACE(c.before + " then " + c.text + " on channel " + std::to_string(c.channel));
        ChannelState state = rebuiltState();
        if (!c.before.empty()) parse(c.before, state, c.channel);
        const NoteRecord r = parse(c.text, state, c.channel);
        const auto expect = [](const auto& expected, const auto& actual, const char* what) {
            if (expected) {
                EXPECT_EQ(actual, *expected) << what;
            }
        };
        expect(c.note, r.note, "note");
        expect(c.octave, r.octave, "octave");
        expect(c.volume, r.volume, "volume");
        expect(c.duration, r.duration, "duration");  // sums of powers of two: exact
        expect(c.voice, r.voice, "voice");
        expect(c.placedChannel, r.channel, "channel");
        expect(c.column, r.column, "column");
    }
}

TEST(Notation, StateCarriesVoicesAndMarksThatMeetZeroFallBackEachTime)
{
    ChannelState state = rebuiltState();
    parse("F<<Q,10,74", state);
    EXPECT_EQ(state[1].voice, 10);

    state = rebuiltState();
    state[3].volume = 1;
    EXPECT_EQ(parse("C--", state, 3).volume, 4);  // 1 → 0, then 0 takes channel 1's 5 → 4
    state = rebuiltState();
    state[1].volume = 1;
    EXPECT_EQ(parse("C--", state, 1).volume, -1);  // channel 1 falls back on itself
}

TEST(Notation, ChannelsOutsideTheStateLeaveItUntouched)
{
    for (const std::string text : {"N99999999999X1C+>", "N-3X1C+", "N16C", "N$FFFFC"}) {
        SCOPED_TRACE(text);
        ChannelState state = rebuiltState();
        const ChannelState before = state;
        parse(text, state);
        for (size_t i = 0; i < state.size(); ++i) {
            EXPECT_EQ(state[i].volume, before[i].volume);
            EXPECT_EQ(state[i].octave, before[i].octave);
        }
    }
}

TEST(Rebuild, TempoCellAndTempoRecord)
{
    Song song;
    for (const auto& [cell, tempo] : std::vector<std::pair<std::string, int>>{
             {"1", 120}, {"1 T90", 90}, {"1 T", 120}, {"1 T0", 120}, {"1 T-5", 120}}) {
        song.tempo = 77;
        song.grid.setCellText(0, 0, cell);
        rebuildNoteList(song);
        ASSERT_EQ(song.noteList.size(), 1u);
        EXPECT_EQ(song.tempo, tempo) << cell;
        EXPECT_EQ(song.noteList[0].text, "T" + std::to_string(tempo)) << cell;
    }
}

TEST(Rebuild, OrdersByColumnThenChannelUpToTheEndColumnAndResetsTheState)
{
    Song song;
    song.channels[4].octave = 9;
    song.grid.setCellText(1, gridColumnOf(1), " E ");
    song.grid.setCellText(0, gridColumnOf(2), "C5Q");
    song.grid.setCellText(0, gridColumnOf(1), "V55ABWD,1");
    song.grid.setCellText(14, gridColumnOf(1), "   ");
    rebuildNoteList(song);
    ASSERT_EQ(song.noteList.size(), 4u);
    EXPECT_EQ(song.noteList[1].text, "N1X1V55ABWD,1");
    EXPECT_EQ(song.noteList[2].text, "N2X1E");
    EXPECT_EQ(song.noteList[3].text, "N1X2C5Q");
    EXPECT_EQ(song.channels[4].octave, 0);
    EXPECT_EQ(song.channels[1].octave, 5);
    EXPECT_FLOAT_EQ(song.channels[1].duration, 1.0f);  // left by the last note of channel 1

    Song ended;
    ended.grid.setCellText(0, 24, "C");  // the End column holds notes
    ended.grid.setCellText(0, 8, "D");
    ended.grid.setHeaderTitle(8, "End");  // now the song ends at column 8
    rebuildNoteList(ended);
    ASSERT_EQ(ended.noteList.size(), 2u);
    EXPECT_EQ(ended.noteList[1].column, 5);
}

}  // namespace
}  // namespace nimbel
