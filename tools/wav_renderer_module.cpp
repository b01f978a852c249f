// The audio module of nimbel-export: the offline renderer, and through it
// the synthesizer's libraries.
#include "wav_renderer_module.h"

extern "C" {
extern const nimbel::WavRenderer nimbelWavRenderer;
const nimbel::WavRenderer nimbelWavRenderer = &nimbel::renderWavFile;
}
