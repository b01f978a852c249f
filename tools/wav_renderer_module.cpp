// The audio module of nimbel-export: the offline renderer, and through it
// the synthesizer's libraries, behind a plain C entry point.
#include "wav_renderer_module.h"

#include <cstdio>
#include <type_traits>

extern "C" std::int64_t nimbelRenderWavFile(const nimbel::TimedMessage* messages, std::size_t count,
                                            const char* soundFont, const char* outPath, char* error,
                                            std::size_t errorSize)
{
    const nimbel::RenderResult result = nimbel::renderWavFile({messages, count}, soundFont, outPath);
    if (result.ok) return result.frames;
    std::snprintf(error, errorSize, "%s", result.error.c_str());
    return -1;
}

static_assert(std::is_same_v<decltype(&nimbelRenderWavFile), nimbel::WavRendererEntry>,
              "the program calls the entry point through WavRendererEntry");
