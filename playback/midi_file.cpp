#include "midi_file.h"

#include "file_replacement.h"
#include "short_message.h"

#include <algorithm>

namespace nimbel {

namespace {

// A quarter note must fit the 15-bit division and its length in
// microseconds the 24-bit tempo event; slower songs (tempo 3 and below) keep
// one tick per millisecond with a shorter quarter note.
constexpr std::int64_t kLongestQuarterMs = 16777;
// The header chunk and the track chunk's header.
constexpr std::size_t kFileHeaderBytes = 22;
// The largest delta time a variable-length quantity holds.
constexpr std::int64_t kMaxDelta = 0x0FFFFFFF;

void putBigEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putVariableLength(std::vector<std::uint8_t>& out, std::int64_t value)
{
    std::uint8_t groups[4];
    int count = 0;
    do {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

// Writes the delta to the next event; a gap too long for one delta is
// bridged by empty text events.
void putDelta(std::vector<std::uint8_t>& track, std::int64_t delta)
{
    while (delta > kMaxDelta) {
        putVariableLength(track, kMaxDelta);
        track.insert(track.end(), {0xFF, 0x01, 0x00});
        delta -= kMaxDelta;
    }
    putVariableLength(track, delta);
}

}  // namespace

std::vector<std::uint8_t> standardMidiFile(const MessageLog& messages, std::int32_t tempo)
{
    const std::int64_t quarterMs =
        std::clamp<std::int64_t>(60000 / std::max<std::int32_t>(tempo, 1), 1, kLongestQuarterMs);

    // One buffer, the size of most songs' files, in which the track's length
    // is filled in at the end: the file is never copied.
    std::vector<std::uint8_t> file;
    file.reserve(kFileHeaderBytes + 16 + messages.size() * 5);
    file.insert(file.end(), {'M', 'T', 'h', 'd'});
    putBigEndian(file, 6, 4);
    putBigEndian(file, 0, 2);  // format 0
    putBigEndian(file, 1, 2);  // one track
    putBigEndian(file, static_cast<std::uint64_t>(quarterMs), 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});

    file.insert(file.end(), {0x00, 0xFF, 0x51, 0x03});
    putBigEndian(file, static_cast<std::uint64_t>(quarterMs * 1000), 3);
    std::int64_t last = 0;
    for (const TimedMessage& message : messages) {
        const std::int64_t time = std::max(message.timeMs, last);
        putDelta(file, time - last);
        last = time;
        const auto bytes = shortMessageBytes(message.packed);
        file.insert(file.end(), bytes.begin(), bytes.begin() + shortMessageLength(bytes[0]));
    }
    file.insert(file.end(), {0x00, 0xFF, 0x2F, 0x00});

    const std::size_t trackBytes = file.size() - kFileHeaderBytes;
    for (std::size_t i = 0; i < 4; ++i)
        file[kFileHeaderBytes - 4 + i] = static_cast<std::uint8_t>(trackBytes >> (24 - 8 * i));
    return file;
}

bool writeStandardMidiFile(const std::string& path, const MessageLog& messages, std::int32_t tempo)
{
    const std::vector<std::uint8_t> bytes = standardMidiFile(messages, tempo);
    return replaceFileContents(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace nimbel
