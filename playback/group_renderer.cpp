#include "group_renderer.h"

#include "short_message.h"

#include <algorithm>
#include <utility>

namespace nimbel {

namespace {

constexpr int kChannels = 2;
constexpr std::int64_t kTailStepFrames = 441;  // 10 ms
// Chunks rendered ahead of the mixer: enough to ride over a slow write.
constexpr std::size_t kChunksAhead = 4;

std::int64_t frameAt(std::int64_t ms) { return (std::max<std::int64_t>(ms, 0) * kSynthSampleRate + 500) / 1000; }

}  // namespace

GroupRenderer::GroupRenderer(std::string soundFont, std::vector<TimedMessage> messages, std::int64_t lastFrame,
                             std::int64_t longestFrame)
    : soundFont_(std::move(soundFont)),
      messages_(std::move(messages)),
      lastFrame_(lastFrame),
      longestFrame_(longestFrame),
      thread_(&GroupRenderer::run, this)
{}

GroupRenderer::~GroupRenderer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool GroupRenderer::ready()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return phase_ != Phase::loading; });
    return phase_ != Phase::failed;
}

std::vector<float> GroupRenderer::take()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !full_.empty() || phase_ == Phase::ended || phase_ == Phase::failed; });
    if (full_.empty()) return {};
    std::vector<float> chunk = std::move(full_.front());
    full_.pop_front();
    changed_.notify_all();
    return chunk;
}

void GroupRenderer::giveBack(std::vector<float> chunk)
{
    std::lock_guard lock(mutex_);
    spare_.push_back(std::move(chunk));
}

void GroupRenderer::setPhase(Phase phase)
{
    {
        std::lock_guard lock(mutex_);
        phase_ = phase;
    }
    changed_.notify_all();
}

void GroupRenderer::run()
{
    if (!load()) {
        setPhase(Phase::failed);
        return;
    }
    setPhase(Phase::rendering);
    render();
    setPhase(Phase::ended);
}

bool GroupRenderer::load()
{
    settings_ = makeSynthSettings(SampleLoading::onDemand);
    if (!settings_) return false;
    LoadedSynth loaded = makeSynthWithSoundFont(settings_.get(), soundFont_);
    synth_ = std::move(loaded.synth);
    if (!synth_) return false;
    // Read before rendering: the synthesizer would otherwise read an
    // instrument at each program change that selects it anew.
    for (const TimedMessage& message : messages_) {
        const auto bytes = shortMessageBytes(message.packed);
        if ((bytes[0] & 0xF0) == kProgramChangeStatus)
            pinInstrument(synth_.get(), loaded.soundFontId, bytes[0] & 0x0F, bytes[1]);
    }
    return true;
}

void GroupRenderer::render()
{
    for (const TimedMessage& message : messages_) {
        if (!renderTo(frameAt(message.timeMs))) return;
        playShortMessage(synth_.get(), message.packed);
    }
    if (!renderTo(lastFrame_)) return;
    while (written_ < longestFrame_ && fluid_synth_get_active_voice_count(synth_.get()) > 0)
        if (!renderTo(std::min(longestFrame_, written_ + kTailStepFrames))) return;
    if (!filling_.empty()) pushChunk();
}

bool GroupRenderer::renderTo(std::int64_t frame)
{
    while (written_ < frame) {
        if (filling_.empty()) {
            std::lock_guard lock(mutex_);
            if (!spare_.empty()) {
                filling_ = std::move(spare_.back());
                spare_.pop_back();
            }
            filling_.clear();
        }
        const std::int64_t inChunk = static_cast<std::int64_t>(filling_.size()) / kChannels;
        const int count = static_cast<int>(std::min(kChunkFrames - inChunk, frame - written_));
        filling_.resize(filling_.size() + static_cast<std::size_t>(count) * kChannels);
        float* at = filling_.data() + inChunk * kChannels;
        fluid_synth_write_float(synth_.get(), count, at, 0, kChannels, at, 1, kChannels);
        written_ += count;
        if (inChunk + count == kChunkFrames && !pushChunk()) return false;
    }
    return true;
}

bool GroupRenderer::pushChunk()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return full_.size() < kChunksAhead || stopping_; });
    if (stopping_) return false;
    full_.push_back(std::move(filling_));
    filling_.clear();
    changed_.notify_all();
    return true;
}

}  // namespace nimbel
