// The audio file formats rendered audio can be written in, named by the
// output file's extension. Plain data, without the library that writes them
// (audio_file.h), so a program can check a name without loading it.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace nimbel {

enum class AudioFormat { wav, flac, ogg, mp3 };

inline constexpr std::array kAudioFormats = {AudioFormat::wav, AudioFormat::flac, AudioFormat::ogg, AudioFormat::mp3};

// ".wav", ".flac", ".ogg" or ".mp3".
constexpr std::string_view audioFormatExtension(AudioFormat format)
{
    constexpr std::array<std::string_view, 4> kExtensions = {".wav", ".flac", ".ogg", ".mp3"};
    return kExtensions[static_cast<std::size_t>(format)];
}

// The format a file name asks for by its extension.
constexpr std::optional<AudioFormat> audioFormatOfPath(std::string_view path)
{
    for (const AudioFormat format : kAudioFormats) {
        const std::string_view extension = audioFormatExtension(format);
        if (path.size() > extension.size() && path.ends_with(extension)) return format;
    }
    return std::nullopt;
}

}  // namespace nimbel
