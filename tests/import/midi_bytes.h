// Standard MIDI Files written out byte by byte for the import tests: the
// header and track chunks around event bytes as they stand in a file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <tuple>
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

inline std::string variableLength(std::uint32_t value)
{
    std::string text(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) text.insert(text.begin(), static_cast<char>(0x80 | (value & 0x7F)));
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
inline std::string notesFile(int division, const std::vector<TestNote>& notes,
                             const std::vector<TestMessage>& messages = {}, std::uint32_t microsecondsPerBeat = 0)
{
    // (tick, rank at that tick, order given, bytes)
    std::vector<std::tuple<std::uint32_t, int, std::size_t, std::string>> events;
    for (std::size_t i = 0; i < messages.size(); ++i) events.emplace_back(messages[i].tick, 0, i, messages[i].message);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const TestNote& n = notes[i];
        const auto status = static_cast<char>(0x90 | n.channel);
        events.emplace_back(n.start, 2, i,
                            std::string{status, static_cast<char>(n.key), static_cast<char>(n.velocity)});
        events.emplace_back(n.end, n.end > n.start ? 1 : 3, i, std::string{status, static_cast<char>(n.key), 0});
    }
    std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a), std::get<2>(a)) <
               std::tie(std::get<0>(b), std::get<1>(b), std::get<2>(b));
    });
    std::string track;
    if (microsecondsPerBeat != 0) track += bytes({0x00, 0xFF, 0x51, 0x03}) + bigEndian(microsecondsPerBeat, 3);
    std::uint32_t last = 0;
    for (const auto& [tick, rank, order, message] : events) {
        track += variableLength(tick - last) + message;
        last = tick;
    }
    return midiFile(0, division, {track});
}

}  // namespace nimbel::testing_support
