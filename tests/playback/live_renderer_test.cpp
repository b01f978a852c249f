// The built-in synthesizer's audio thread without a sound server: how its
// queue grows after underruns, and that it goes on rendering while another
// thread reads samples through the synthesizer.
#include "live_renderer.h"
#include "queue_growth.h"
#include "short_message.h"
#include "sound_fonts.h"
#include "synth_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace nimbel {
namespace {

using namespace std::chrono_literals;

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
        std::vector<std::string> log;
        bool growable = true;
    };
    const std::vector<Case> cases = {
        {"no underrun, no growth", {{1000, 0, 0}, {50000, 0, 0}}, {}},
        {"an underrun grows the queue by 5 ms",
         {{1000, 0, 0}, {2000, 1, 220}, {3000, 1, 0}},
         {"audio queue grown to 21 ms after an underrun"}},
        {"several underruns at once are one step", {{2000, 3, 220}}, {"audio queue grown to 21 ms after an underrun"}},
        {"underruns within half a second of a step grow nothing more",
         {{2000, 1, 220}, {20000, 2, 0}, {24050, 2, 0}, {30000, 3, 220}},
         {"audio queue grown to 21 ms after an underrun", "audio queue grown to 26 ms after an underrun"}},
        {"the ceiling is not passed",
         {{1000, 1, 220}, {30000, 2, 220}, {60000, 3, 156}, {90000, 4, 0}},
         {"audio queue grown to 21 ms after an underrun", "audio queue grown to 26 ms after an underrun",
          "audio queue grown to 29 ms after an underrun"}},
        {"a stream that cannot grow grows nothing and says nothing", {{1000, 1, 0}, {90000, 2, 0}}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeStream stream;
        stream.growable = c.growable;
        std::vector<std::string> log;
        QueueGrowth growth(stream, kBuffering, [&](std::string_view line) { log.emplace_back(line); });
        stream.queued = kBuffering.queuedFrames;
        int queue = kBuffering.queuedFrames;
        for (const After& after : c.writes) {
            stream.underrunCount = after.underruns;
            EXPECT_EQ(growth.afterWrite(after.written), after.grown) << "after " << after.written << " frames";
            queue += after.grown;
            EXPECT_EQ(stream.queued, queue) << "the queue granted by the stream";
        }
        EXPECT_EQ(log, c.log);
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
    {
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
        const auto firstSound =
            std::find_if(stream.writes.begin(), stream.writes.end(), [](const auto& w) { return w.loudest > 0.01f; });
        ASSERT_NE(firstSound, stream.writes.end()) << "the note waiting was never played";
        EXPECT_GE(firstSound->at, heldUntil) << "the note was played while the synthesizer was busy";
    }
}

}  // namespace
}  // namespace nimbel
