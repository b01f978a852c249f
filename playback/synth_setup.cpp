#include "synth_setup.h"

#include "short_message.h"

namespace nimbel {

namespace {

constexpr double kGain = 0.5;
constexpr int kDrumChannel = 9;
constexpr int kDrumBank = 128;

}  // namespace

FluidSettingsPtr makeSynthSettings(SampleLoading loading)
{
    FluidSettingsPtr settings(new_fluid_settings());
    if (!settings) return settings;
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kSynthSampleRate);
    fluid_settings_setnum(settings.get(), "synth.gain", kGain);
    fluid_settings_setint(settings.get(), "synth.reverb.active", 0);
    fluid_settings_setint(settings.get(), "synth.chorus.active", 0);
    fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", loading == SampleLoading::onDemand ? 1 : 0);
    return settings;
}

LoadedSynth makeSynthWithSoundFont(fluid_settings_t* settings, const std::string& soundFont)
{
    LoadedSynth loaded{FluidSynthPtr(new_fluid_synth(settings)), 0};
    if (!loaded.synth) return loaded;
    loaded.soundFontId = fluid_synth_sfload(loaded.synth.get(), soundFont.c_str(), 1);
    if (loaded.soundFontId == FLUID_FAILED) loaded.synth.reset();
    return loaded;
}

void pinInstrument(fluid_synth_t* synth, int soundFontId, int channel, int program)
{
    const int bank = channel == kDrumChannel ? kDrumBank : 0;
    fluid_sfont_t* font = fluid_synth_get_sfont_by_id(synth, soundFontId);
    const bool present = font && fluid_sfont_get_preset(font, bank, program);
    fluid_synth_pin_preset(synth, soundFontId, bank, present ? program : 0);
}

void playShortMessage(fluid_synth_t* synth, std::uint32_t packed)
{
    const auto bytes = shortMessageBytes(packed);
    const int channel = bytes[0] & 0x0F;
    switch (bytes[0] & 0xF0) {
    case kNoteOnStatus:
        if (bytes[2] == 0) fluid_synth_noteoff(synth, channel, bytes[1]);
        else fluid_synth_noteon(synth, channel, bytes[1], bytes[2]);
        break;
    case kProgramChangeStatus: fluid_synth_program_change(synth, channel, bytes[1]); break;
    default: break;  // the program sends nothing else
    }
}

}  // namespace nimbel
