// Internal to playback/: a blocking stream of stereo float frames to the
// sound system, as the built-in synthesizer's audio thread feeds it.
// PulseAudio (or PipeWire's PulseAudio service) first; ALSA's default
// device where no sound server answers. One thread uses a stream at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace nimbel {

// How much audio the sound system is asked to keep queued, and in what
// steps the writer tops it up.
struct StreamBuffering {
    int rate = 44100;
    int stepFrames = 441;           // rendered at a time, between looks for new messages
    int queuedFrames = 1764;        // the queue ahead of what is heard
    int longestQueueFrames = 1764;  // how far the queue may grow after underruns
};

class AudioStream {
public:
    virtual ~AudioStream() = default;
    // Waits until at least `frames` frames can be queued; how many can, 0
    // once the stream has failed (the sound server went away).
    virtual int room(int frames) = 0;
    // Queues interleaved stereo frames, waiting until there is room. The
    // first writes fill the queue before it starts playing. False once the
    // stream has failed.
    virtual bool write(const float* frames, int count) = 0;
    // Nanoseconds from now until the last frame written is heard (below 0
    // when the queue has run dry); empty while the stream cannot tell.
    virtual std::optional<std::int64_t> latencyNs() = 0;
    // Waits until everything written has been heard.
    virtual void drain() = 0;

    // How often the queue has run dry while playing.
    virtual int underruns() = 0;
    // Asks for a queue of `frames`; false when the stream cannot change it.
    virtual bool requestQueue(int frames) = 0;
};

// Null when the sound system cannot be reached.
std::unique_ptr<AudioStream> openPulseAudioStream(const StreamBuffering& buffering);
std::unique_ptr<AudioStream> openAlsaAudioStream(const StreamBuffering& buffering);

}  // namespace nimbel
