#include "builtin_synth.h"

#include "audio_stream.h"
#include "clock.h"
#include "live_renderer.h"
#include "sample_loader.h"
#include "synth_setup.h"

#include <chrono>
#include <mutex>
#include <utility>

namespace nimbel {

namespace {

using namespace std::chrono_literals;

// PulseAudio: a 14.5 ms queue, asked for and rendered in steps of 64 frames
// (the synthesizer's block), which may grow to 100 ms after underruns, and a
// 3 ms margin for a sequencer that sends a little late. The queue is a whole
// number of steps, as the writer writes: one between two (616 frames) held
// 1.5 ms less while playing than while starting, when the latency is set,
// so it bridged less than it cost. ALSA's default device keeps the longer
// queue it needs (through PulseAudio's ALSA plugin, writes of 10 ms and
// 40 ms queued).
constexpr LiveTiming kPulseTiming{{kSynthSampleRate, 64, 640, 4410}, 3'000'000};
constexpr LiveTiming kAlsaTiming{{kSynthSampleRate, 441, 1764, 1764}, 5'000'000};
constexpr auto kLongestLoad = 10s;  // a large instrument list and its samples on a slow disk
constexpr auto kLongestStart = 2s;  // until the stream plays and its clock is known

struct OpenedStream {
    std::unique_ptr<AudioStream> stream;
    LiveTiming timing;
};

OpenedStream openStream(const std::string& driver)
{
    if (driver == "pulseaudio") return {openPulseAudioStream(kPulseTiming.buffering), kPulseTiming};
    if (driver == "alsa") return {openAlsaAudioStream(kAlsaTiming.buffering), kAlsaTiming};
    return {};
}

}  // namespace

struct BuiltInSynth::Parts {
    // Destroyed in reverse order: the loading thread ends first (it hands
    // the synthesizer over and reads samples through it), then the audio
    // thread, then the synthesizer.
    std::mutex synthLock;
    FluidSettingsPtr settings;
    FluidSynthPtr synth;
    std::unique_ptr<LiveRenderer> renderer;
    std::unique_ptr<SampleLoader> loader;
    std::string soundFont;
    std::string audioDriver;
};

BuiltInSynth::BuiltInSynth(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

BuiltInSynth::~BuiltInSynth() = default;

std::unique_ptr<BuiltInSynth> BuiltInSynth::start(const SynthOptions& options)
{
    const auto soundFont = findSoundFont(options.soundFonts);
    if (!soundFont || !fluid_is_soundfont(soundFont->c_str())) return nullptr;
    auto parts = std::make_unique<Parts>();
    parts->settings = makeSynthSettings(SampleLoading::onDemand);
    if (!parts->settings) return nullptr;
    for (const std::string& driver : options.audioDrivers) {
        OpenedStream opened = openStream(driver);
        if (!opened.stream) continue;
        parts->renderer = std::make_unique<LiveRenderer>(std::move(opened.stream), opened.timing, parts->synthLock);
        Parts& kept = *parts;
        parts->loader = std::make_unique<SampleLoader>(parts->settings.get(), *soundFont, parts->synthLock,
                                                       [&kept](FluidSynthPtr synth) {
                                                           kept.synth = std::move(synth);
                                                           kept.renderer->useSynth(kept.synth.get());
                                                       });
        parts->soundFont = *soundFont;
        parts->audioDriver = driver;
        return std::unique_ptr<BuiltInSynth>(new BuiltInSynth(std::move(parts)));
    }
    return nullptr;
}

void BuiltInSynth::send(std::uint32_t packed) { parts_->renderer->post(packed, SteadyClock::monotonicNs()); }

void BuiltInSynth::sendAt(std::uint32_t packed, std::int64_t dueMs)
{
    parts_->renderer->post(packed, SteadyClock::monotonicNsAt(dueMs));
}

void BuiltInSynth::prepareVoices(std::span<const ChannelProgram> voices)
{
    parts_->loader->load(voices, kLongestLoad);
    parts_->renderer->waitUntilRunning(kLongestStart);
}

int BuiltInSynth::polyphony() const
{
    int voices = 0;
    fluid_settings_getint(parts_->settings.get(), "synth.polyphony", &voices);
    return voices;
}

const std::string& BuiltInSynth::soundFont() const { return parts_->soundFont; }

const std::string& BuiltInSynth::audioDriver() const { return parts_->audioDriver; }

std::int64_t BuiltInSynth::latencyNs() const { return parts_->renderer->latencyNs(); }

int BuiltInSynth::underruns() const { return parts_->renderer->underruns(); }

}  // namespace nimbel
