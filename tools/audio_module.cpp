// The audio module of nimbel-export: the offline renderer, and through it
// the synthesizer's and the audio file library's libraries, behind plain C
// entry points.
#include "audio_module.h"
#include "audio_file.h"

#include <cstdio>
#include <type_traits>

extern "C" std::int64_t nimbelRenderAudioFile(const nimbel::TimedMessage* messages, std::size_t count,
                                              const char* soundFont, const char* outPath, char* error,
                                              std::size_t errorSize)
{
    const nimbel::RenderResult result = nimbel::renderAudioFile({messages, count}, soundFont, outPath);
    if (result.ok) return result.frames;
    std::snprintf(error, errorSize, "%s", result.error.c_str());
    return -1;
}

extern "C" unsigned nimbelWritableAudioFormats()
{
    unsigned formats = 0;
    for (const nimbel::AudioFormat format : nimbel::kAudioFormats)
        if (nimbel::canWriteAudioFormat(format)) formats |= 1u << static_cast<unsigned>(format);
    return formats;
}

static_assert(std::is_same_v<decltype(&nimbelRenderAudioFile), nimbel::RenderEntry>,
              "the program calls the entry point through RenderEntry");
static_assert(std::is_same_v<decltype(&nimbelWritableAudioFormats), nimbel::FormatsEntry>,
              "the program calls the entry point through FormatsEntry");
