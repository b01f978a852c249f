// Standard MIDI Files of exported messages: the bytes written, exact
// tick times, and what Debian's own MIDI readers make of them.
#include "event_export.h"
#include "external_tools.h"
#include "midi_file.h"
#include "playback_rig.h"
#include "short_message.h"

#include <gtest/gtest.h>

#include <sstream>

namespace nimbel {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t count)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
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

class MidiFileReaders : public ::testing::Test {
protected:
    // A song with voices, chords and notes ending inside and at columns, at a
    // tempo whose beat is not a whole number of milliseconds.
    void SetUp() override
    {
        testing::writeSong(song, 4, {{1, 1, "C5Q,74"}, {2, 1, "G4E"}, {1, 2, "D5H"}, {10, 3, "V9C3S"}, {1, 4, "R"}},
                           "1 T70");
        position.setMaximum(4);
        messages = playSongToEvents(song, position);
        ASSERT_TRUE(writeStandardMidiFile(path, messages, song.tempo));
    }

    testing::TemporaryFolder folder;
    std::string path = folder.file("song.mid");
    Song song;
    PlainPositionDisplay position;
    MessageLog messages;
};

TEST_F(MidiFileReaders, MidicsvReadsEveryEventAtItsMillisecond)
{
    if (testing::findProgram("midicsv").empty()) GTEST_SKIP() << "midicsv is not installed (package midicsv)";
    const auto csv = testing::commandOutput("midicsv '" + path + "'");
    ASSERT_TRUE(csv.has_value());

    std::vector<std::string> expected = {"0, 0, Header, 0, 1, 857", "1, 0, Start_track", "1, 0, Tempo, 857000"};
    for (const TimedMessage& m : messages) {
        const auto b = shortMessageBytes(m.packed);
        const int channel = b[0] & 0x0F;
        std::ostringstream line;
        if ((b[0] & 0xF0) == 0xC0)
            line << "1, " << m.timeMs << ", Program_c, " << channel << ", " << int{b[1]};
        else
            line << "1, " << m.timeMs << ", Note_on_c, " << channel << ", " << int{b[1]} << ", " << int{b[2]};
        expected.push_back(line.str());
    }
    expected.push_back("1, " + std::to_string(messages.back().timeMs) + ", End_track");
    expected.push_back("0, 0, End_of_file");

    std::vector<std::string> lines;
    std::istringstream in(*csv);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    EXPECT_EQ(lines, expected);
}

TEST_F(MidiFileReaders, MidoFindsTheSameLengthInSeconds)
{
    const std::string python = "/usr/bin/python3";
    if (testing::findProgram(python).empty() || !testing::commandOutput(python + " -c 'import mido'"))
        GTEST_SKIP() << "python3-mido is not installed";
    const auto out = testing::commandOutput(python + " -c \"import mido; m = mido.MidiFile('" + path +
                                            "'); print(m.type, m.ticks_per_beat, round(m.length * 1000))\"");
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, "0 857 " + std::to_string(messages.back().timeMs) + "\n");
}

}  // namespace
}  // namespace nimbel
