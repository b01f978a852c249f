// Reading 16-bit PCM WAV files and raw recordings, and the measurements the
// audio tests make on them: loudness, onset and strongest frequency.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace nimbel::testing {

struct Audio {
    int rate = 0;
    int channels = 0;
    int bits = 16;
    std::vector<std::int16_t> samples;  // interleaved

    std::size_t frames() const { return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0; }
    // The first channel only, frames [from, to).
    std::vector<double> firstChannel(std::size_t from, std::size_t to) const
    {
        std::vector<double> out;
        for (std::size_t f = from; f < std::min(to, frames()); ++f)
            out.push_back(samples[f * static_cast<std::size_t>(channels)]);
        return out;
    }
};

inline std::uint32_t littleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes.at(at + static_cast<std::size_t>(i));
    return value;
}

// A RIFF/WAVE file of 16-bit PCM; its chunks are walked, not assumed.
inline std::optional<Audio> readWav(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() < 12 || std::string(bytes.begin(), bytes.begin() + 4) != "RIFF" ||
        std::string(bytes.begin() + 8, bytes.begin() + 12) != "WAVE")
        return std::nullopt;
    if (littleEndian(bytes, 4, 4) != bytes.size() - 8) return std::nullopt;
    Audio audio{0, 0, 0, {}};
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             bytes.begin() + static_cast<std::ptrdiff_t>(at + 4));
        const std::uint32_t size = littleEndian(bytes, at + 4, 4);
        if (at + 8 + size > bytes.size()) return std::nullopt;
        if (id == "fmt ") {
            if (littleEndian(bytes, at + 8, 2) != 1) return std::nullopt;  // PCM only
            audio.channels = static_cast<int>(littleEndian(bytes, at + 10, 2));
            audio.rate = static_cast<int>(littleEndian(bytes, at + 12, 4));
            audio.bits = static_cast<int>(littleEndian(bytes, at + 22, 2));
        } else if (id == "data") {
            for (std::size_t i = 0; i + 1 < size; i += 2)
                audio.samples.push_back(static_cast<std::int16_t>(littleEndian(bytes, at + 8 + i, 2)));
        }
        at += 8 + size + (size & 1);
    }
    if (audio.bits != 16 || audio.channels == 0) return std::nullopt;
    return audio;
}

// Raw signed 16-bit little-endian interleaved samples, as parec records them.
inline Audio readRaw(const std::string& path, int rate, int channels)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Audio audio{rate, channels, 16, {}};
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        audio.samples.push_back(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return audio;
}

inline int peak(const Audio& audio, std::size_t fromFrame, std::size_t toFrame)
{
    int most = 0;
    const auto channels = static_cast<std::size_t>(audio.channels);
    for (std::size_t i = fromFrame * channels; i < std::min(toFrame, audio.frames()) * channels; ++i)
        most = std::max(most, std::abs(static_cast<int>(audio.samples[i])));
    return most;
}

// The first frame from `fromFrame` on with a sample louder than `threshold`.
inline std::optional<std::size_t> onsetFrame(const Audio& audio, int threshold, std::size_t fromFrame = 0)
{
    for (std::size_t i = fromFrame * static_cast<std::size_t>(audio.channels); i < audio.samples.size(); ++i)
        if (std::abs(static_cast<int>(audio.samples[i])) > threshold)
            return i / static_cast<std::size_t>(audio.channels);
    return std::nullopt;
}

// The parts of `samples` between drop-outs (three or more samples of exact
// silence in a row) that are at least `shortest` samples long.
inline std::vector<std::vector<double>> unbrokenStretches(const std::vector<double>& samples, std::size_t shortest)
{
    std::vector<std::vector<double>> stretches;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= samples.size(); ++i) {
        const bool dropOut = i + 3 <= samples.size() && samples[i] == 0 && samples[i + 1] == 0 && samples[i + 2] == 0;
        if (i < samples.size() && !dropOut) continue;
        if (i - start >= shortest)
            stretches.emplace_back(samples.begin() + static_cast<std::ptrdiff_t>(start),
                                   samples.begin() + static_cast<std::ptrdiff_t>(i));
        while (i < samples.size() && samples[i] == 0) ++i;
        start = i;
    }
    return stretches;
}

// The frequency of greatest power between lo and hi Hz, in 0.5 Hz steps,
// of a Hann-windowed stretch of samples (Goertzel filter per step).
inline double strongestFrequency(const std::vector<double>& samples, int rate, double lo, double hi)
{
    std::vector<double> windowed(samples.size());
    for (std::size_t n = 0; n < samples.size(); ++n)
        windowed[n] = samples[n] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(n) /
                                                         static_cast<double>(samples.size() - 1)));
    double best = lo;
    double bestPower = -1;
    for (double f = lo; f <= hi; f += 0.5) {
        const double coefficient = 2 * std::cos(2 * std::numbers::pi * f / rate);
        double s1 = 0;
        double s2 = 0;
        for (const double x : windowed) {
            const double s0 = x + coefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        if (power > bestPower) {
            bestPower = power;
            best = f;
        }
    }
    return best;
}

}  // namespace nimbel::testing
