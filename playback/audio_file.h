// Audio files of rendered audio, written by libsndfile: 16-bit stereo at the
// built-in synthesizer's rate as WAV or FLAC, or compressed as Ogg Vorbis or
// MP3, chosen by the file name's extension. libsndfile writes through a
// FileReplacement, so a file that cannot be written completely leaves the
// old one as it was and nothing half-written behind.
#pragma once

#include "audio_format.h"
#include "file_replacement.h"
#include "offline_render.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nimbel {

// Whether the installed libsndfile can write the format (MP3 needs a build with an MP3 encoder).
bool canWriteAudioFormat(AudioFormat format);
// The most frames a file of the format holds: WAV sizes are 32-bit.
std::int64_t maxAudioFrames(AudioFormat format);

class AudioFileWriter final : public AudioSink {
public:
    AudioFileWriter(std::string path, AudioFormat format);
    ~AudioFileWriter() override;
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    bool write(std::span<const std::int16_t> samples) override;
    std::string error() const override;
    // Completes the file and puts it in place. False when anything failed;
    // then the old file is as it was.
    bool finish();

private:
    struct Handle;
    bool fail(std::string reason);

    std::string path_;
    FileReplacement file_;
    std::unique_ptr<Handle> handle_;
    std::string error_;
    std::vector<std::int32_t> wideSamples_;
};

}  // namespace nimbel
