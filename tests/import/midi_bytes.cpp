#include "midi_bytes.h"

#include <tuple>

namespace nimbel::testing_support {

namespace {

std::string variableLength(std::uint32_t value)
{
    std::string text(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) text.insert(text.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    return text;
}

}  // namespace

std::string notesFile(int division, const std::vector<TestNote>& notes, const std::vector<TestMessage>& messages,
                      std::uint32_t microsecondsPerBeat)
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
