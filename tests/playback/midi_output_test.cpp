// The MIDI output: the device choice, the clamping that keeps every value in
// its own byte, and the notes ended at close.
#include "midi_output.h"
#include "recording_midi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace nimbel {
namespace {

using Packed = std::vector<std::uint32_t>;

struct OutputRig {
    OutputRig() { output.openOutput(devices, -1); }

    Packed packed() const
    {
        Packed out;
        for (const TimedMessage& m : log) out.push_back(m.packed);
        return out;
    }

    SimulatedClock clock;
    MessageLog log;
    RecordingMidiDevices devices{clock, log};
    MidiOutput output;
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
    EXPECT_EQ(rig.packed(), (Packed{0x003C91, 0x004893}));
    EXPECT_FALSE(rig.output.isOpen());
    EXPECT_FALSE(rig.output.hasSoundingNotes());

    // Destroying an output ends its notes too.
    {
        MidiOutput output;
        output.openOutput(rig.devices, -1);
        output.noteOn(5, 67, 70);
    }
    EXPECT_EQ(rig.packed(), (Packed{0x003C91, 0x004893, 0x464395, 0x004395}));
}

}  // namespace
}  // namespace nimbel
