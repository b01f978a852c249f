#include "wav_file.h"

#include "synth_setup.h"

#include <array>
#include <utility>

namespace nimbel {

namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerSample = 2;
constexpr int kBytesPerFrame = kChannels * kBytesPerSample;
constexpr std::size_t kHeaderBytes = 44;

void putLittleEndian(std::array<std::uint8_t, kHeaderBytes>& header, std::size_t at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        header[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::array<std::uint8_t, kHeaderBytes> wavHeader(std::uint32_t dataBytes)
{
    std::array<std::uint8_t, kHeaderBytes> h{'R', 'I', 'F', 'F', 0, 0, 0,   0,   'W', 'A', 'V', 'E', 'f', 'm', 't',
                                             ' ', 0,   0,   0,   0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   0,
                                             0,   0,   0,   0,   0, 0, 'd', 'a', 't', 'a', 0,   0,   0,   0};
    putLittleEndian(h, 4, static_cast<std::uint32_t>(kHeaderBytes - 8) + dataBytes, 4);
    putLittleEndian(h, 16, 16, 4);  // fmt chunk size
    putLittleEndian(h, 20, 1, 2);   // PCM
    putLittleEndian(h, 22, kChannels, 2);
    putLittleEndian(h, 24, kSynthSampleRate, 4);
    putLittleEndian(h, 28, kSynthSampleRate * kBytesPerFrame, 4);
    putLittleEndian(h, 32, kBytesPerFrame, 2);
    putLittleEndian(h, 34, kBytesPerSample * 8, 2);
    putLittleEndian(h, 40, dataBytes, 4);
    return h;
}

std::string_view bytesOf(const void* data, std::size_t size) { return {static_cast<const char*>(data), size}; }

}  // namespace

const std::int64_t WavFileWriter::kMaxFrames =
    (0xFFFFFFFFLL - static_cast<std::int64_t>(kHeaderBytes - 8)) / kBytesPerFrame;

WavFileWriter::WavFileWriter(std::string path) : path_(std::move(path)), file_(path_)
{
    // The sizes are known at the end; the header is written again then.
    file_.write(bytesOf(wavHeader(0).data(), kHeaderBytes));
}

bool WavFileWriter::write(std::span<const std::int16_t> samples)
{
    // The host is little-endian, as the WAV data is.
    dataBytes_ += samples.size_bytes();
    return file_.write(bytesOf(samples.data(), samples.size_bytes()));
}

std::string WavFileWriter::error() const { return "cannot write '" + path_ + "': " + file_.error(); }

bool WavFileWriter::finish()
{
    const auto header = wavHeader(static_cast<std::uint32_t>(dataBytes_));
    file_.writeAt(0, bytesOf(header.data(), kHeaderBytes));
    return file_.commit();
}

}  // namespace nimbel
