// nimbel-export renders audio through a module beside the program
// (nimbel-export-audio.so) that it loads only when a .wav output is asked
// for: the synthesizer's sixty-odd libraries then cost the other outputs
// neither start-up time nor memory.
#pragma once

#include "offline_render.h"

#include <string>

namespace nimbel {

using WavRenderer = RenderResult (*)(const MessageLog& messages, const std::string& soundFont,
                                     const std::string& outPath);

inline constexpr const char* kWavRendererModule = "nimbel-export-audio.so";
// The module's renderer: a WavRenderer variable under this unmangled name.
inline constexpr const char* kWavRendererSymbol = "nimbelWavRenderer";

// Loads the module from the program's own folder (once; it stays loaded, as
// the synthesizer's libraries are not made to be unloaded). Null, with
// `error` saying why, when it cannot be loaded.
WavRenderer loadWavRenderer(std::string& error);

}  // namespace nimbel
