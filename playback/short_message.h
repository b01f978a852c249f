// Packing and unpacking of MIDI short messages: status | channel in byte 0,
// data values in bytes 1 and 2, byte 3 always 0.
#pragma once

#include <array>
#include <cstdint>

namespace nimbel {

inline constexpr int kNoteOnStatus = 0x90;
inline constexpr int kProgramChangeStatus = 0xC0;

// The caller keeps status a multiple of 16, channel within 0 … 15 and the
// data values within 0 … 127; nothing is masked here.
constexpr std::uint32_t packShortMessage(int status, int channel, int data1, int data2)
{
    return static_cast<std::uint32_t>(status | channel) | (static_cast<std::uint32_t>(data1) << 8) |
           (static_cast<std::uint32_t>(data2) << 16);
}

constexpr std::array<std::uint8_t, 3> shortMessageBytes(std::uint32_t packed)
{
    return {static_cast<std::uint8_t>(packed & 0xFF), static_cast<std::uint8_t>((packed >> 8) & 0xFF),
            static_cast<std::uint8_t>((packed >> 16) & 0xFF)};
}

// How many bytes the message takes on the wire: program change and channel
// pressure carry one data byte, the other channel messages two.
constexpr int shortMessageLength(std::uint8_t status)
{
    const int kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
}

}  // namespace nimbel
