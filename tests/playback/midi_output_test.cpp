// The MIDI output: the device choice, the bytes of each message, the
// clamping that keeps every value in its own byte, and the notes ended at close.
#include "midi_output.h"
#include "recording_midi.h"
#include "short_message.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace nimbel {
namespace {

struct OutputRig {
    OutputRig() { output.openOutput(devices, -1); }

    std::vector<std::uint32_t> packed() const
    {
        std::vector<std::uint32_t> out;
        for (const TimedMessage& m : log) out.push_back(m.packed);
        return out;
    }

    SimulatedClock clock;
    MessageLog log;
    RecordingMidiDevices devices{clock, log};
    MidiOutput output;
};

RecordingDevice synth(int voices) { return {MidiDeviceCaps{"synth", voices}, true}; }
RecordingDevice plainPort() { return {MidiDeviceCaps{"port", 0}, true}; }

TEST(MidiOutputChoice, TakesTheDefaultDeviceOnlyWhenItReportsVoices)
{
    SimulatedClock clock;
    MessageLog log;
    RecordingMidiDevices withVoices(clock, log, {synth(256), synth(32)});
    MidiOutput output;
    EXPECT_EQ(output.chooseOutputDevice(withVoices), -1);
    EXPECT_EQ(output.outputDevice(), -1);

    // Default device without voices, devices 0 and 1 plain ports, device 2 the first synthesizer.
    RecordingMidiDevices later(clock, log, {synth(0), plainPort(), plainPort(), synth(24), synth(64)});
    EXPECT_EQ(output.chooseOutputDevice(later), 2);

    // A query that fails only skips that device.
    RecordingMidiDevices failing(clock, log, {RecordingDevice{std::nullopt, true}, RecordingDevice{std::nullopt, true}, synth(8)});
    EXPECT_EQ(output.chooseOutputDevice(failing), 1);
}

TEST(MidiOutputChoice, FallsToDeviceZeroWhenNothingReportsVoices)
{
    SimulatedClock clock;
    MessageLog log;
    RecordingMidiDevices plainOnly(clock, log, {synth(0), plainPort(), plainPort()});
    MidiOutput output;
    EXPECT_EQ(output.chooseOutputDevice(plainOnly), 0);
    EXPECT_TRUE(output.openOutput(plainOnly, 0));
    EXPECT_EQ(plainOnly.opened(), std::vector<int>{0});

    // No device at all: the choice stays 0 and opening it fails.
    RecordingMidiDevices none(clock, log, {RecordingDevice{std::nullopt, false}});
    EXPECT_EQ(output.chooseOutputDevice(none), 0);
    EXPECT_FALSE(output.openOutput(none, 0));
    EXPECT_FALSE(output.isOpen());
}

TEST(MidiOutputMessages, PacksStatusChannelAndDataAsOneValue)
{
    OutputRig rig;
    rig.output.noteOn(1, 60, 70);
    rig.output.noteOn(1, 60, 0);
    rig.output.programChange(15, 1);
    rig.output.programChange(15, 128);
    rig.output.sendShortMessage(0x90, 9, 127, 127);
    EXPECT_EQ(rig.packed(), (std::vector<std::uint32_t>{0x463C91, 0x003C91, 0x0000CF, 0x007FCF, 0x7F7F99}));
    EXPECT_EQ(shortMessageBytes(0x463C91), (std::array<std::uint8_t, 3>{0x91, 0x3C, 0x46}));
    EXPECT_EQ(shortMessageLength(0xCF), 2);
    EXPECT_EQ(shortMessageLength(0x91), 3);
}

TEST(MidiOutputMessages, ClampsVelocitiesAndProgramsIntoTheirByte)
{
    OutputRig rig;
    rig.output.noteOn(2, 64, 14 * 12);  // volume raised to 12 with "+" marks
    rig.output.noteOn(2, 64, -14);
    rig.output.noteOn(2, 64, std::numeric_limits<std::int64_t>::max());
    rig.output.programChange(3, 999);
    rig.output.programChange(3, 0);
    rig.output.programChange(3, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(rig.packed(), (std::vector<std::uint32_t>{0x7F4092, 0x004092, 0x7F4092, 0x007FC3, 0x0000C3, 0x0000C3}));
}

TEST(MidiOutputMessages, DropsNoteNumbersAndChannelsThatDoNotFit)
{
    OutputRig rig;
    rig.output.noteOn(1, 128, 70);  // an octave raised past 9 with ">" marks
    rig.output.noteOn(1, -1, 70);
    rig.output.noteOn(1, std::numeric_limits<std::int64_t>::min(), 70);
    rig.output.noteOn(16, 60, 70);  // would spill into the status nibble
    rig.output.noteOn(-1, 60, 70);
    rig.output.programChange(16, 5);
    EXPECT_TRUE(rig.log.empty());
    rig.output.noteOn(1, 127, 1);
    rig.output.noteOn(1, 0, 1);
    EXPECT_EQ(rig.packed(), (std::vector<std::uint32_t>{0x017F91, 0x010091}));
}

TEST(MidiOutputMessages, NothingIsSentBeforeOpeningOrAfterClosing)
{
    SimulatedClock clock;
    MessageLog log;
    RecordingMidiDevices devices(clock, log);
    MidiOutput output;
    output.noteOn(1, 60, 70);
    EXPECT_TRUE(output.openOutput(devices, -1));
    output.closeOutput();
    output.programChange(1, 1);
    EXPECT_TRUE(log.empty());
}

TEST(MidiOutputClose, EndsEachSoundingNoteOnceBeforeReleasingTheDevice)
{
    OutputRig rig;
    rig.output.noteOn(1, 60, 70);
    rig.output.noteOn(1, 60, 80);  // the same key twice still needs one note-off
    rig.output.noteOn(3, 72, 70);
    rig.output.noteOn(3, 40, 70);
    rig.output.noteOn(3, 40, 0);  // already ended
    rig.output.noteOn(2, 50, 0);  // a note-off for a silent key starts nothing
    EXPECT_TRUE(rig.output.hasSoundingNotes());
    rig.log.clear();

    rig.output.closeOutput();
    EXPECT_EQ(rig.packed(), (std::vector<std::uint32_t>{0x003C91, 0x004893}));
    EXPECT_FALSE(rig.output.isOpen());
    EXPECT_FALSE(rig.output.hasSoundingNotes());
}

TEST(MidiOutputClose, DestroyingTheOutputEndsItsNotesToo)
{
    SimulatedClock clock;
    MessageLog log;
    RecordingMidiDevices devices(clock, log);
    {
        MidiOutput output;
        output.openOutput(devices, -1);
        output.noteOn(5, 67, 70);
    }
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log.back().packed, 0x004395u);
}

TEST(RecordingOutput, KeepsEachMessageWithItsClockTime)
{
    OutputRig rig;
    rig.output.noteOn(1, 60, 70);
    rig.clock.advanceBy(250);
    rig.output.noteOn(1, 60, 0);
    EXPECT_EQ(rig.log, (MessageLog{{1000, 0x463C91}, {1250, 0x003C91}}));
}

}  // namespace
}  // namespace nimbel
