// Standard MIDI Files written out byte by byte for the import tests: the
// header and track chunks around event bytes as they stand in a file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace nimbel::testing_support {

inline std::string bytes(std::initializer_list<int> values)
{
    std::string text;
    for (const int value : values) text += static_cast<char>(value);
    return text;
}

inline std::string bigEndian(std::uint32_t value, int count)
{
    std::string text;
    for (int shift = (count - 1) * 8; shift >= 0; shift -= 8) text += static_cast<char>((value >> shift) & 0xFF);
    return text;
}

inline std::string chunk(const std::string& id, const std::string& body)
{
    return id + bigEndian(static_cast<std::uint32_t>(body.size()), 4) + body;
}

// Each track is its events' bytes; an end-of-track event is added to each.
inline std::string midiFile(int format, int division, const std::vector<std::string>& tracks)
{
    std::string file = chunk("MThd", bigEndian(static_cast<std::uint32_t>(format), 2) +
                                         bigEndian(static_cast<std::uint32_t>(tracks.size()), 2) +
                                         bigEndian(static_cast<std::uint32_t>(division), 2));
    for (const std::string& track : tracks) file += chunk("MTrk", track + bytes({0x00, 0xFF, 0x2F, 0x00}));
    return file;
}

// A note of a test file: its times in ticks, MIDI channel 0 … 15 and key.
struct TestNote {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    int channel = 0;
    int key = 60;
    int velocity = 70;
};

// Any channel message of a test file at a tick (program changes, controllers).
struct TestMessage {
    std::uint32_t tick = 0;
    std::string message;  // status byte and data bytes
};

// A format 0 file: the tempo event first when one is given, then the
// messages and the notes' note-ons and note-offs in time order (at one
// moment: messages, note-offs, note-ons, the ends of notes of no length,
// each in the order given).
std::string notesFile(int division, const std::vector<TestNote>& notes, const std::vector<TestMessage>& messages = {},
                      std::uint32_t microsecondsPerBeat = 0);

}  // namespace nimbel::testing_support
