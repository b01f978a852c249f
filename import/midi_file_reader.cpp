#include "midi_file_reader.h"

#include <algorithm>
#include <string>

namespace nimbel {

namespace {

constexpr std::string_view kHeaderId = "MThd";
constexpr std::string_view kTrackId = "MTrk";
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kHeaderFieldBytes = 6;  // format, track count, division
constexpr int kMaxLengthBytes = 4;            // a variable-length quantity holds at most 28 bits

constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kSysEx = 0xF0;
constexpr std::uint8_t kSysExContinuation = 0xF7;
constexpr std::uint8_t kEndOfTrack = 0x2F;
constexpr std::uint8_t kSetTempo = 0x51;
constexpr std::size_t kTempoBytes = 3;

std::uint32_t bigEndian(std::string_view bytes, std::size_t at, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// Channel messages carry two data bytes, except program change and channel pressure.
int dataBytesOf(std::uint8_t status)
{
    const int kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

std::string hexByte(std::uint8_t byte)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

}  // namespace

bool isStandardMidiFile(std::string_view bytes) { return bytes.starts_with(kHeaderId); }

bool MidiEventStream::Later::operator()(std::size_t a, std::size_t b) const
{
    const std::int64_t ta = (*tracks)[a].pending.tick;
    const std::int64_t tb = (*tracks)[b].pending.tick;
    return ta != tb ? ta > tb : a > b;
}

MidiEventStream::MidiEventStream(std::string_view bytes) : waiting_(Later{&tracks_})
{
    if (!isStandardMidiFile(bytes)) {
        error_ = "it is not a MIDI file";
        return;
    }
    if (bytes.size() < kChunkHeaderBytes + kHeaderFieldBytes) {
        error_ = "the file is cut short inside its header";
        return;
    }
    const std::uint32_t headerLength = bigEndian(bytes, 4, 4);
    const std::uint32_t format = bigEndian(bytes, 8, 2);
    const std::uint32_t division = bigEndian(bytes, 12, 2);
    if (headerLength < kHeaderFieldBytes) {
        error_ = "its header is damaged";
    } else if (format == 2) {
        error_ = "it is a MIDI file of format 2, whose tracks are separate pieces rather than one song";
    } else if (format > 2) {
        error_ = "it is a MIDI file of an unknown format (" + std::to_string(format) + ")";
    } else if (division & 0x8000) {
        error_ = "its times are counted in time-code frames, not in beats";
    } else if (division == 0) {
        error_ = "its header gives a beat no ticks";
    }
    if (!error_.empty()) return;
    ticksPerBeat_ = static_cast<int>(division);
    readChunks(bytes);
    if (!error_.empty()) return;
    for (std::size_t i = 0; i < tracks_.size(); ++i)
        if (advance(i)) waiting_.push(i);
}

void MidiEventStream::readChunks(std::string_view bytes)
{
    const std::size_t announced = bigEndian(bytes, 10, 2);
    std::size_t at = kChunkHeaderBytes + bigEndian(bytes, 4, 4);
    tracks_.reserve(announced);
    while (tracks_.size() < announced) {
        if (at > bytes.size() || bytes.size() - at < kChunkHeaderBytes) {
            error_ = "the file is cut short: its header announces " + std::to_string(announced) +
                     (announced == 1 ? " track" : " tracks") + ", it holds " + std::to_string(tracks_.size());
            return;
        }
        const bool isTrack = bytes.substr(at, 4) == kTrackId;
        const std::size_t length = bigEndian(bytes, at + 4, 4);
        at += kChunkHeaderBytes;
        if (bytes.size() - at < length) {
            error_ = isTrack ? "the file is cut short inside track " + std::to_string(tracks_.size() + 1)
                             : std::string("the file is cut short");
            return;
        }
        if (isTrack) {
            Track track;
            track.bytes = bytes.substr(at, length);
            tracks_.push_back(track);
        }
        at += length;
    }
}

void MidiEventStream::fail(std::size_t track, std::string_view what)
{
    error_ = "track " + std::to_string(track + 1) + " is damaged: " + std::string(what);
}

bool MidiEventStream::next(MidiEvent& event)
{
    if (!error_.empty() || waiting_.empty()) return false;
    const std::size_t track = waiting_.top();
    waiting_.pop();
    event = tracks_[track].pending;
    if (advance(track)) waiting_.push(track);
    return error_.empty();
}

bool MidiEventStream::advance(std::size_t index)
{
    Track& track = tracks_[index];
    const std::string_view bytes = track.bytes;
    const auto readLength = [&](std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < kMaxLengthBytes; ++i) {
            if (track.at >= bytes.size()) return false;
            const auto byte = static_cast<std::uint8_t>(bytes[track.at++]);
            value = (value << 7) | (byte & 0x7F);
            if (!(byte & 0x80)) return true;
        }
        return false;
    };

    for (;;) {
        if (track.at >= bytes.size()) return false;  // a track may end without its end event
        std::uint32_t delta = 0;
        if (!readLength(delta)) {
            fail(index, "a time runs past the end of the track or is longer than four bytes");
            return false;
        }
        track.tick += delta;
        endTick_ = std::max(endTick_, track.tick);
        if (track.at >= bytes.size()) {
            fail(index, "it ends after a time, without an event");
            return false;
        }
        std::uint8_t status = static_cast<std::uint8_t>(bytes[track.at]);
        if (status == kMetaEvent || status == kSysEx || status == kSysExContinuation) {
            ++track.at;
            std::uint8_t type = 0;
            if (status == kMetaEvent) {
                if (track.at >= bytes.size()) {
                    fail(index, "a meta event runs past the end of the track");
                    return false;
                }
                type = static_cast<std::uint8_t>(bytes[track.at++]);
            }
            std::uint32_t length = 0;
            if (!readLength(length) || bytes.size() - track.at < length) {
                fail(index, "an event's data runs past the end of the track");
                return false;
            }
            const std::size_t data = track.at;
            track.at += length;
            if (status != kMetaEvent) continue;
            if (type == kEndOfTrack) return false;
            if (type == kSetTempo && length == kTempoBytes) {
                track.pending =
                    MidiEvent{MidiEvent::Kind::tempo, track.tick, 0, 0, 0, bigEndian(bytes, data, kTempoBytes)};
                return true;
            }
            continue;
        }
        if (status >= 0xF0) {
            fail(index, "it holds an event of a kind MIDI files do not hold (" + hexByte(status) + ")");
            return false;
        }
        if (status & 0x80) {
            ++track.at;
            track.runningStatus = status;
        } else if (track.runningStatus == 0) {
            fail(index, "its first event has no status byte");
            return false;
        } else {
            status = track.runningStatus;
        }
        std::uint8_t data[2] = {0, 0};
        for (int i = 0; i < dataBytesOf(status); ++i) {
            if (track.at >= bytes.size()) {
                fail(index, "a message runs past the end of the track");
                return false;
            }
            data[i] = static_cast<std::uint8_t>(bytes[track.at++]);
            if (data[i] & 0x80) {
                fail(index, "a message holds a value above 127");
                return false;
            }
        }
        track.pending = MidiEvent{MidiEvent::Kind::channelMessage, track.tick, status, data[0], data[1], 0};
        return true;
    }
}

}  // namespace nimbel
