#include "audio_stream.h"

#include <alsa/asoundlib.h>

namespace nimbel {

namespace {

constexpr int kChannels = 2;
constexpr int kLongestWaitMs = 1000;

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};

// ALSA's default device, written with blocking writes; playing starts once
// the buffer is full. Its delay report counts the frames queued in front of
// the next one written. The buffer keeps the size it was opened with: after
// an underrun ALSA starts again from a full buffer, which moves the frames
// later on the steady clock by the silence between.
class AlsaAudioStream final : public AudioStream {
public:
    AlsaAudioStream(snd_pcm_t* pcm, int rate) : pcm_(pcm), rate_(rate) {}

    int room(int frames) override
    {
        for (;;) {
            const snd_pcm_sframes_t available = snd_pcm_avail_update(pcm_.get());
            if (available < 0) {
                if (!recover(static_cast<int>(available))) return 0;
                continue;
            }
            if (available >= frames) return static_cast<int>(available);
            // Not playing yet: the buffer fills before it starts, and a write starts it.
            if (snd_pcm_state(pcm_.get()) != SND_PCM_STATE_RUNNING) return frames;
            const int waited = snd_pcm_wait(pcm_.get(), kLongestWaitMs);
            if (waited < 0 && !recover(waited)) return 0;
        }
    }

    bool write(const float* frames, int count) override
    {
        while (count > 0) {
            snd_pcm_sframes_t written = snd_pcm_writei(pcm_.get(), frames, static_cast<snd_pcm_uframes_t>(count));
            if (written < 0 && !recover(static_cast<int>(written))) return false;
            if (written < 0) continue;
            frames += written * kChannels;
            count -= static_cast<int>(written);
        }
        return true;
    }

    std::optional<std::int64_t> latencyNs() override
    {
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_delay(pcm_.get(), &delay) < 0) return std::nullopt;
        return static_cast<std::int64_t>(delay) * 1'000'000'000 / rate_;
    }

    void drain() override { snd_pcm_drain(pcm_.get()); }

    int underruns() override { return underruns_; }

    bool requestQueue(int /*frames*/) override { return false; }

private:
    // After an underrun (the buffer ran dry) or a suspend; false when the device is gone.
    bool recover(int error)
    {
        if (error == -EPIPE) ++underruns_;
        return snd_pcm_recover(pcm_.get(), error, 1) == 0;
    }

    std::unique_ptr<snd_pcm_t, PcmCloser> pcm_;
    int rate_;
    int underruns_ = 0;
};

}  // namespace

std::unique_ptr<AudioStream> openAlsaAudioStream(const StreamBuffering& buffering)
{
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return nullptr;
    std::unique_ptr<snd_pcm_t, PcmCloser> owned(pcm);
    const auto latencyUs =
        static_cast<unsigned>(static_cast<std::int64_t>(buffering.queuedFrames) * 1'000'000 / buffering.rate);
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_FLOAT_LE, SND_PCM_ACCESS_RW_INTERLEAVED, kChannels,
                           static_cast<unsigned>(buffering.rate), 1, latencyUs) < 0)
        return nullptr;
    return std::make_unique<AlsaAudioStream>(owned.release(), buffering.rate);
}

}  // namespace nimbel
