// nimbel-export renders audio through a module (nimbel-export-audio.so,
// beside the program in the build tree, in the library folder's
// nimbel-midi/ once installed) that it loads only when audio is asked for:
// the synthesizer's and the audio file library's sixty-odd libraries then
// cost the other outputs neither start-up time nor memory. The program
// carries its own copy of the C++ library and the module uses the system's,
// so nothing of the C++ library crosses between them: the module's entry
// points are plain C.
#pragma once

#include "audio_format.h"
#include "offline_render.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbel {

inline constexpr const char* kAudioModule = "nimbel-export-audio.so";
inline constexpr const char* kRenderSymbol = "nimbelRenderAudioFile";
inline constexpr const char* kFormatsSymbol = "nimbelWritableAudioFormats";

// The module's entry points: renderAudioFile of `count` messages, returning
// the frames written, or -1 with the reason in `error` (cut to
// `errorSize`); and the formats the installed libsndfile can write, one bit
// per AudioFormat in its order.
using RenderEntry = std::int64_t (*)(const TimedMessage* messages, std::size_t count, const char* soundFont,
                                     const char* outPath, char* error, std::size_t errorSize);
using FormatsEntry = unsigned (*)();

// renderAudioFile through the module, which stays loaded once used, as the
// synthesizer's libraries are not made to be unloaded.
RenderResult renderAudioFileThroughModule(const MessageLog& messages, const std::string& soundFont,
                                          const std::string& outPath);
// The formats the module can write; nothing when it cannot be loaded.
std::optional<std::vector<AudioFormat>> writableAudioFormats();

}  // namespace nimbel
