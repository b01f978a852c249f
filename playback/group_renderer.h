// Internal to playback/: one synthesizer rendering some of a song's channels
// offline, on a thread of its own, a few chunks ahead of whoever takes them.
// It loads the SoundFont with each instrument's samples read when first
// selected (samples already read by another synthesizer of the process are
// shared, not read again), reads every instrument its messages select before
// it starts, then renders as a whole-song render does: each message at its
// own frame, then the release in 10 ms steps until no voice sounds or the
// longest tail has passed. Chunks are kChunkFrames long, interleaved stereo
// float, except the last; every group's chunk n covers the same frames.
#pragma once

#include "recording_midi.h"
#include "synth_setup.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nimbel {

class GroupRenderer {
public:
    static constexpr std::int64_t kChunkFrames = 8192;

    // `messages` in time order; the release starts at `lastFrame` and ends
    // by `longestFrame` at the latest.
    GroupRenderer(std::string soundFont, std::vector<TimedMessage> messages, std::int64_t lastFrame,
                  std::int64_t longestFrame);
    ~GroupRenderer();  // stops rendering and joins the thread
    GroupRenderer(const GroupRenderer&) = delete;
    GroupRenderer& operator=(const GroupRenderer&) = delete;

    // Waits until the synthesizer is set up; false when the SoundFont did not load.
    bool ready();
    // The next chunk, waiting for it; empty once the group has ended.
    std::vector<float> take();
    // Hands a taken chunk back for reuse.
    void giveBack(std::vector<float> chunk);

private:
    enum class Phase { loading, rendering, failed, ended };

    void run();
    bool load();
    void render();
    bool renderTo(std::int64_t frame);
    bool pushChunk();
    void setPhase(Phase phase);

    const std::string soundFont_;
    const std::vector<TimedMessage> messages_;
    const std::int64_t lastFrame_;
    const std::int64_t longestFrame_;
    // The rendering thread's own.
    FluidSettingsPtr settings_;
    FluidSynthPtr synth_;
    std::int64_t written_ = 0;    // frames rendered so far
    std::vector<float> filling_;  // the chunk being rendered

    std::mutex mutex_;
    std::condition_variable changed_;
    Phase phase_ = Phase::loading;
    bool stopping_ = false;
    std::deque<std::vector<float>> full_;
    std::vector<std::vector<float>> spare_;
    std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace nimbel
