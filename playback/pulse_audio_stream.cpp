#include "audio_stream.h"

#include <pulse/error.h>
#include <pulse/simple.h>

namespace nimbel {

namespace {

constexpr int kChannels = 2;
constexpr int kFrameBytes = kChannels * static_cast<int>(sizeof(float));

struct SimpleDeleter {
    void operator()(pa_simple* stream) const { pa_simple_free(stream); }
};

// The simple API is enough here: the audio thread is ours, it blocks in
// write() until the server wants more, and the server's latency report,
// interpolated between its updates, maps frames onto the steady clock.
class PulseAudioStream final : public AudioStream {
public:
    explicit PulseAudioStream(pa_simple* stream) : stream_(stream) {}

    bool write(const float* frames, int count) override
    {
        int error = 0;
        return pa_simple_write(stream_.get(), frames, static_cast<std::size_t>(count) * kFrameBytes, &error) == 0;
    }

    std::optional<std::int64_t> latencyNs() override
    {
        int error = 0;
        const pa_usec_t latency = pa_simple_get_latency(stream_.get(), &error);
        if (latency == static_cast<pa_usec_t>(-1)) return std::nullopt;
        return static_cast<std::int64_t>(latency) * 1000;
    }

    void drain() override
    {
        int error = 0;
        pa_simple_drain(stream_.get(), &error);
    }

private:
    std::unique_ptr<pa_simple, SimpleDeleter> stream_;
};

}  // namespace

std::unique_ptr<AudioStream> openPulseAudioStream(const StreamBuffering& buffering)
{
    const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32LE, static_cast<std::uint32_t>(buffering.rate), kChannels};
    const auto bytes = [](int frames) { return static_cast<std::uint32_t>(frames * kFrameBytes); };
    // The whole latency is asked for (the simple API adjusts the server's
    // share to it); playback starts once it is queued.
    const pa_buffer_attr attributes{static_cast<std::uint32_t>(-1), bytes(buffering.bufferedFrames),
                                    static_cast<std::uint32_t>(-1), bytes(buffering.stepFrames),
                                    static_cast<std::uint32_t>(-1)};
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "Nimbel MIDI", PA_STREAM_PLAYBACK, nullptr, "Built-in synthesizer",
                                      &sampleFormat, nullptr, &attributes, &error);
    if (!stream) return nullptr;
    return std::make_unique<PulseAudioStream>(stream);
}

}  // namespace nimbel
