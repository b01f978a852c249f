// What leaves the program: the MIDI output's device choice, a whole MIDI
// file with a long gap, rendered audio, and which ALSA sequencer ports are
// offered. Offline rendering runs on every core: the groups' audio added up
// is the song's, the same samples every time (how the channels are balanced
// among the groups changes only the time taken, which the benchmark shows),
// and audio that cannot be made is refused. Values kept in their own bytes
// are checked by the sequencer's table and the playback fuzzer, MIDI files of
// whole songs by the import's round trip, the synthesizer heard through a
// sound server, and audio as Debian's readers hear it through the export tool.
#include "support/files.h"

#include "channel_groups.h"
#include "midi_file.h"
#include "midi_output.h"
#include "offline_render.h"
#include "recording_midi.h"
#include "short_message.h"
#include "sound_fonts.h"
#include "system_midi_devices.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace nimbel {
namespace {

using testing_support::ScratchFolder;

RecordingDevice synth(int voices) { return {MidiDeviceCaps{"synth", voices}, true}; }

TEST(MidiOutputChoice, TakesTheDefaultWithVoicesElseTheFirstDeviceWithVoicesElseDeviceZero)
{
    struct Case {
        const char* name;
        std::vector<RecordingDevice> devices;  // the default device first
        int expected;
    };
    const RecordingDevice failing{std::nullopt, true};
    const std::vector<Case> cases = {
        {"default has voices", {synth(256), synth(32)}, -1},
        {"first synthesizer after plain ports", {synth(0), synth(0), synth(0), synth(24), synth(64)}, 2},
        {"a failing query skips that device", {failing, failing, synth(8)}, 1},
        {"nothing reports voices", {synth(0), synth(0), synth(0)}, 0},
        {"no device at all", {RecordingDevice{std::nullopt, false}}, 0},
    };
    for (const Case& c : cases) {
        SimulatedClock clock;
        MessageLog log;
        RecordingMidiDevices devices(clock, log, c.devices);
        EXPECT_EQ(MidiOutput().chooseOutputDevice(devices), c.expected) << c.name;
    }
}

TEST(MidiFile, GapsBeyondOneDeltaAreBridgedWithoutLosingTime)
{
    const std::vector<std::uint8_t> expected = {
        'M',  'T',  'h',  'd',  0,    0,    0,    6,     //
        0,    0,    0,    1,    0x41, 0x89,              // format 0, one track
        'M',  'T',  'r',  'k',  0,    0,    0,    0x1A,  //
        0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0x28,        // 16,777,000 µs
        0x00, 0x91, 0x3C, 0x46,                          //
        0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x00,        // the longest delta, an empty text event
        0x05, 0x91, 0x3C, 0x00,                          //
        0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(standardMidiFile({{0, 0x463C91}, {0x0FFFFFFFLL + 5, 0x003C91}}, 1), expected);
}

class MemorySink final : public AudioSink {
public:
    bool write(std::span<const std::int16_t> samples) override
    {
        kept.insert(kept.end(), samples.begin(), samples.end());
        return true;
    }
    std::string error() const override { return {}; }
    std::vector<std::int16_t> kept;
};

// Five channels of notes with voice changes, the percussion channel among
// them, over about three seconds: several chunks of every group.
MessageLog smallBand()
{
    MessageLog song;
    for (int beat = 0; beat < 12; ++beat) {
        const std::int64_t ms = beat * 250;
        const auto note = [beat](int channel) { return 48 + (beat * 5 + channel * 7) % 36; };
        for (const int channel : {1, 2, 3, 9, 12}) {
            if (beat % 4 == 0)
                song.push_back({ms, packShortMessage(kProgramChangeStatus, channel, (beat * 13 + channel) % 128, 0)});
            song.push_back({ms, packShortMessage(kNoteOnStatus, channel, note(channel), 60 + channel)});
        }
        for (const int channel : {1, 2, 3, 9, 12})
            song.push_back({ms + 200, packShortMessage(kNoteOnStatus, channel, note(channel), 0)});
    }
    return song;
}

std::vector<std::int16_t> render(const MessageLog& song, const std::string& soundFont, int groups)
{
    MemorySink sink;
    const RenderResult result = renderMessages(song, soundFont, sink, groups);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(sink.kept.size(), static_cast<std::size_t>(result.frames) * 2);
    return sink.kept;
}

TEST(OfflineRender, GroupsAddUpToTheWholeSongAndRenderAlikeEveryTime)
{
    const auto soundFont = findSoundFont({"/usr/share/sounds/sf2/TimGM6mb.sf2"});
    if (!soundFont) GTEST_SKIP() << "needs the small SoundFont (package timgm6mb-soundfont)";
    const MessageLog song = smallBand();
    EXPECT_EQ(renderGroupCount(song, 0), 1) << "a system that does not say how many processors it has";
    const std::vector<std::int16_t> whole = render(song, *soundFont, 1);
    // The release is rendered in 10 ms steps after the last message (at 2.95 s)
    // until no voice sounds: the song ends quiet, but for the dither.
    constexpr std::size_t kLastFrame = 130095, kStep = 441;
    ASSERT_GT(whole.size(), kLastFrame * 2);
    EXPECT_EQ((whole.size() / 2 - kLastFrame) % kStep, 0u);
    EXPECT_LE(*std::max_element(whole.end() - kStep * 2, whole.end()), 2);
    for (const int groups : {1, 2, 3}) {
        SCOPED_TRACE(std::to_string(groups) + " groups");
        const std::vector<std::int16_t> split = render(song, *soundFont, groups);
        EXPECT_EQ(split, render(song, *soundFont, groups)) << "a second render differs";
        ASSERT_EQ(split.size(), whole.size()) << "the release ends elsewhere";
        // The synthesizer's channels are independent but for the rounding of
        // the sum and a few samples at some note starts: the difference is
        // more than 40 dB below the music.
        double music = 0, difference = 0;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            music += static_cast<double>(whole[i]) * whole[i];
            difference += static_cast<double>(split[i] - whole[i]) * (split[i] - whole[i]);
        }
        EXPECT_LT(difference, music * 1e-4);
    }
}

TEST(OfflineRender, RefusesWhatCannotBeRenderedAndWritesNothing)
{
    const ScratchFolder folder;
    testing_support::writeFile(folder.path / "broken.sf2", "not a SoundFont");
    const MessageLog note = {{0, 0x463C91}, {500, 0x003C91}};
    const MessageLog sevenHours = {{0, 0x463C91}, {7LL * 3600 * 1000, 0x003C91}};  // over 4 GiB of samples
    EXPECT_EQ(renderAudioFile(note, folder.file("broken.sf2"), folder.file("a.wav")).error,
              "cannot load the SoundFont " + folder.file("broken.sf2"));
    EXPECT_EQ(renderAudioFile(sevenHours, folder.file("broken.sf2"), folder.file("b.wav")).error,
              "the song is too long for a .wav file");
    EXPECT_EQ(testing_support::fileNames(folder.path), std::vector<std::string>{"broken.sf2"});
}

TEST(SequencerPorts, OnlyOtherClientsWritableRoutablePortsAreListedAndOnlySynthesizersHaveVoices)
{
    constexpr int kOwn = 130;
    constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
    struct Case {
        SequencerPort port;
        bool listed;
        int voices;
    };
    const std::vector<Case> cases = {
        {{14, 0, "Midi Through", kWritable | SND_SEQ_PORT_CAP_READ, SND_SEQ_PORT_TYPE_MIDI_GENERIC, 0, 0}, true, 0},
        {{kOwn, 0, "ours", kWritable, 0, 0, 0}, false, 0},
        {{SND_SEQ_CLIENT_SYSTEM, 0, "Timer", kWritable, 0, 0, 0}, false, 0},
        {{128, 1, "no subscriptions", SND_SEQ_PORT_CAP_WRITE, 0, 0, 0}, false, 0},
        {{128, 3, "private", kWritable | SND_SEQ_PORT_CAP_NO_EXPORT, 0, 0, 0}, false, 0},
        {{20, 0, "OPL3", kWritable, SND_SEQ_PORT_TYPE_SYNTH | SND_SEQ_PORT_TYPE_HARDWARE, 18, 16}, true, 18},
        {{128, 0, "soft", kWritable, SND_SEQ_PORT_TYPE_SYNTHESIZER | SND_SEQ_PORT_TYPE_SOFTWARE, 0, 16}, true, 16},
        {{128, 0, "bare synth", kWritable, SND_SEQ_PORT_TYPE_SYNTHESIZER, 0, 0}, true, 1},
        {{24, 0, "USB MIDI", kWritable, SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE, 0, 16}, true, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isOutputPort(c.port, kOwn), c.listed) << c.port.name;
        EXPECT_EQ(sequencerPortVoices(c.port), c.voices) << c.port.name;
    }
}

}  // namespace
}  // namespace nimbel
