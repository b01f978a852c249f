#include "audio_stream.h"

#include <alsa/asoundlib.h>

namespace nimbel {

namespace {

constexpr int kChannels = 2;

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};

// ALSA's default device, written with blocking writes. Its delay report
// counts the frames queued in front of the next one written.
class AlsaAudioStream final : public AudioStream {
public:
    AlsaAudioStream(snd_pcm_t* pcm, int rate) : pcm_(pcm), rate_(rate) {}

    bool write(const float* frames, int count) override
    {
        while (count > 0) {
            snd_pcm_sframes_t written = snd_pcm_writei(pcm_.get(), frames, static_cast<snd_pcm_uframes_t>(count));
            if (written < 0) written = snd_pcm_recover(pcm_.get(), static_cast<int>(written), 1);
            if (written < 0) return false;
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

private:
    std::unique_ptr<snd_pcm_t, PcmCloser> pcm_;
    int rate_;
};

}  // namespace

std::unique_ptr<AudioStream> openAlsaAudioStream(const StreamBuffering& buffering)
{
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return nullptr;
    std::unique_ptr<snd_pcm_t, PcmCloser> owned(pcm);
    const auto latencyUs =
        static_cast<unsigned>(static_cast<std::int64_t>(buffering.bufferedFrames) * 1'000'000 / buffering.rate);
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_FLOAT_LE, SND_PCM_ACCESS_RW_INTERLEAVED, kChannels,
                           static_cast<unsigned>(buffering.rate), 1, latencyUs) < 0)
        return nullptr;
    return std::make_unique<AlsaAudioStream>(owned.release(), buffering.rate);
}

}  // namespace nimbel
