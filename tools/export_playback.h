// nimbel-export's playback outputs: the messages Play sends (--events), as
// a Standard MIDI File or as audio rendered by the built-in synthesizer
// (-o OUT.mid, -o OUT.wav, .flac, .ogg or .mp3; --soundfont picks the SoundFont).
#pragma once

#include "export_outputs.h"

namespace nimbel {

// Every message of a Play from column 1, one line each: "<ms> <b0> <b1> <b2>".
int printEvents(ExportContext& context, const std::string& argument);

// The same messages to `argument`: a MIDI file for ".mid", an audio file
// for the extensions of the audio formats.
int writePlaybackFile(ExportContext& context, const std::string& argument);

}  // namespace nimbel
