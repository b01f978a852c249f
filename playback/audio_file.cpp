#include "audio_file.h"

#include "synth_setup.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <utility>

namespace nimbel {

namespace {

constexpr int kChannels = 2;

// libsndfile's major and minor format of each AudioFormat, in its order.
constexpr std::array<int, 4> kSndfileFormats = {
    SF_FORMAT_WAV | SF_FORMAT_PCM_16,
    SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
    SF_FORMAT_OGG | SF_FORMAT_VORBIS,
    SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III,
};

SF_INFO infoOf(AudioFormat format)
{
    SF_INFO info{};
    info.samplerate = kSynthSampleRate;
    info.channels = kChannels;
    info.format = kSndfileFormats[static_cast<std::size_t>(format)];
    return info;
}

// libsndfile writes through these callbacks into the FileReplacement, so
// that every write it makes, headers written again at the end included, is
// one the replacement sees fail (a full disk) and keeps out of the target.
// Encoders only write; nothing is read back.
struct Placement {
    FileReplacement& file;
    sf_count_t position = 0;
    sf_count_t length = 0;
};

Placement& placementOf(void* data) { return *static_cast<Placement*>(data); }

SF_VIRTUAL_IO virtualFile()
{
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void* data) { return placementOf(data).length; };
    io.seek = [](sf_count_t offset, int whence, void* data) {
        Placement& p = placementOf(data);
        const sf_count_t from = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? p.position : p.length;
        p.position = std::max<sf_count_t>(0, from + offset);
        return p.position;
    };
    io.read = [](void*, sf_count_t, void*) -> sf_count_t { return 0; };
    io.write = [](const void* bytes, sf_count_t count, void* data) -> sf_count_t {
        Placement& p = placementOf(data);
        if (!p.file.writeAt(static_cast<std::uint64_t>(p.position),
                            {static_cast<const char*>(bytes), static_cast<std::size_t>(count)}))
            return 0;
        p.position += count;
        p.length = std::max(p.length, p.position);
        return count;
    };
    io.tell = [](void* data) { return placementOf(data).position; };
    return io;
}

}  // namespace

struct AudioFileWriter::Handle {
    explicit Handle(FileReplacement& file) : placement{file} {}
    ~Handle()
    {
        if (sound) sf_close(sound);
    }
    SF_VIRTUAL_IO io = virtualFile();
    Placement placement;
    SNDFILE* sound = nullptr;
};

bool canWriteAudioFormat(AudioFormat format)
{
    SF_INFO info = infoOf(format);
    return sf_format_check(&info) != 0;
}

std::int64_t maxAudioFrames(AudioFormat format)
{
    // A WAV file's RIFF size counts the 36 header bytes after it and 4 bytes a frame.
    return format == AudioFormat::wav ? (0xFFFFFFFFLL - 36) / (kChannels * 2) : INT64_MAX;
}

AudioFileWriter::AudioFileWriter(std::string path, AudioFormat format) : path_(std::move(path)), file_(path_)
{
    if (file_.failed()) {
        fail(file_.error());
        return;
    }
    SF_INFO info = infoOf(format);
    handle_ = std::make_unique<Handle>(file_);
    handle_->sound = sf_open_virtual(&handle_->io, SFM_WRITE, &info, &handle_->placement);
    if (!handle_->sound) fail(sf_strerror(nullptr));
}

AudioFileWriter::~AudioFileWriter() = default;

bool AudioFileWriter::fail(std::string reason)
{
    if (error_.empty()) error_ = std::move(reason);
    return false;
}

bool AudioFileWriter::write(std::span<const std::int16_t> samples)
{
    if (!error_.empty()) return false;
    // Handed over as 32-bit samples: for 16-bit stereo, libsndfile 1.2.0's
    // MP3 encoder copies only the first half of each block into its buffer
    // and encodes whatever the other half held. Every format takes the wider
    // samples back to 16 bits exactly.
    wideSamples_.resize(samples.size());
    std::transform(samples.begin(), samples.end(), wideSamples_.begin(),
                   [](std::int16_t sample) { return std::int32_t{sample} * 65536; });
    const auto frames = static_cast<sf_count_t>(samples.size() / kChannels);
    if (sf_writef_int(handle_->sound, wideSamples_.data(), frames) != frames || file_.failed())
        return fail(file_.failed() ? file_.error() : sf_strerror(handle_->sound));
    return true;
}

std::string AudioFileWriter::error() const { return "cannot write '" + path_ + "': " + error_; }

bool AudioFileWriter::finish()
{
    if (!error_.empty()) return false;
    // Closing writes what the encoder still holds and the header's sizes.
    const int closed = sf_close(handle_->sound);
    handle_->sound = nullptr;
    if (closed != 0) return fail(sf_error_number(closed));
    if (file_.failed() || !file_.commit()) return fail(file_.error());
    return true;
}

}  // namespace nimbel
