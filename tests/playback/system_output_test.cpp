// The real outputs: the built-in synthesizer heard through a sound server
// started by the test, the fall-through when it cannot start, and the ALSA
// sequencer's ports (none on a machine without the sequencer).
#include "audio_analysis.h"
#include "external_tools.h"
#include "midi_output.h"
#include "null_sink_server.h"
#include "system_midi_devices.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
using testing::BackgroundProcess;
using testing::NullSinkServer;
using testing::ScopedEnvironment;
using testing::TemporaryFolder;

constexpr double kMiddleC = 261.63;

TEST(BuiltInSynthesizer, IsChosenOpensAndIsHeardOnTheSoundServerAtThePitchPlayed)
{
    for (const char* program : {"pulseaudio", "pactl", "parec"})
        if (!testing::onPath(program))
            GTEST_SKIP() << program << " is not installed (packages pulseaudio, pulseaudio-utils)";
    if (!findSoundFont(defaultSoundFontPaths()))
        GTEST_SKIP() << "no General MIDI SoundFont (package fluid-soundfont-gm)";

    NullSinkServer server;
    ASSERT_TRUE(server.ready()) << "the PulseAudio server did not start";
    const std::string recording = server.file("monitor.raw");
    BackgroundProcess recorder({"parec", "--latency-msec=20", "-d", "nullsink.monitor", "--raw", "--format=s16le",
                                "--rate=44100", "--channels=2", recording},
                               SIGINT);
    std::this_thread::sleep_for(300ms);

    {
        SystemMidiDevices devices;
        MidiOutput output;
        const auto caps = devices.capabilities(-1);
        ASSERT_TRUE(caps.has_value());
        EXPECT_GT(caps->voices, 0);
        EXPECT_EQ(output.chooseOutputDevice(devices), -1);
        ASSERT_TRUE(output.openOutput(devices, -1));

        output.programChange(1, 80);  // Ocarina: its strongest line is the fundamental
        output.noteOn(1, 60, 100);
        std::this_thread::sleep_for(1000ms);
        output.noteOn(1, 60, 0);
        std::this_thread::sleep_for(300ms);
    }
    std::this_thread::sleep_for(200ms);
    recorder.stop();

    const testing::Audio audio = testing::readRaw(recording, 44100, 2);
    const auto onset = testing::onsetFrame(audio, 300);
    ASSERT_TRUE(onset.has_value()) << "the note was not heard (" << audio.frames() << " frames recorded)";
    EXPECT_GT(testing::peak(audio, *onset, *onset + 44100), 2000);
    // A sound server without real-time priority on a busy machine drops
    // short stretches; the pitch is measured between the drop-outs.
    const auto stretches = testing::unbrokenStretches(audio.firstChannel(*onset + 2205, *onset + 39690), 1024);
    ASSERT_FALSE(stretches.empty()) << "the sound was broken up throughout";
    std::vector<double> pitches;
    for (const auto& stretch : stretches) pitches.push_back(testing::strongestFrequency(stretch, 44100, 50, 2000));
    std::nth_element(pitches.begin(), pitches.begin() + static_cast<std::ptrdiff_t>(pitches.size() / 2), pitches.end());
    EXPECT_NEAR(pitches[pitches.size() / 2], kMiddleC, kMiddleC * 0.03);
}

TEST(BuiltInSynthesizer, ReportsNoVoicesWithoutASoundFontAndTheChoiceFallsThrough)
{
    TemporaryFolder folder;
    SynthOptions options;
    options.soundFonts = {folder.file("missing.sf2"), folder.path().string()};  // absent, and a folder
    SystemMidiDevices devices(options);
    const auto caps = devices.capabilities(-1);
    ASSERT_TRUE(caps.has_value());
    EXPECT_EQ(caps->voices, 0);
    EXPECT_EQ(devices.open(-1), nullptr);

    MidiOutput output;
    const int choice = output.chooseOutputDevice(devices);
    EXPECT_GE(choice, 0);
    if (devices.count() == 0) {
        EXPECT_EQ(choice, 0);
        EXPECT_FALSE(output.openOutput(devices, choice));  // start-up then reports it cannot open the output
    }
}

TEST(BuiltInSynthesizer, ReportsNoVoicesWithoutASoundServer)
{
    if (!findSoundFont(defaultSoundFontPaths()))
        GTEST_SKIP() << "no General MIDI SoundFont (package fluid-soundfont-gm)";
    TemporaryFolder folder;
    ScopedEnvironment runtime("XDG_RUNTIME_DIR", folder.path().string());
    ScopedEnvironment server("PULSE_SERVER", "unix:" + folder.file("no-server"));
    SynthOptions options;
    options.soundFonts.insert(options.soundFonts.begin(),
                              "/usr/share/sounds/sf2/TimGM6mb.sf2");  // the quickest to load
    options.audioDrivers = {"pulseaudio"};  // ALSA may reach a real sound card on this machine
    SystemMidiDevices devices(options);
    EXPECT_EQ(devices.capabilities(-1)->voices, 0);
    EXPECT_EQ(BuiltInSynth::start(options), nullptr);
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
        {{128, 0, "synth", kWritable, 0, 0, 0}, true, 0},
        {{14, 0, "Midi Through", kWritable | SND_SEQ_PORT_CAP_READ, SND_SEQ_PORT_TYPE_MIDI_GENERIC, 0, 0}, true, 0},
        {{kOwn, 0, "ours", kWritable, 0, 0, 0}, false, 0},
        {{SND_SEQ_CLIENT_SYSTEM, 0, "Timer", kWritable, 0, 0, 0}, false, 0},
        {{128, 1, "no subscriptions", SND_SEQ_PORT_CAP_WRITE, 0, 0, 0}, false, 0},
        {{128, 2, "read only", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ, 0, 0, 0}, false, 0},
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

TEST(SequencerPorts, AMachineWithoutTheSequencerHasNoPorts)
{
    if (std::filesystem::exists("/dev/snd/seq")) GTEST_SKIP() << "this machine has an ALSA sequencer";
    EXPECT_TRUE(listSequencerOutputPorts().empty());
    SystemMidiDevices devices(SynthOptions{{}, {}});
    EXPECT_EQ(devices.count(), 0);
    EXPECT_FALSE(devices.capabilities(0).has_value());
    EXPECT_EQ(devices.open(0), nullptr);
    EXPECT_EQ(openSequencerPort({128, 0, "synth", 0, 0, 0, 0}), nullptr);
}

}  // namespace
}  // namespace nimbel
