// What note texts mean: the worked examples of the notation, the search
// rules that make it read out of order, and the rebuild from the grid.
#include "decimal_reader.h"
#include "notation.h"
#include "song.h"
#include "song_columns.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

namespace nimbel {
namespace {

// The channel state as a rebuild leaves it before the first cell.
ChannelState rebuiltState()
{
    ChannelState state{};
    state[1].channel = 1;
    state[1].octave = 5;
    state[1].volume = 5;
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

NoteRecord parseFresh(const std::string& text, int channel = 1)
{
    ChannelState state = rebuiltState();
    return parse(text, state, channel);
}

TEST(DecimalReader, ReadsLikeACDecimalConversion)
{
    EXPECT_EQ(readDecimal("120"), 120);
    EXPECT_EQ(readDecimal(" \t-12x"), -12);
    EXPECT_EQ(readDecimal("+7"), 7);
    EXPECT_EQ(readDecimal("12,74"), 12);
    EXPECT_EQ(readDecimal(""), 0);
    EXPECT_EQ(readDecimal("Q"), 0);
    EXPECT_EQ(readDecimal("-"), 0);
    EXPECT_EQ(readDecimal("$1F"), 31);
    EXPECT_EQ(readDecimal("%101"), 5);
    EXPECT_EQ(readDecimal("%102"), 2);
}

TEST(DecimalReader, HugeNumbersSaturateInsteadOfOverflowing)
{
    EXPECT_EQ(readDecimal("99999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(readDecimal("-99999999999999999999999"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(readDecimal("2147483647"), 2147483647);
    EXPECT_EQ(readDecimal("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(readDecimal("$FFFFFFFFFFFF"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(decimalLength(0), 1);
    EXPECT_EQ(decimalLength(15), 2);
    EXPECT_EQ(decimalLength(-3), 2);
    EXPECT_EQ(decimalLength(std::numeric_limits<std::int64_t>::min()), 20);
}

TEST(Notation, LoneNoteTakesTheChannelsRunningValues)
{
    const NoteRecord c = parseFresh("C");
    EXPECT_EQ(c.note, 0);
    EXPECT_EQ(c.octave, 5);
    EXPECT_EQ(c.volume, 5);
    EXPECT_FLOAT_EQ(c.duration, 2.0f);

    const NoteRecord other = parseFresh("C", 3);
    EXPECT_EQ(other.octave, 0);
    EXPECT_EQ(other.volume, 0);

    // Marks on a channel still at 0 start from channel 1's values.
    EXPECT_EQ(parseFresh("C+", 3).volume, 6);
    EXPECT_EQ(parseFresh("C>", 3).octave, 6);
    EXPECT_EQ(parseFresh("C-", 3).volume, 4);
}

TEST(Notation, WorkedExampleFromAProjectFile)
{
    for (const std::string text : {"N1X1V55ABWD,1", "ABWD"}) {
        SCOPED_TRACE(text);
        const NoteRecord r = parseFresh(text);
        EXPECT_EQ(r.channel, 1);
        EXPECT_EQ(r.volume, 5);
        EXPECT_EQ(r.octave, 5);
        EXPECT_EQ(r.note, 1);  // D, flattened by the B before it
        EXPECT_FLOAT_EQ(r.duration, 6.0f);
    }
    const NoteRecord placed = parseFresh("N1X1V55ABWD,1");
    EXPECT_EQ(placed.column, 1);
    EXPECT_EQ(placed.voice, 1);
}

TEST(Notation, OctaveDurationAndVoice)
{
    ChannelState state = rebuiltState();
    const NoteRecord a = parse("C8Q,10", state);
    EXPECT_EQ(a.octave, 8);
    EXPECT_EQ(a.note, 0);
    EXPECT_FLOAT_EQ(a.duration, 1.0f);
    EXPECT_EQ(a.voice, 10);

    state = rebuiltState();
    const NoteRecord b = parse("F<<Q,10,74", state);
    EXPECT_EQ(b.note, 5);
    EXPECT_EQ(b.octave, 3);
    EXPECT_FLOAT_EQ(b.duration, 1.0f);
    EXPECT_EQ(b.voice, 10);
    EXPECT_EQ(state[1].voice, 10);

    EXPECT_EQ(parseFresh("GH").note, 7);
    EXPECT_FLOAT_EQ(parseFresh("GH").duration, 2.0f);
    EXPECT_EQ(parseFresh("AQ").note, 9);
    EXPECT_FLOAT_EQ(parseFresh("AQ").duration, 1.0f);
}

TEST(Notation, SharpsFlatsAndTheLetterB)
{
    EXPECT_EQ(parseFresh("GB").note, 6);
    EXPECT_EQ(parseFresh("BB").note, 10);
    EXPECT_EQ(parseFresh("B#").note, 12);
    EXPECT_EQ(parseFresh("B").note, 11);
    EXPECT_EQ(parseFresh("CB").note, -1);
    EXPECT_EQ(parseFresh("F#").note, 6);
}

TEST(Notation, LatestLetterInSearchOrderWins)
{
    const NoteRecord fe = parseFresh("FE");
    EXPECT_EQ(fe.note, 5);
    EXPECT_FLOAT_EQ(fe.duration, 0.5f);

    ChannelState state = rebuiltState();
    parse("CQ", state);
    const NoteRecord ef = parse("EF", state);
    EXPECT_EQ(ef.note, 5);
    EXPECT_FLOAT_EQ(ef.duration, 1.0f);  // no duration code after F: the channel's
}

TEST(Notation, HighestDigitBeforeTheCommaIsTheOctave)
{
    EXPECT_EQ(parseFresh("5C7").octave, 7);
    const NoteRecord r = parseFresh("V9C,12", 2);
    EXPECT_EQ(r.volume, 9);
    EXPECT_EQ(r.octave, 0);  // the 1 and 2 after the comma are the voice
    EXPECT_EQ(r.voice, 12);
}

TEST(Notation, EveryMarkCounts)
{
    EXPECT_EQ(parseFresh("C+++").volume, 8);
    EXPECT_EQ(parseFresh("C>>").octave, 7);
    EXPECT_EQ(parseFresh("C<<<<<<<").octave, -2);  // no lower limit
}

TEST(Notation, MarkThatMeetsZeroFallsBackEachTime)
{
    ChannelState state = rebuiltState();
    state[3].volume = 1;
    EXPECT_EQ(parse("C--", state, 3).volume, 4);  // 1 → 0, then 0 takes channel 1's 5 → 4

    state = rebuiltState();
    state[1].volume = 1;
    EXPECT_EQ(parse("C--", state, 1).volume, -1);  // channel 1 falls back on itself
}

TEST(Notation, Rests)
{
    ChannelState state = rebuiltState();
    const NoteRecord r = parse("RQ", state);
    EXPECT_EQ(r.note, kRestNote);
    EXPECT_FLOAT_EQ(r.duration, 1.0f);
    const NoteRecord plain = parse("R", state);
    EXPECT_EQ(plain.note, kRestNote);
    EXPECT_FLOAT_EQ(plain.duration, 1.0f);
}

TEST(Notation, LengtheningIsForThisNoteOnly)
{
    // G is the latest letter in search order, so the D after it lengthens.
    ChannelState state = rebuiltState();
    EXPECT_FLOAT_EQ(parse("GQD.", state).duration, 2.25f);
    EXPECT_FLOAT_EQ(parse("G", state).duration, 1.0f);
    // With C the D is the note letter itself, and only the "." lengthens.
    state = rebuiltState();
    const NoteRecord cd = parse("CQD.", state);
    EXPECT_EQ(cd.note, 2);
    EXPECT_FLOAT_EQ(cd.duration, 3.0f);
}

TEST(Notation, NoteWindowOrderHidesLetterAndOctaveBehindTheVolume)
{
    ChannelState state = rebuiltState();
    NoteRecord r;
    r.channel = 1;
    r.text = "D5V5Q,1";
    parseNoteText(r, state);
    EXPECT_EQ(r.volume, 5);
    EXPECT_FLOAT_EQ(r.duration, 1.0f);
    EXPECT_EQ(r.voice, 1);
    EXPECT_EQ(r.note, 0);
    EXPECT_EQ(r.octave, 5);
}

TEST(Notation, ChannelAndColumnPrefix)
{
    const NoteRecord r = parseFresh("N12X5C");
    EXPECT_EQ(r.channel, 12);
    EXPECT_EQ(r.column, 5);
    const NoteRecord z = parseFresh("N05X1C");
    EXPECT_EQ(z.channel, 5);
    EXPECT_EQ(z.column, 0);  // the X is looked for where the 5 stands
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

TEST(Notation, TextsBeginningWithADigitKeepApartFromTheColumn)
{
    EXPECT_EQ(placedNoteText(1, 1, "5C"), "N1X1;5C");
    EXPECT_EQ(placedNoteText(12, 40, "C5Q"), "N12X40C5Q");
    const NoteRecord r = parseFresh(placedNoteText(1, 1, "5C"));
    EXPECT_EQ(r.column, 1);
    EXPECT_EQ(r.octave, 5);
}

TEST(Rebuild, TempoCellAndTempoRecord)
{
    Song song;
    rebuildNoteList(song);
    ASSERT_EQ(song.noteList.size(), 1u);
    EXPECT_EQ(song.noteList[0].text, "T120");
    EXPECT_EQ(song.tempo, 120);

    song.grid.setCellText(0, 0, "1 T90");
    rebuildNoteList(song);
    EXPECT_EQ(song.noteList[0].text, "T90");
    EXPECT_EQ(song.tempo, 90);

    for (const std::string cell : {"1 T", "1 T0", "1 T-5"}) {
        song.tempo = 77;
        song.grid.setCellText(0, 0, cell);
        rebuildNoteList(song);
        EXPECT_EQ(song.tempo, 120) << cell;
        EXPECT_EQ(song.noteList[0].text, "T120") << cell;
    }
}

TEST(Rebuild, OrdersByColumnThenChannelAndResetsTheState)
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
}

TEST(Rebuild, EndColumnIsTheLastNoteColumn)
{
    Song song;
    song.grid.setCellText(0, 24, "C");  // the End column holds notes
    song.grid.setCellText(0, 8, "D");
    song.grid.setHeaderTitle(8, "End");  // now the song ends at column 8
    rebuildNoteList(song);
    ASSERT_EQ(song.noteList.size(), 2u);
    EXPECT_EQ(song.noteList[1].column, 5);
}

// For any grid, each non-empty cell is exactly one record in its own place.
TEST(Rebuild, EveryNonEmptyCellBecomesOneRecordInItsPlace)
{
    std::mt19937 random(20261206);
    const std::string alphabet = "ABCDEFGRWHQSTV0123456789+-<>#.,;|$%XN ";
    for (int round = 0; round < 30; ++round) {
        Song song;
        setNoteColumnCount(song.grid, gridColumnOf(1 + static_cast<int>(random() % 60)));
        const int end = findEndColumn(song.grid);
        int filled = 0;
        std::vector<std::pair<int, int>> places;
        for (int c = kFirstNoteColumn; c <= end; ++c) {
            for (int row = 0; row < kSongRows; ++row) {
                if (random() % 3 != 0) continue;
                std::string text;
                for (int n = static_cast<int>(random() % 9); n > 0; --n) text += alphabet[random() % alphabet.size()];
                song.grid.setCellText(row, c, text);
                if (text.find_first_not_of(' ') != std::string::npos) {
                    ++filled;
                    places.emplace_back(row + 1, noteColumnOf(c));
                }
            }
        }
        rebuildNoteList(song);
        ASSERT_EQ(static_cast<int>(song.noteList.size()), filled + 1);
        for (int i = 0; i < filled; ++i) {
            const NoteRecord& r = song.noteList[static_cast<size_t>(i) + 1];
            EXPECT_EQ(r.channel, places[static_cast<size_t>(i)].first) << r.text;
            EXPECT_EQ(r.column, places[static_cast<size_t>(i)].second) << r.text;
        }
    }
}

}  // namespace
}  // namespace nimbel
