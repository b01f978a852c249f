// The demonstration song written beside the program on first start
// ("MIDI.txt"): a hand-written song in the older song format, CR LF line
// ends and no line break after its last line.
#pragma once

#include <string>
#include <string_view>

namespace nimbel {

inline constexpr std::string_view kDemoSongFileName = "MIDI.txt";

std::string_view demoSongText();

// Writes the demonstration song into `programDirectory` (which ends with a
// separator) when no file of that name is there. An existing file is never
// touched; a failure to write is silent and leaves no file, as the load that
// follows copes with a missing song.
void ensureDemoSong(const std::string& programDirectory);

}  // namespace nimbel
