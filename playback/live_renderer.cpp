#include "live_renderer.h"

#include "clock.h"
#include "queue_growth.h"
#include "realtime_thread.h"
#include "synth_setup.h"

#include <algorithm>

namespace nimbel {

namespace {

constexpr int kChannels = 2;
// The stream fills its queue before it starts; its reports mean little till then.
constexpr int kSettleQueues = 2;
// The stream is asked for its latency about every 10 ms, however short the write steps.
constexpr int kObservationsPerSecond = 100;
constexpr int kFadeFrames = 441;  // 10 ms: ends the sound without a click

std::int64_t framesToNs(std::int64_t frames, int rate) { return frames * 1'000'000'000 / rate; }

}  // namespace

LiveRenderer::LiveRenderer(std::unique_ptr<AudioStream> stream, const LiveTiming& timing, std::mutex& synthLock)
    : stream_(std::move(stream)),
      timing_(timing),
      synthLock_(synthLock),
      clock_(timing.buffering.rate, static_cast<std::int64_t>(kSettleQueues) * timing.buffering.queuedFrames),
      thread_(&LiveRenderer::run, this)
{}

LiveRenderer::~LiveRenderer()
{
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    phaseChanged_.notify_all();
    thread_.join();
}

void LiveRenderer::useSynth(fluid_synth_t* synth)
{
    {
        std::lock_guard lock(mutex_);
        synth_ = synth;
        synthGiven_ = true;
    }
    phaseChanged_.notify_all();
}

bool LiveRenderer::waitUntilRunning(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    phaseChanged_.wait_for(lock, timeout, [this] { return phase_ == Phase::running || phase_ == Phase::failed; });
    return phase_ == Phase::running;
}

void LiveRenderer::post(std::uint32_t packed, std::int64_t dueNs)
{
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::failed) posted_.push_back({packed, dueNs});
}

void LiveRenderer::setPhase(Phase phase)
{
    {
        std::lock_guard lock(mutex_);
        phase_ = phase;
        if (phase == Phase::failed) posted_.clear();
    }
    phaseChanged_.notify_all();
}

bool LiveRenderer::takePosted(std::deque<Posted>& waiting)
{
    std::lock_guard lock(mutex_);
    waiting.insert(waiting.end(), posted_.begin(), posted_.end());
    posted_.clear();
    return closing_;
}

bool LiveRenderer::awaitSynth()
{
    std::unique_lock lock(mutex_);
    phaseChanged_.wait(lock, [this] { return synthGiven_ || closing_; });
    if (!synth_) return false;
    blockFrames_ = std::max(1, fluid_synth_get_internal_bufsize(synth_));
    phase_ = Phase::starting;
    return true;
}

void LiveRenderer::run()
{
    preferRealTimeScheduling();
    if (!awaitSynth()) {
        setPhase(Phase::failed);
        return;
    }
    QueueGrowth growth(*stream_, timing_.buffering, logToStandardError);
    std::deque<Posted> waiting;
    const int step = timing_.buffering.stepFrames;
    bool closing = false;
    while (!closing) {
        // As many steps as the stream has room for, in one write.
        const int room = stream_->room(step);
        if (room == 0) {
            setPhase(Phase::failed);
            return;
        }
        const int steps = std::clamp(room / step, 1, timing_.buffering.longestQueueFrames / step);
        frames_.resize(static_cast<std::size_t>(steps * step) * kChannels);
        int rendered = 0;
        while (rendered < steps && !(closing = takePosted(waiting))) renderStep(waiting, rendered++ * step);
        if (rendered > 0 && !stream_->write(frames_.data(), rendered * step)) {
            setPhase(Phase::failed);
            return;
        }
        written_ += rendered * step;
        if (const int grown = growth.afterWrite(written_)) latencyNs_ += framesToNs(grown, timing_.buffering.rate);
        underruns_ = stream_->underruns();
        afterWrite();
    }
    fadeOut(waiting);
}

void LiveRenderer::afterWrite()
{
    if (written_ - observedAt_ < timing_.buffering.rate / kObservationsPerSecond) return;
    observedAt_ = written_;
    // Just after a write the queue cannot be empty: a report of none (ALSA's
    // PulseAudio plugin gives that until it knows) or less tells nothing.
    const auto latency = stream_->latencyNs();
    if (latency && *latency > 0) {
        clock_.observe(SteadyClock::monotonicNs(), written_, *latency);
        if (phase_ == Phase::starting) startWhenReady(*latency);
    }
}

void LiveRenderer::startWhenReady(std::int64_t reportedNs)
{
    longestReportNs_ = std::max(longestReportNs_, reportedNs);
    if (!clock_.settled()) return;
    latencyNs_ = longestReportNs_ + timing_.marginNs;
    setPhase(Phase::running);
}

int LiveRenderer::offsetInStep(std::int64_t dueNs, std::int64_t stepStart) const
{
    if (!clock_.ready()) return 0;
    const std::int64_t frame = clock_.frameAt(dueNs + latencyNs_);
    const std::int64_t blockStart = (frame + blockFrames_ / 2) / blockFrames_ * blockFrames_;
    return static_cast<int>(std::clamp<std::int64_t>(blockStart - stepStart, 0, timing_.buffering.stepFrames));
}

void LiveRenderer::renderStep(std::deque<Posted>& waiting, int from)
{
    const int step = timing_.buffering.stepFrames;
    const std::int64_t stepStart = written_ + from;
    int done = 0;
    // While another thread reads samples through the synthesizer, messages wait for the next step.
    std::unique_lock synthFree(synthLock_, std::try_to_lock);
    while (synthFree && !waiting.empty()) {
        const int at = std::max(done, offsetInStep(waiting.front().dueNs, stepStart));
        if (at >= step) break;
        renderFrames(from + done, from + at);
        done = at;
        playShortMessage(synth_, waiting.front().packed);
        waiting.pop_front();
    }
    renderFrames(from + done, from + step);
}

void LiveRenderer::renderFrames(int from, int to)
{
    if (to <= from) return;
    float* at = frames_.data() + static_cast<std::ptrdiff_t>(from) * kChannels;
    fluid_synth_write_float(synth_, to - from, at, 0, kChannels, at, 1, kChannels);
}

void LiveRenderer::fadeOut(std::deque<Posted>& waiting)
{
    {
        std::lock_guard synthFree(synthLock_);
        for (const Posted& message : waiting) playShortMessage(synth_, message.packed);
    }
    const int frames = kFadeFrames;
    frames_.resize(static_cast<std::size_t>(frames) * kChannels);
    renderFrames(0, frames);
    for (int i = 0; i < frames; ++i) {
        const float gain = 1.0f - static_cast<float>(i + 1) / static_cast<float>(frames);
        frames_[static_cast<std::size_t>(i) * kChannels] *= gain;
        frames_[static_cast<std::size_t>(i) * kChannels + 1] *= gain;
    }
    if (stream_->write(frames_.data(), frames)) stream_->drain();
}

}  // namespace nimbel
