// Internal to playback/: the built-in synthesizer's audio thread. It renders
// the synthesizer into an audio stream one write step at a time and applies
// each message at the frame where it falls due: the steady-clock moment it
// was meant for plus a fixed latency, placed among the stream's frames by a
// StreamClock. The latency is set once the stream plays: the longest
// latency the stream reported while starting, one write step (a message
// must arrive before its step is rendered) and a margin for a sender that
// is a little late. The synthesizer starts a message only at the start of one of
// its 64-frame blocks, so the frame is rounded to the nearest block start:
// within ±32 frames (0.73 ms at 44.1 kHz). Messages take effect in the order
// they were posted; one whose frame has already been rendered (it was posted
// later than the latency allows) takes effect at once.
//
// Threads: post() is called from one thread at a time (the user-interface
// thread); after start() only the audio thread touches the synthesizer and
// the stream. The hand-over is a list behind a mutex held for a push or a
// swap. Destruction applies what is still waiting, renders a short fade-out,
// waits until the stream has played it and joins the thread: it takes about
// a write step, the fade and the stream's latency.
#pragma once

#include "audio_stream.h"
#include "stream_clock.h"

#include <fluidsynth.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace nimbel {

struct LiveTiming {
    StreamBuffering buffering;
    std::int64_t marginNs = 0;  // how late a message may be posted and still be placed exactly
};

class LiveRenderer {
public:
    // Starts the audio thread and waits (a fraction of a second) until the
    // stream's clock is known. Null when the stream fails before that.
    static std::unique_ptr<LiveRenderer> start(fluid_synth_t* synth, std::unique_ptr<AudioStream> stream,
                                               const LiveTiming& timing);
    ~LiveRenderer();
    LiveRenderer(const LiveRenderer&) = delete;
    LiveRenderer& operator=(const LiveRenderer&) = delete;

    // `dueNs` is on the monotonic clock (SteadyClock::monotonicNs).
    void post(std::uint32_t packed, std::int64_t dueNs);
    // From a message's due time until it is heard; fixed once start() has
    // found the stream playing (0 while messages take effect at once).
    std::int64_t latencyNs() const { return latencyNs_; }

private:
    struct Posted {
        std::uint32_t packed;
        std::int64_t dueNs;
    };
    enum class Phase { starting, running, failed };

    LiveRenderer(fluid_synth_t* synth, std::unique_ptr<AudioStream> stream, const LiveTiming& timing);
    void run();
    void startWhenReady(std::int64_t reportedNs);
    bool takePosted(std::deque<Posted>& waiting);
    void renderStep(std::deque<Posted>& waiting);
    void renderFrames(int from, int to);
    int offsetInStep(std::int64_t dueNs) const;
    void fadeOut(std::deque<Posted>& waiting);
    void setPhase(Phase phase);

    fluid_synth_t* synth_;
    std::unique_ptr<AudioStream> stream_;
    LiveTiming timing_;
    int blockFrames_;
    StreamClock clock_;
    std::vector<float> frames_;  // one write step, interleaved stereo
    std::int64_t written_ = 0;   // frames written to the stream so far
    std::int64_t longestReportNs_ = 0;
    std::atomic<std::int64_t> latencyNs_ = 0;  // set by the audio thread once, when the stream plays

    std::mutex mutex_;
    std::condition_variable phaseChanged_;
    Phase phase_ = Phase::starting;
    bool closing_ = false;
    std::vector<Posted> posted_;
    std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace nimbel
