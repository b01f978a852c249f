#include "builtin_synth.h"

#include "audio_stream.h"
#include "clock.h"
#include "live_renderer.h"
#include "synth_setup.h"

#include <utility>

namespace nimbel {

namespace {

// The sound server asks for 10 ms at a time and keeps 40 ms queued; the
// latency is that, one write step and 5 ms for a sequencer that sends a
// little late. With less queued (30 ms, or requests of 5 ms) PulseAudio
// drops audio now and then and its clock runs ahead of the steady clock by
// a few hundred parts per million: notes then land up to 10 ms off the beat.
constexpr StreamBuffering kBuffering{kSynthSampleRate, 441, 1764};
constexpr std::int64_t kMarginNs = 5'000'000;

std::unique_ptr<AudioStream> openStream(const std::string& driver)
{
    if (driver == "pulseaudio") return openPulseAudioStream(kBuffering);
    if (driver == "alsa") return openAlsaAudioStream(kBuffering);
    return nullptr;
}

}  // namespace

struct BuiltInSynth::Parts {
    // Destroyed in reverse order: the audio thread ends before the synthesizer it renders goes.
    FluidSettingsPtr settings;
    FluidSynthPtr synth;
    std::unique_ptr<LiveRenderer> renderer;
    std::string soundFont;
    std::string audioDriver;
};

BuiltInSynth::BuiltInSynth(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

BuiltInSynth::~BuiltInSynth() = default;

std::unique_ptr<BuiltInSynth> BuiltInSynth::start(const SynthOptions& options)
{
    const auto soundFont = findSoundFont(options.soundFonts);
    if (!soundFont) return nullptr;
    auto parts = std::make_unique<Parts>();
    parts->settings = makeSynthSettings(SampleLoading::whole);
    if (!parts->settings) return nullptr;
    parts->synth = makeSynthWithSoundFont(parts->settings.get(), *soundFont).synth;
    if (!parts->synth) return nullptr;
    for (const std::string& driver : options.audioDrivers) {
        auto stream = openStream(driver);
        if (!stream) continue;
        parts->renderer = LiveRenderer::start(parts->synth.get(), std::move(stream), {kBuffering, kMarginNs});
        if (parts->renderer) {
            parts->soundFont = *soundFont;
            parts->audioDriver = driver;
            return std::unique_ptr<BuiltInSynth>(new BuiltInSynth(std::move(parts)));
        }
    }
    return nullptr;
}

void BuiltInSynth::send(std::uint32_t packed) { parts_->renderer->post(packed, SteadyClock::monotonicNs()); }

void BuiltInSynth::sendAt(std::uint32_t packed, std::int64_t dueMs)
{
    parts_->renderer->post(packed, SteadyClock::monotonicNsAt(dueMs));
}

int BuiltInSynth::polyphony() const { return fluid_synth_get_polyphony(parts_->synth.get()); }

const std::string& BuiltInSynth::soundFont() const { return parts_->soundFont; }

const std::string& BuiltInSynth::audioDriver() const { return parts_->audioDriver; }

std::int64_t BuiltInSynth::latencyNs() const { return parts_->renderer->latencyNs(); }

}  // namespace nimbel
