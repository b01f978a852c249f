#include "builtin_synth.h"

#include "synth_setup.h"

#include <utility>

namespace nimbel {

namespace {

// The PulseAudio driver keeps one period buffered, ALSA `periods` of them.
constexpr int kPeriodFrames = 512;  // 11.6 ms
constexpr int kPeriods = 4;

}  // namespace

struct BuiltInSynth::Parts {
    // Destroyed in reverse order: the audio thread stops before the synthesizer it renders goes.
    FluidSettingsPtr settings;
    FluidSynthPtr synth;
    FluidDriverPtr driver;
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
    // FluidSynth's default of 64 frames runs dry whenever the desktop keeps
    // the processor busy, and the sound comes out chopped. A longer period
    // delays every note alike and lets a message wait at most one period.
    fluid_settings_setint(parts->settings.get(), "audio.period-size", kPeriodFrames);
    fluid_settings_setint(parts->settings.get(), "audio.periods", kPeriods);
    for (const std::string& driverName : options.audioDrivers) {
        fluid_settings_setstr(parts->settings.get(), "audio.driver", driverName.c_str());
        parts->driver.reset(new_fluid_audio_driver(parts->settings.get(), parts->synth.get()));
        if (parts->driver) {
            parts->soundFont = *soundFont;
            parts->audioDriver = driverName;
            return std::unique_ptr<BuiltInSynth>(new BuiltInSynth(std::move(parts)));
        }
    }
    return nullptr;
}

void BuiltInSynth::send(std::uint32_t packed) { playShortMessage(parts_->synth.get(), packed); }

int BuiltInSynth::polyphony() const { return fluid_synth_get_polyphony(parts_->synth.get()); }

const std::string& BuiltInSynth::soundFont() const { return parts_->soundFont; }

const std::string& BuiltInSynth::audioDriver() const { return parts_->audioDriver; }

}  // namespace nimbel
