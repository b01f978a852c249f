// Where the built-in synthesizer looks for its General MIDI SoundFont.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nimbel {

// The usual Debian places, in order of preference.
std::vector<std::string> defaultSoundFontPaths();

// The first of `candidates` that is a readable regular file.
std::optional<std::string> findSoundFont(const std::vector<std::string>& candidates);

}  // namespace nimbel
