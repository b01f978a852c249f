// WAV files of rendered audio: 16-bit stereo PCM at the built-in
// synthesizer's rate, written through a FileReplacement, so a file that
// cannot be written completely leaves the old one as it was.
#pragma once

#include "file_replacement.h"
#include "offline_render.h"

#include <cstdint>
#include <string>

namespace nimbel {

class WavFileWriter final : public AudioSink {
public:
    // RIFF sizes are 32-bit: a file holds no more frames than this.
    static const std::int64_t kMaxFrames;

    explicit WavFileWriter(std::string path);
    bool write(std::span<const std::int16_t> samples) override;
    std::string error() const override;
    // Writes the sizes into the header and puts the file in place. False
    // when anything failed; then the old file is as it was.
    bool finish();

private:
    std::string path_;
    FileReplacement file_;
    std::uint64_t dataBytes_ = 0;
};

}  // namespace nimbel
