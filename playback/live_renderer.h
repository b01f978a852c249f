// Internal to playback/: the built-in synthesizer's audio thread. It renders
// the synthesizer into an audio stream one write step at a time and applies
// each message at the frame where it falls due: the steady-clock moment it
// was meant for plus a latency, placed among the stream's frames by a
// StreamClock. The latency is set once the stream plays and its clock has
// settled: the longest latency the stream reported while starting, just
// after a write (a message
// arriving then is rendered at the next write at the latest, which will be
// heard no later than that), and a margin for a sender that is a little
// late; it grows with the queue after underruns (QueueGrowth).
// The synthesizer starts a message only at the start of one of its 64-frame
// blocks, so the frame is rounded to the nearest block start: within ±32
// frames (0.73 ms at 44.1 kHz). Messages take effect in the order they were
// posted; one whose frame has already been rendered (it was posted later
// than the latency allows) takes effect at once.
//
// The thread starts at once and plays once the synthesizer is handed over,
// which another thread may take a while to make. Messages posted meanwhile
// wait. Another thread may use the synthesizer (to read an instrument's
// samples) while holding `synthLock`: the audio thread then goes on
// rendering, and the messages wait until the lock is free, so reading never
// stalls the sound.
//
// Threads: post() is called from one thread at a time (the user-interface
// thread); only the audio thread touches the stream and sends the
// synthesizer messages. The hand-over is a list behind a mutex held for a
// push or a swap. Destruction applies what is still waiting, renders a
// short fade-out, waits until the stream has played it and joins the
// thread: it takes about a write step, the fade and the stream's latency.
#pragma once

#include "audio_stream.h"
#include "stream_clock.h"

#include <fluidsynth.h>

#include <atomic>
#include <chrono>
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
    LiveRenderer(std::unique_ptr<AudioStream> stream, const LiveTiming& timing, std::mutex& synthLock);
    ~LiveRenderer();
    LiveRenderer(const LiveRenderer&) = delete;
    LiveRenderer& operator=(const LiveRenderer&) = delete;

    // Hands over the synthesizer; null when none could be made, which ends
    // the thread and drops every message.
    void useSynth(fluid_synth_t* synth);
    // Waits until the stream plays and its clock has settled (about 0.7 s
    // after the synthesizer is handed over); false when that
    // has not happened within `timeout` or never will.
    bool waitUntilRunning(std::chrono::milliseconds timeout);

    // `dueNs` is on the monotonic clock (SteadyClock::monotonicNs).
    void post(std::uint32_t packed, std::int64_t dueNs);
    // From a message's due time until it is heard: 0 until the stream plays.
    std::int64_t latencyNs() const { return latencyNs_; }
    // Underruns the stream has reported while playing.
    int underruns() const { return underruns_; }

private:
    struct Posted {
        std::uint32_t packed;
        std::int64_t dueNs;
    };
    enum class Phase { waiting, starting, running, failed };

    void run();
    bool awaitSynth();
    void startWhenReady(std::int64_t reportedNs);
    bool takePosted(std::deque<Posted>& waiting);
    void renderStep(std::deque<Posted>& waiting, int from);
    void renderFrames(int from, int to);
    int offsetInStep(std::int64_t dueNs, std::int64_t stepStart) const;
    void afterWrite();
    void fadeOut(std::deque<Posted>& waiting);
    void setPhase(Phase phase);

    std::unique_ptr<AudioStream> stream_;
    const LiveTiming timing_;
    std::mutex& synthLock_;
    fluid_synth_t* synth_ = nullptr;  // set once, before the thread renders
    int blockFrames_ = 1;
    StreamClock clock_;
    std::vector<float> frames_;  // one write, interleaved stereo
    std::int64_t written_ = 0;   // frames written to the stream so far
    std::int64_t observedAt_ = 0;
    std::int64_t longestReportNs_ = 0;
    std::atomic<std::int64_t> latencyNs_ = 0;  // set by the audio thread
    std::atomic<int> underruns_ = 0;

    std::mutex mutex_;
    std::condition_variable phaseChanged_;
    Phase phase_ = Phase::waiting;
    bool synthGiven_ = false;
    bool closing_ = false;
    std::vector<Posted> posted_;
    std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace nimbel
