// Random hand-written songs for the property tests: note texts of the kind
// song files hold, sometimes placed by "N" and "X" (also outside the song),
// with volumes, octaves, marks, durations and voices, on lines of their own
// or split by "|", after a tempo token.
#pragma once

#include <random>
#include <string>

namespace nimbel::testing_support {

inline int pick(std::mt19937& random, int low, int high) { return std::uniform_int_distribution(low, high)(random); }

inline std::string randomNote(std::mt19937& random)
{
    std::string text;
    if (pick(random, 0, 2) == 0)
        text += "N" + std::to_string(pick(random, 0, 16)) + "X" + std::to_string(pick(random, 0, 30));
    if (pick(random, 0, 3) == 0) text += "V" + std::to_string(pick(random, 0, 9));
    if (pick(random, 0, 1) == 0) text += std::to_string(pick(random, 0, 9));
    for (int marks = pick(random, -3, 2); marks > 0; --marks) text += "+-<>"[pick(random, 0, 3)];
    text += "ABCDEFGR"[pick(random, 0, 7)];
    if (pick(random, 0, 3) == 0) text += "#B"[pick(random, 0, 1)];
    static const char* const kDurations[] = {"", "W", "H", "Q", "E", "S", "T", "F", "WD", "HD", "Q.", "E."};
    text += kDurations[pick(random, 0, 11)];
    for (int voices = pick(random, -6, 3); voices > 0; --voices) text += "," + std::to_string(pick(random, 1, 128));
    return text;
}

inline std::string randomSong(std::mt19937& random)
{
    std::string text = "Start\nT" + std::to_string(pick(random, 0, 1) ? pick(random, 1, 400) : 6000) + "\n";
    for (int lines = pick(random, 1, 8); lines > 0; --lines) {
        for (int notes = pick(random, 1, 10); notes > 0; --notes) text += randomNote(random) + " ";
        text += "|\n";
    }
    return text + "End\n";
}

}  // namespace nimbel::testing_support
