// The built-in synthesizer's live output: how it places the steady clock
// among the stream's frames (following the sound clock's offset and rate),
// how the audio thread's queue grows after underruns, that the thread goes
// on rendering while another thread reads samples through the synthesizer,
// and notes heard on the beat through a sound server started by the test,
// with PulseAudio and with ALSA on top of it.
#include "support/files.h"
#include "support/processes.h"
#include "support/sound_server.h"

#include "builtin_synth.h"
#include "live_renderer.h"
#include "queue_growth.h"
#include "sequencer.h"
#include "short_message.h"
#include "song_file.h"
#include "sound_fonts.h"
#include "stream_clock.h"
#include "synth_setup.h"
#include "system_midi_devices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

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
        std::vector<std::pair<double, int>> origins;  // each origin and how many reports in a row give it
        std::int64_t expectedFrame;                   // heard at origin 30 ms + 1 s
        std::int64_t unsettled = 0;
    };
    const std::vector<Case> cases = {
        {"reports before the stream settled do not count", {{90, 10}, {30, 9}}, kRate, 10},
        {"a wild report among the first is outvoted", {{500, 1}, {30, 8}}, kRate},
        {"a report far off is outvoted by its neighbours", {{30, 19}, {530, 1}, {30, 1}}, kRate},
        {"two reports 1 ms late move the clock and its rate a little", {{30, 19}, {31, 2}}, kRate - 4},
        {"a steady change is followed", {{30, 19}, {31, 2000}}, kRate - 44},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StreamClock clock(kRate, kSettle);
        std::int64_t written = kSettle - 441 * c.unsettled;
        // Each reported when the frames written so far would have played from time 0.
        for (const auto& [origin, count] : c.origins)
            for (int i = 0; i < count; ++i, written += 441)
                clock.observe(written * 1'000'000'000 / kRate, written, static_cast<std::int64_t>(origin * kMs));
        ASSERT_TRUE(clock.ready());
        EXPECT_NEAR(clock.frameAt(30 * kMs + 1'000 * kMs), c.expectedFrame, 1);
    }
}

// A stream that plays nothing: it counts the underruns a test says happened,
// takes or refuses a longer queue, and keeps when each write came and how
// loud it was.
class FakeStream final : public AudioStream {
public:
    struct Write {
        std::chrono::steady_clock::time_point at;
        float loudest;
    };

    int room(int frames) override
    {
        std::this_thread::sleep_for(1ms);  // about as often as a sound server asks
        return frames;
    }
    bool write(const float* frames, int count) override
    {
        std::lock_guard lock(mutex);
        float loudest = 0;
        for (int i = 0; i < count * 2; ++i) loudest = std::max(loudest, std::abs(frames[i]));
        writes.push_back({std::chrono::steady_clock::now(), loudest});
        return true;
    }
    std::optional<std::int64_t> latencyNs() override { return std::nullopt; }
    void drain() override {}
    int underruns() override { return underrunCount; }
    bool requestQueue(int frames) override
    {
        if (growable) queued = frames;
        return growable;
    }

    int underrunCount = 0;
    bool growable = true;
    int queued = 0;  // frames, as last granted
    std::mutex mutex;
    std::vector<Write> writes;
};

TEST(QueueGrowth, EachUnderrunGrowsTheQueueAStepUpToTheCeilingAndSaysSoOnce)
{
    constexpr StreamBuffering kBuffering{44100, 64, 704, 1300};
    struct After {
        std::int64_t written;
        int underruns;  // reported so far
        int grown;      // frames, as afterWrite returns them
    };
    struct Case {
        const char* what;
        std::vector<After> writes;
        std::vector<int> loggedMs;  // each step's line: "audio queue grown to <ms> ms after an underrun"
        bool growable = true;
    };
    const std::vector<Case> cases = {
        {"an underrun grows the queue by 5 ms", {{1000, 0, 0}, {2000, 1, 220}, {3000, 1, 0}, {50000, 1, 0}}, {21}},
        {"several underruns at once are one step", {{2000, 3, 220}}, {21}},
        {"underruns within half a second of a step grow nothing more",
         {{2000, 1, 220}, {20000, 2, 0}, {24050, 2, 0}, {30000, 3, 220}},
         {21, 26}},
        {"the ceiling is not passed", {{1000, 1, 220}, {30000, 2, 220}, {60000, 3, 156}, {90000, 4, 0}}, {21, 26, 29}},
        {"a stream that cannot grow grows nothing and says nothing", {{1000, 1, 0}, {90000, 2, 0}}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeStream stream;
        stream.growable = c.growable;
        std::vector<std::string> log, expected;
        QueueGrowth growth(stream, kBuffering, [&](std::string_view line) { log.emplace_back(line); });
        stream.queued = kBuffering.queuedFrames;
        for (const After& after : c.writes) {
            stream.underrunCount = after.underruns;
            const int queued = stream.queued;
            EXPECT_EQ(growth.afterWrite(after.written), after.grown) << "after " << after.written << " frames";
            EXPECT_EQ(stream.queued, queued + after.grown) << "the queue granted by the stream";
        }
        for (const int ms : c.loggedMs)
            expected.push_back("audio queue grown to " + std::to_string(ms) + " ms after an underrun");
        EXPECT_EQ(log, expected);
    }
}

TEST(LiveRenderer, GoesOnRenderingWhileSamplesAreReadAndPlaysWhatWaitedAfterwards)
{
    const auto soundFont = findSoundFont({"/usr/share/sounds/sf2/TimGM6mb.sf2"});
    if (!soundFont) GTEST_SKIP() << "needs the small SoundFont (package timgm6mb-soundfont)";
    FluidSettingsPtr settings = makeSynthSettings(SampleLoading::onDemand);
    LoadedSynth loaded = makeSynthWithSoundFont(settings.get(), *soundFont);
    ASSERT_TRUE(loaded.synth);
    auto owned = std::make_unique<FakeStream>();
    FakeStream& stream = *owned;
    std::mutex synthLock;
    LiveRenderer renderer(std::move(owned), {{44100, 64, 704, 4410}, 0}, synthLock);
    renderer.useSynth(loaded.synth.get());
    std::this_thread::sleep_for(50ms);
    std::unique_lock reading(synthLock);  // as the loader holds it while it reads an instrument
    const auto heldFrom = std::chrono::steady_clock::now();
    renderer.post(packShortMessage(kNoteOnStatus, 0, 60, 100), 0);
    std::this_thread::sleep_for(200ms);
    const auto heldUntil = std::chrono::steady_clock::now();
    reading.unlock();
    std::this_thread::sleep_for(100ms);

    std::lock_guard lock(stream.mutex);
    const auto during = std::count_if(stream.writes.begin(), stream.writes.end(),
                                      [&](const auto& w) { return w.at > heldFrom + 20ms && w.at < heldUntil; });
    EXPECT_GT(during, 20) << "the audio thread stopped while the synthesizer was busy";
    const auto firstSound = std::ranges::find_if(stream.writes, [](const auto& w) { return w.loudest > 0.01f; });
    ASSERT_NE(firstSound, stream.writes.end()) << "the note waiting was never played";
    EXPECT_GE(firstSound->at, heldUntil) << "the note was played while the synthesizer was busy";
}

// Onsets at least `gap` frames apart, each the first frame above a fifth of the peak.
std::vector<std::size_t> onsets(const std::vector<int>& frames, std::size_t gap)
{
    const int threshold = frames.empty() ? 0 : *std::max_element(frames.begin(), frames.end()) / 5;
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (frames[i] > threshold && (found.empty() || i >= found.back() + gap)) found.push_back(i);
    return found;
}

TEST(LiveOutput, FourNotesABeatApartAreHeardABeatApart)
{
    const bool tools = support::onPath("pulseaudio") && support::onPath("pactl") && support::onPath("parec");
    if (!tools || !findSoundFont(defaultSoundFontPaths()))
        GTEST_SKIP() << "needs pulseaudio, pulseaudio-utils and fluid-soundfont-gm";
    // A sound server of the test's own, which this process plays through.
    const support::ScratchFolder folder{"nimbel-live"};
    const support::ScopedEnvironment runtime{"XDG_RUNTIME_DIR", folder.path.string()};
    const support::ScopedEnvironment server{"PULSE_SERVER", std::nullopt};
    support::NullSinkServer sink{{{"XDG_RUNTIME_DIR", folder.path.string()}}};
    ASSERT_TRUE(sink.ready()) << "the PulseAudio server did not start";
    // Plays four quarter notes a beat apart through the built-in synthesizer
    // with `driver` and records the sink meanwhile: the recording's loudness
    // frame by frame.
    const auto playAndRecord = [&](const std::string& driver) {
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
    };
    // A machine so busy that the sound server misses a deadline moves or
    // loses a note (its queue runs dry); such a run is played again, up to
    // three times.
    for (const char* driver : {"pulseaudio", "alsa"}) {
        SCOPED_TRACE(driver);
        std::vector<double> beats;
        const auto onTheBeat = [&] {
            return beats.size() == 3u &&
                   std::ranges::all_of(beats, [](double ms) { return std::abs(ms - 250.0) <= 2.0; });
        };
        for (int attempt = 0; attempt < 3 && !onTheBeat(); ++attempt) {
            const std::vector<std::size_t> heard = onsets(playAndRecord(driver), kRate / 5);
            beats.clear();
            for (std::size_t k = 1; k < heard.size(); ++k)
                beats.push_back(static_cast<double>(heard[k] - heard[k - 1]) * 1000.0 / kRate);
        }
        ASSERT_EQ(beats.size(), 3u) << "four notes were not heard";
        for (std::size_t k = 0; k < beats.size(); ++k) EXPECT_NEAR(beats[k], 250.0, 2.0) << "beat " << k + 1;
    }
}

}  // namespace
}  // namespace nimbel
