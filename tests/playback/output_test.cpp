// What leaves the program: the MIDI output with the device choice and the
// clamping that keeps every value in its own byte, MIDI files, rendered
// audio that cannot be made, and which ALSA sequencer ports are offered.
// The synthesizer heard through a sound server is checked with the whole
// program, audio as Debian's readers hear it through the export tool, and
// every MIDI file's structure by the playback fuzzer.
#include "support/files.h"
#include "support/playback_rig.h"

#include "midi_file.h"
#include "midi_output.h"
#include "offline_render.h"
#include "recording_midi.h"
#include "system_midi_devices.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <vector>

namespace nimbel {
namespace {

using testing_support::ScratchFolder;

using Packed = std::vector<std::uint32_t>;

struct OutputRig : testing_support::PlaybackRig {
    Packed packed() const
    {
        Packed out;
        for (const TimedMessage& m : log) out.push_back(m.packed);
        return out;
    }
};

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

TEST(MidiOutputMessages, ClampsVelocitiesAndProgramsAndDropsNotesAndChannelsThatDoNotFit)
{
    constexpr auto kLongMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kLongMin = std::numeric_limits<std::int64_t>::min();
    OutputRig rig;
    for (const std::int64_t velocity : {std::int64_t{14 * 12}, std::int64_t{-14}, kLongMax})
        rig.output.noteOn(2, 64, velocity);
    for (const std::int32_t program : {999, 0, std::numeric_limits<std::int32_t>::min()})
        rig.output.programChange(3, program);
    EXPECT_EQ(rig.packed(), (Packed{0x7F4092, 0x004092, 0x7F4092, 0x007FC3, 0x0000C3, 0x0000C3}));

    rig.log.clear();
    // Notes past 127 come from octaves raised with ">" marks; channel 16 would
    // spill into the status nibble.
    for (const std::int64_t note : {std::int64_t{128}, std::int64_t{-1}, kLongMin}) rig.output.noteOn(1, note, 70);
    for (const int channel : {16, -1}) rig.output.noteOn(channel, 60, 70);
    rig.output.programChange(16, 5);
    EXPECT_TRUE(rig.log.empty());
    rig.output.noteOn(1, 127, 1);
    rig.output.noteOn(1, 0, 1);
    EXPECT_EQ(rig.packed(), (Packed{0x017F91, 0x010091}));
}

using Bytes = std::vector<std::uint8_t>;

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
    const Bytes track(file.begin() + 22, file.end());
    const Bytes expected = {0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0x28,  // 16,777,000 µs
                            0x00, 0x91, 0x3C, 0x46,                    //
                            0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x00,  // the longest delta, an empty text event
                            0x05, 0x91, 0x3C, 0x00,                    //
                            0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(track, expected);
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
        {{128, 0, "soft synth", kWritable, SND_SEQ_PORT_TYPE_SYNTHESIZER | SND_SEQ_PORT_TYPE_SOFTWARE, 0, 16},
         true,
         16},
        {{128, 0, "bare synth", kWritable, SND_SEQ_PORT_TYPE_SYNTHESIZER, 0, 0}, true, 1},
        {{24, 0, "USB MIDI", kWritable, SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE, 0, 16}, true, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isOutputPort(c.port, kOwn), c.listed) << c.port.name;
        if (c.listed) {
            EXPECT_EQ(sequencerPortVoices(c.port), c.voices) << c.port.name;
        }
    }
}

}  // namespace
}  // namespace nimbel
