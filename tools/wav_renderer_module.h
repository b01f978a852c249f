// nimbel-export renders audio through a module (nimbel-export-audio.so,
// beside the program in the build tree, in the library folder's
// nimbel-midi/ once installed) that it loads only when a .wav output is asked
// for: the synthesizer's sixty-odd libraries then cost the other outputs
// neither start-up time nor memory. The program carries its own copy of the
// C++ library and the module uses the system's, so nothing of the C++
// library crosses between them: the module's entry point is plain C.
#pragma once

#include "offline_render.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace nimbel {

inline constexpr const char* kWavRendererModule = "nimbel-export-audio.so";
inline constexpr const char* kWavRendererSymbol = "nimbelRenderWavFile";

// The module's entry point: renderWavFile of `count` messages. Returns the
// frames written, or -1 with the reason in `error` (cut to `errorSize`).
using WavRendererEntry = std::int64_t (*)(const TimedMessage* messages, std::size_t count, const char* soundFont,
                                          const char* outPath, char* error, std::size_t errorSize);

// renderWavFile through the module, which stays loaded once used, as the
// synthesizer's libraries are not made to be unloaded.
RenderResult renderWavFileThroughModule(const MessageLog& messages, const std::string& soundFont,
                                        const std::string& outPath);

}  // namespace nimbel
