#include "sample_loader.h"

#include <utility>

namespace nimbel {

namespace {

constexpr int kDrumChannel = 9;
constexpr int kPrograms = 128;

}  // namespace

SampleLoader::SampleLoader(fluid_settings_t* settings, std::string soundFont, std::mutex& synthLock,
                           std::function<void(FluidSynthPtr)> made)
    : settings_(settings),
      soundFont_(std::move(soundFont)),
      synthLock_(synthLock),
      made_(std::move(made)),
      thread_(&SampleLoader::run, this)
{}

SampleLoader::~SampleLoader()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool SampleLoader::load(std::span<const ChannelProgram> voices, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    asked_.insert(asked_.end(), voices.begin(), voices.end());
    askedCount_ += static_cast<int>(voices.size());
    const int target = askedCount_;
    changed_.notify_all();
    return changed_.wait_for(lock, timeout, [&] { return failed_ || doneCount_ >= target; }) && !failed_;
}

bool SampleLoader::loadSoundFont()
{
    LoadedSynth loaded = makeSynthWithSoundFont(settings_, soundFont_);
    synth_ = loaded.synth.get();
    soundFontId_ = loaded.soundFontId;
    made_(std::move(loaded.synth));
    return synth_ != nullptr;
}

void SampleLoader::run()
{
    const bool loaded = loadSoundFont();
    std::unique_lock lock(mutex_);
    failed_ = !loaded;
    changed_.notify_all();
    while (loaded) {
        changed_.wait(lock, [this] { return stopping_ || !asked_.empty(); });
        if (stopping_) return;
        const std::vector<ChannelProgram> voices = std::exchange(asked_, {});
        lock.unlock();
        for (const ChannelProgram& voice : voices) {
            if (voice.program < 0 || voice.program >= kPrograms) continue;
            auto& read = read_[voice.channel == kDrumChannel ? 1 : 0];
            if (read[static_cast<std::size_t>(voice.program)]) continue;
            std::lock_guard synthBusy(synthLock_);
            pinInstrument(synth_, soundFontId_, voice.channel, voice.program);
            read[static_cast<std::size_t>(voice.program)] = true;
        }
        lock.lock();
        doneCount_ += static_cast<int>(voices.size());
        changed_.notify_all();
    }
}

}  // namespace nimbel
