#include "builtin_synth.h"

#include "synth_setup.h"

#include <utility>

namespace nimbel {

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
    parts->settings = makeSynthSettings();
    if (!parts->settings) return nullptr;
    parts->synth = makeSynthWithSoundFont(parts->settings.get(), *soundFont);
    if (!parts->synth) return nullptr;
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

void BuiltInSynth::send(std::uint32_t packed)
{
    playShortMessage(parts_->synth.get(), packed);
}

int BuiltInSynth::polyphony() const
{
    return fluid_synth_get_polyphony(parts_->synth.get());
}

const std::string& BuiltInSynth::soundFont() const
{
    return parts_->soundFont;
}

const std::string& BuiltInSynth::audioDriver() const
{
    return parts_->audioDriver;
}

}  // namespace nimbel
