// The voices a Play tells the output about before its first column, so that
// the synthesizer loads them ahead: which ones, as the program changes would
// carry them, and when. (Only how soon a voice sounds depends on them: what
// is heard is the sequencer table's and the audio tests'.)
#include "midi_output.h"
#include "music_checks.h"
#include "notation.h"
#include "recording_midi.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbel {
namespace {

using Voices = std::vector<ChannelVoice>;

struct Cell {
    int channel;
    int column;
    const char* text;
};

void writeSong(Song& song, const std::vector<Cell>& cells)
{
    setNoteColumnCount(song.grid, gridColumnOf(8));
    for (const Cell& cell : cells) song.grid.setCellText(cell.channel - 1, gridColumnOf(cell.column), cell.text);
    rebuildNoteList(song);
}

// A port that writes down, in order, the voices it is told about and the messages it is sent.
class PreparingPort final : public MidiPort {
public:
    explicit PreparingPort(std::vector<std::string>& events) : events_(events) {}
    void send(std::uint32_t packed) override { events_.push_back("send " + std::to_string(packed)); }
    void prepareVoices(std::span<const ChannelProgram> voices) override
    {
        std::string line = "prepare";
        for (const ChannelProgram& voice : voices)
            line += " " + std::to_string(voice.channel) + ":" + std::to_string(voice.program);
        events_.push_back(line);
    }

private:
    std::vector<std::string>& events_;
};

class PreparingDevices final : public MidiDevices {
public:
    explicit PreparingDevices(std::vector<std::string>& events) : events_(events) {}
    int count() override { return 0; }
    std::optional<MidiDeviceCaps> capabilities(int) override { return MidiDeviceCaps{"preparing", 1}; }
    std::unique_ptr<MidiPort> open(int) override { return std::make_unique<PreparingPort>(events_); }

private:
    std::vector<std::string>& events_;
};

TEST(VoicesToPrepare, BothPlaysTellTheOutputBeforeTheirFirstMessageAsProgramChangesWouldCarryThem)
{
    std::vector<std::string> events;
    PreparingDevices devices(events);
    MidiOutput output;
    output.prepareVoices(Voices{{1, 1}});  // nothing open: nothing told
    output.openOutput(devices, -1);
    Song song;
    writeSong(song, {{1, 1, "C,41"}, {9, 1, "D,3"}});
    SimulatedClock clock;
    Sequencer sequencer(song, output, clock);
    PlainPositionDisplay position;
    PlainMusicChecks checks;

    sequencer.mainPlay(position, checks);
    ASSERT_EQ(events.size(), 16u);  // the voices, then voice 1 on the 15 channels
    EXPECT_EQ(events[0], "prepare 1:0 9:0 1:40 9:2");
    EXPECT_EQ(events[1], "send 193");  // program change, channel 1, voice 1

    events.clear();
    song.channels[9].voice = 5;
    sequencer.channelPlay(position);
    output.prepareVoices(Voices{{15, 128}, {0, 300}, {16, 5}, {-1, 5}, {3, 0}});
    EXPECT_EQ(events, (std::vector<std::string>{"prepare 1:0 9:4 1:40 9:2", "prepare 15:127 0:127 3:0"}));
}

}  // namespace
}  // namespace nimbel
