// Standard MIDI Files of exported messages: the bytes written and exact
// tick times. What Debian's MIDI readers make of them is checked end to end
// through the export tool.
#include "midi_file.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t count)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

TEST(MidiFile, HeaderTempoEventsAndEndOfTrack)
{
    const MessageLog messages = {{0, 0x0000C1}, {0, 0x463C91}, {500, 0x003C91}, {700, 0x003C91}};
    const Bytes file = standardMidiFile(messages, 120);
    EXPECT_EQ(slice(file, 0, 14), (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xF4}));  // division 500
    EXPECT_EQ(slice(file, 14, 4), (Bytes{'M', 'T', 'r', 'k'}));
    const Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // 500,000 µs per quarter
                         0x00, 0xC1, 0x00,                          // program change: one data byte
                         0x00, 0x91, 0x3C, 0x46,                    //
                         0x83, 0x74, 0x91, 0x3C, 0x00,              // 500 ticks later
                         0x81, 0x48, 0x91, 0x3C, 0x00,              // 200 ticks later
                         0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(slice(file, 18, 4), (Bytes{0, 0, 0, static_cast<std::uint8_t>(track.size())}));
    EXPECT_EQ(slice(file, 22, track.size()), track);
    EXPECT_EQ(file.size(), 22 + track.size());
}

TEST(MidiFile, TheQuarterNoteIsTheColumnPeriodAndATickAMillisecond)
{
    struct Case {
        std::int32_t tempo;
        std::uint32_t division;
        std::uint32_t microseconds;
    };
    for (const Case c : {Case{70, 857, 857000}, Case{240, 250, 250000}, Case{1, 16777, 16777000},
                         Case{0, 16777, 16777000}, Case{60000, 1, 1000}, Case{1'000'000, 1, 1000}}) {
        const Bytes file = standardMidiFile({}, c.tempo);
        EXPECT_EQ((file[12] << 8) | file[13], c.division) << c.tempo;
        EXPECT_EQ((file[26] << 16) | (file[27] << 8) | file[28], c.microseconds) << c.tempo;
    }
}

TEST(MidiFile, GapsBeyondOneDeltaAreBridgedWithoutLosingTime)
{
    const std::int64_t gap = 0x0FFFFFFFLL + 5;
    const Bytes file = standardMidiFile({{0, 0x463C91}, {gap, 0x003C91}}, 1);
    const Bytes track = slice(file, 22, file.size() - 22);
    const Bytes expected = {0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0x28,  // 16,777,000 µs
                            0x00, 0x91, 0x3C, 0x46,                    //
                            0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x00,  // the longest delta, an empty text event
                            0x05, 0x91, 0x3C, 0x00,                    //
                            0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(track, expected);
}

}  // namespace
}  // namespace nimbel
