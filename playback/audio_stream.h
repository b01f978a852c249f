// Internal to playback/: a blocking stream of stereo float frames to the
// sound system, as the built-in synthesizer's audio thread feeds it.
// PulseAudio (or PipeWire's PulseAudio service) first; ALSA's default
// device where no sound server answers. One thread uses a stream at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace nimbel {

// How much audio the sound system keeps queued, and in what steps the
// writer tops it up.
struct StreamBuffering {
    int rate = 44100;
    int stepFrames = 441;       // each write, and the size of the sound server's requests
    int bufferedFrames = 1764;  // the whole latency from a write until it is heard
};

class AudioStream {
public:
    virtual ~AudioStream() = default;
    // Queues interleaved stereo frames, waiting until there is room. False
    // once the stream has failed (the sound server went away).
    virtual bool write(const float* frames, int count) = 0;
    // Nanoseconds from now until the last frame written is heard; empty
    // while the stream cannot tell.
    virtual std::optional<std::int64_t> latencyNs() = 0;
    // Waits until everything written has been heard.
    virtual void drain() = 0;
};

// Null when the sound system cannot be reached.
std::unique_ptr<AudioStream> openPulseAudioStream(const StreamBuffering& buffering);
std::unique_ptr<AudioStream> openAlsaAudioStream(const StreamBuffering& buffering);

}  // namespace nimbel
