// The built-in synthesizer's live output: how it places the steady clock
// among the stream's frames (following the sound clock's offset and rate),
// and notes heard on the beat through a sound server started by the test,
// with PulseAudio and with ALSA on top of it.
#include "support/files.h"
#include "support/processes.h"
#include "support/sound_server.h"

#include "builtin_synth.h"
#include "sequencer.h"
#include "song_file.h"
#include "stream_clock.h"
#include "system_midi_devices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace nimbel {
namespace {

using namespace std::chrono_literals;
namespace support = testing_support;

constexpr int kRate = 44100;
constexpr std::int64_t kSettle = 4410;
constexpr std::int64_t kMs = 1'000'000;

TEST(StreamClock, PlacesTheSteadyClockFromTheStreamsReports)
{
    // Each report says frame 0 is heard at the given origin (ms); reports
    // come every 441 frames, the first `unsettled` ones before the stream has settled.
    struct Case {
        const char* what;
        std::vector<double> origins;
        std::int64_t expectedFrame;  // heard at origin 30 ms + 1 s
        std::int64_t unsettled = 0;
    };
    const auto repeat = [](std::vector<double> first, double value, std::size_t count) {
        first.insert(first.end(), count, value);
        return first;
    };
    const std::vector<Case> cases = {
        {"steady reports", repeat({}, 30, 20), kRate},
        {"reports before the stream settled do not count", repeat(repeat({}, 90, 10), 30, 9), kRate, 10},
        {"a wild report among the first is outvoted", repeat({500, 30, 30, 30, 30, 30, 30, 30}, 30, 1), kRate},
        {"a report far off is outvoted by its neighbours", repeat(repeat(repeat({}, 30, 19), 530, 1), 30, 1), kRate},
        {"two reports 1 ms late move the clock and its rate a little", repeat(repeat({}, 30, 19), 31, 2), kRate - 4},
        {"a steady change is followed", repeat(repeat({}, 30, 19), 31, 2000), kRate - 44},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StreamClock clock(kRate, kSettle);
        std::int64_t written = kSettle - 441 * c.unsettled;
        for (const double origin : c.origins) {
            // Reported when the frames written so far would have played from time 0.
            clock.observe(written * 1'000'000'000 / kRate, written, static_cast<std::int64_t>(origin * kMs));
            written += 441;
        }
        ASSERT_TRUE(clock.ready());
        EXPECT_NEAR(clock.frameAt(30 * kMs + 1'000 * kMs), c.expectedFrame, 1);
    }
}

bool canListen()
{
    for (const char* program : {"pulseaudio", "pactl", "parec"})
        if (!support::onPath(program)) return false;
    return findSoundFont(defaultSoundFontPaths()).has_value();
}

// A sound server of the test's own, which this process plays through.
class LiveOutput : public ::testing::Test {
protected:
    support::ScratchFolder folder{"nimbel-live"};
    support::ScopedEnvironment runtime{"XDG_RUNTIME_DIR", folder.path.string()};
    support::ScopedEnvironment server{"PULSE_SERVER", std::nullopt};
    support::NullSinkServer sink{{{"XDG_RUNTIME_DIR", folder.path.string()}}};

    // Plays four quarter notes a beat apart through the built-in synthesizer
    // with `driver` and records the sink meanwhile: the recording's loudness
    // frame by frame.
    std::vector<int> playAndRecord(const std::string& driver)
    {
        Song song;
        PlainPositionDisplay position;
        openSongAfterStartUp(song, position, "START\nT240\nV95CQ,116 V95CQ,116 V95CQ,116 V95CQ,116\nEND\n");
        sink.startRecording(folder.path / (driver + ".raw"));
        std::this_thread::sleep_for(300ms);
        {
            SystemMidiDevices devices(SynthOptions{defaultSoundFontPaths(), {driver}});
            MidiOutput output;
            EXPECT_TRUE(output.openOutput(devices, -1)) << driver << " did not open";
            SteadyClock clock;
            Sequencer sequencer(song, output, clock);
            PlainMusicChecks checks;
            sequencer.mainPlay(position, checks);
            while (sequencer.isPlaying()) sequencer.playbackStep(position);
            std::this_thread::sleep_for(300ms);  // the last note dies away
        }
        std::this_thread::sleep_for(300ms);
        return sink.stopRecording();
    }
};

// Onsets at least `gap` frames apart, each the first frame above a fifth of the peak.
std::vector<std::size_t> onsets(const std::vector<int>& frames, std::size_t gap)
{
    const int threshold = frames.empty() ? 0 : *std::max_element(frames.begin(), frames.end()) / 5;
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (frames[i] > threshold && (found.empty() || i >= found.back() + gap)) found.push_back(i);
    return found;
}

const std::vector<std::string> kDrivers = {"pulseaudio", "alsa"};

TEST_F(LiveOutput, FourNotesABeatApartAreHeardABeatApart)
{
    if (!canListen()) GTEST_SKIP() << "needs pulseaudio, pulseaudio-utils and fluid-soundfont-gm";
    ASSERT_TRUE(sink.ready()) << "the PulseAudio server did not start";
    // A machine so busy that the sound server misses a deadline moves or
    // loses a note (its queue runs dry); such a run is played again, up to
    // three times.
    constexpr int kAttempts = 3;
    for (const std::string& driver : kDrivers) {
        SCOPED_TRACE(driver);
        std::vector<double> beats;
        const auto onTheBeat = [&] {
            return std::all_of(beats.begin(), beats.end(), [](double ms) { return std::abs(ms - 250.0) <= 2.0; });
        };
        for (int attempt = 0; attempt < kAttempts && (beats.empty() || !onTheBeat()); ++attempt) {
            const std::vector<std::size_t> heard = onsets(playAndRecord(driver), kRate / 5);
            beats.clear();
            if (heard.size() != 4u) continue;
            for (std::size_t k = 1; k < heard.size(); ++k)
                beats.push_back(static_cast<double>(heard[k] - heard[k - 1]) * 1000.0 / kRate);
        }
        ASSERT_EQ(beats.size(), 3u) << "four notes were not heard";
        for (std::size_t k = 0; k < beats.size(); ++k) EXPECT_NEAR(beats[k], 250.0, 2.0) << "beat " << k + 1;
    }
}

}  // namespace
}  // namespace nimbel
