// The voices a Play is about to use, told to the output before the first
// column (MidiOutput::prepareVoices) so that an output that reads its
// instruments on demand reads them before any note needs them.
#pragma once

#include "midi_output.h"
#include "song.h"

#include <vector>

namespace nimbel {

// For each song channel that has records, in channel order, the voice the
// channel holds as playing starts (voice 1 when it holds none yet); then
// every voice a record names, in list order. Each channel's voice once,
// counted as the program change would send it (voices past 128 as 128).
// Records outside channels 1 … 15 are not played and name nothing here.
std::vector<ChannelVoice> voicesToPrepare(const Song& song);

}  // namespace nimbel
