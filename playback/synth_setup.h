// Internal to playback/: the FluidSynth objects behind the built-in
// synthesizer, set up the same way for live output and offline rendering,
// and the short messages it understands.
#pragma once

#include <fluidsynth.h>

#include <cstdint>
#include <memory>
#include <string>

namespace nimbel {

inline constexpr int kSynthSampleRate = 44100;

struct FluidDeleter {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
using FluidSettingsPtr = std::unique_ptr<fluid_settings_t, FluidDeleter>;
using FluidSynthPtr = std::unique_ptr<fluid_synth_t, FluidDeleter>;

// Whether a SoundFont's samples are read all at once when it loads, or each
// instrument's when a program change first selects it. Reading on demand
// starts faster (a large SoundFont in a quarter of the time) but reads the
// disk in the middle of playing, which only an offline render can afford.
enum class SampleLoading { whole, onDemand };

// 44.1 kHz, a gain that leaves headroom for full chords, no reverb and no
// chorus: what plays live is what an export renders, and a rendered file
// ends quiet once the last note has died away.
FluidSettingsPtr makeSynthSettings(SampleLoading loading);

struct LoadedSynth {
    FluidSynthPtr synth;  // null when the SoundFont does not load
    int soundFontId = 0;
};

// A synthesizer with the SoundFont loaded.
LoadedSynth makeSynthWithSoundFont(fluid_settings_t* settings, const std::string& soundFont);

// Reads the samples of the instrument a program change to `program` selects
// on MIDI channel `channel` and keeps them while the synthesizer lives:
// General MIDI's percussion channel (9) takes bank 128 and, like the
// synthesizer, kit 0 when the kit asked for is missing; the other channels
// bank 0, or its program 0. Takes the synthesizer's lock for as long as the
// samples take to read (tens of milliseconds for a large instrument).
void pinInstrument(fluid_synth_t* synth, int soundFontId, int channel, int program);

// Plays one packed short message: note-on (velocity 0 ends the note) and
// program change, the only messages the program sends.
void playShortMessage(fluid_synth_t* synth, std::uint32_t packed);

}  // namespace nimbel
