#include "note_spelling.h"

#include "notation.h"

#include <cmath>
#include <string>

namespace nimbel {

namespace {

struct Letters {
    std::string_view letters;
    int note;
};
// The plain spellings first, so that they win where another spelling is no nearer.
constexpr Letters kSpellings[] = {{"C", 0},  {"C#", 1}, {"D", 2},  {"D#", 3},  {"E", 4},   {"F", 5},   {"F#", 6},
                                  {"G", 7},  {"G#", 8}, {"A", 9},  {"A#", 10}, {"B", 11},  {"DB", 1},  {"EB", 3},
                                  {"FB", 4}, {"E#", 5}, {"GB", 6}, {"AB", 8},  {"BB", 10}, {"B#", 12}, {"CB", -1}};

struct Letter {
    char letter;
    float beats;
};
constexpr Letter kDurationLetters[] = {{'W', 4.0f},  {'H', 2.0f},   {'Q', 1.0f},   {'E', 0.5f},
                                       {'S', 0.25f}, {'T', 0.125f}, {'F', 0.0625f}};
constexpr float kDot = 1.5f;
constexpr int kSemitones = 12;
constexpr int kLowestOctave = 1;  // 0 stands for "not given"
constexpr int kHighestOctave = 10;

}  // namespace

NoteSpeller::NoteSpeller()
{
    for (const auto& [letters, note] : kSpellings) {
        Spelling spelling{letters, note, {}};
        for (const auto& [letter, beats] : kDurationLetters) {
            for (const bool dotted : {false, true}) {
                NoteRecord record;
                record.channel = 1;
                record.text = std::string(letters) + letter + (dotted ? "." : "");
                ChannelState channels{};
                parseNoteText(record, channels);
                const float duration = dotted ? beats * kDot : beats;
                if (record.note == note && record.duration == duration)
                    spelling.durations.push_back({letter, dotted, duration});
            }
        }
        spellings_[static_cast<std::size_t>((note + kSemitones) % kSemitones)].push_back(std::move(spelling));
    }
    for (int key = 0; key < static_cast<int>(reached_.size()); ++key)
        reached_[static_cast<std::size_t>(key)] = spell(key, 0).has_value();
}

std::optional<NoteSpelling> NoteSpeller::spell(int key, double columns, char runningLetter) const
{
    std::optional<NoteSpelling> best;
    double bestDistance = 0;
    const auto consider = [&](const Spelling& spelling, int octave, const Duration& duration) {
        const double distance = std::abs(duration.beats - columns);
        if (best && distance >= bestDistance) return;
        best = NoteSpelling{spelling.letters, octave, duration.letter, duration.dotted, duration.beats};
        bestDistance = distance;
    };
    if (key < 0) return best;
    for (const Spelling& spelling : spellings_[static_cast<std::size_t>(key % kSemitones)]) {
        const int rest = key - spelling.note;
        if (rest / kSemitones < kLowestOctave || rest / kSemitones > kHighestOctave) continue;
        for (const Duration& duration : spelling.durations) consider(spelling, rest / kSemitones, duration);
        for (const auto& [letter, beats] : kDurationLetters) {
            if (letter != runningLetter) continue;
            consider(spelling, rest / kSemitones, {letter, false, beats});
            consider(spelling, rest / kSemitones, {letter, true, beats * kDot});
        }
    }
    return best;
}

bool NoteSpeller::reaches(int key) const
{
    return key >= 0 && key < static_cast<int>(reached_.size()) && reached_[static_cast<std::size_t>(key)];
}

}  // namespace nimbel
