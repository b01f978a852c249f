#include "live_renderer.h"

#include "clock.h"
#include "synth_setup.h"

#include <algorithm>
#include <chrono>

namespace nimbel {

namespace {

constexpr int kChannels = 2;
// The stream fills its buffer before it starts; its reports mean little till then.
constexpr int kSettleBuffers = 2;
constexpr auto kLongestStart = std::chrono::seconds(2);
constexpr int kFadeFrames = 441;  // 10 ms: ends the sound without a click

}  // namespace

std::unique_ptr<LiveRenderer> LiveRenderer::start(fluid_synth_t* synth, std::unique_ptr<AudioStream> stream,
                                                  const LiveTiming& timing)
{
    std::unique_ptr<LiveRenderer> renderer(new LiveRenderer(synth, std::move(stream), timing));
    std::unique_lock lock(renderer->mutex_);
    renderer->phaseChanged_.wait_for(lock, kLongestStart, [&] { return renderer->phase_ != Phase::starting; });
    // A stream that cannot tell its latency still plays; messages then take effect at once.
    const bool failed = renderer->phase_ == Phase::failed;
    lock.unlock();
    if (failed) return nullptr;
    return renderer;
}

LiveRenderer::LiveRenderer(fluid_synth_t* synth, std::unique_ptr<AudioStream> stream, const LiveTiming& timing)
    : synth_(synth),
      stream_(std::move(stream)),
      timing_(timing),
      blockFrames_(std::max(1, fluid_synth_get_internal_bufsize(synth))),
      clock_(timing.buffering.rate, static_cast<std::int64_t>(kSettleBuffers) * timing.buffering.bufferedFrames),
      frames_(static_cast<std::size_t>(timing.buffering.stepFrames) * kChannels),
      thread_(&LiveRenderer::run, this)
{}

LiveRenderer::~LiveRenderer()
{
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    thread_.join();
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

void LiveRenderer::run()
{
    std::deque<Posted> waiting;
    const int step = timing_.buffering.stepFrames;
    while (!takePosted(waiting)) {
        renderStep(waiting);
        if (!stream_->write(frames_.data(), step)) {
            setPhase(Phase::failed);
            return;
        }
        written_ += step;
        if (const auto latency = stream_->latencyNs()) {
            clock_.observe(SteadyClock::monotonicNs(), written_, *latency);
            if (phase_ == Phase::starting) startWhenReady(*latency);
        }
    }
    fadeOut(waiting);
}

void LiveRenderer::startWhenReady(std::int64_t reportedNs)
{
    longestReportNs_ = std::max(longestReportNs_, reportedNs);
    if (!clock_.ready()) return;
    const std::int64_t stepNs = std::int64_t{timing_.buffering.stepFrames} * 1'000'000'000 / timing_.buffering.rate;
    latencyNs_ = longestReportNs_ + stepNs + timing_.marginNs;
    setPhase(Phase::running);
}

int LiveRenderer::offsetInStep(std::int64_t dueNs) const
{
    if (!clock_.ready()) return 0;
    const std::int64_t frame = clock_.frameAt(dueNs + latencyNs_);
    const std::int64_t blockStart = (frame + blockFrames_ / 2) / blockFrames_ * blockFrames_;
    return static_cast<int>(std::clamp<std::int64_t>(blockStart - written_, 0, timing_.buffering.stepFrames));
}

void LiveRenderer::renderStep(std::deque<Posted>& waiting)
{
    const int step = timing_.buffering.stepFrames;
    int done = 0;
    while (!waiting.empty()) {
        const int at = std::max(done, offsetInStep(waiting.front().dueNs));
        if (at >= step) break;
        renderFrames(done, at);
        done = at;
        playShortMessage(synth_, waiting.front().packed);
        waiting.pop_front();
    }
    renderFrames(done, step);
}

void LiveRenderer::renderFrames(int from, int to)
{
    if (to <= from) return;
    float* at = frames_.data() + static_cast<std::ptrdiff_t>(from) * kChannels;
    fluid_synth_write_float(synth_, to - from, at, 0, kChannels, at, 1, kChannels);
}

void LiveRenderer::fadeOut(std::deque<Posted>& waiting)
{
    for (const Posted& message : waiting) playShortMessage(synth_, message.packed);
    const int frames = std::min(kFadeFrames, timing_.buffering.stepFrames);
    renderFrames(0, frames);
    for (int i = 0; i < frames; ++i) {
        const float gain = 1.0f - static_cast<float>(i + 1) / static_cast<float>(frames);
        frames_[static_cast<std::size_t>(i) * kChannels] *= gain;
        frames_[static_cast<std::size_t>(i) * kChannels + 1] *= gain;
    }
    if (stream_->write(frames_.data(), frames)) stream_->drain();
}

}  // namespace nimbel
