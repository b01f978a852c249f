// How the note notation writes one imported note: for a MIDI note number
// and a length in note columns, the note letters, the octave and the
// duration letters nearest that length.
//
// The duration letters E and F are note letters too, and of several note
// letters in a text the one latest in the order A C D E F G names the note,
// so "CE" is an E: a C cannot be an eighth. Which letters each spelling of
// a note may take is therefore found by interpreting every candidate text
// with the notation itself (a few hundred short texts, once per speller),
// so that every text written reads back as the note and duration meant.
#pragma once

#include <array>
#include <bitset>
#include <optional>
#include <string_view>
#include <vector>

namespace nimbel {

struct NoteSpelling {
    std::string_view letters;  // "C#", "EB", "CB" …
    int octave = 0;            // 1 … 10; 10 is written "9>"
    char durationLetter = 'Q';
    bool dotted = false;  // followed by ".": half as long again
    float duration = 0;   // in beats (note columns), as the notation reads the letters
};

class NoteSpeller {
public:
    NoteSpeller();

    // The spelling whose duration comes nearest `columns`, or nothing for a
    // note number no text reaches: octave 0 stands for "not given", so the
    // notes below 11 (B in octave 0, written as C flat in octave 1) have none.
    // A text that names no duration letter takes the channel's running one,
    // so `runningLetter` (0 for none) is open to every spelling: after "FE"
    // a C may be an eighth, written "C".
    std::optional<NoteSpelling> spell(int key, double columns, char runningLetter = 0) const;
    // Whether any text reaches the note number (11 … 127).
    bool reaches(int key) const;

private:
    struct Duration {
        char letter;
        bool dotted;
        float beats;
    };
    struct Spelling {
        std::string_view letters;
        int note;  // semitone above C as the notation reads the letters: -1 … 12
        std::vector<Duration> durations;
    };
    static constexpr int kPitchClasses = 12;
    // By the pitch class they spell, plain spellings first.
    std::array<std::vector<Spelling>, kPitchClasses> spellings_;
    std::bitset<128> reached_;
};

}  // namespace nimbel
