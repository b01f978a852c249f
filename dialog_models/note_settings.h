// The note settings of the Note Window: the items of its lists and the note
// text it assembles from the chosen settings. Plain data and one function,
// so the assembly is checked against the notation without any window.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace nimbel {

// What the lists and number fields hold: a list at item 0 or a number field
// at -1 means "the channel's current setting" and adds nothing to the text.
struct NoteSettings {
    int note = 0;      // item of kNoteItems: 1 … 7 the letters A … G, 8 a rest
    int octave = -1;   // -1 … 9
    int volume = -1;   // -1 … 9
    int duration = 0;  // item of kDurationItems
    int flag = 0;      // item of kFlagItems
    int voice = 0;     // 0, or the voice 1 … 128
};

inline constexpr std::array<std::string_view, 9> kNoteItems = {"None", "A", "B", "C", "D", "E", "F", "G", "Rest"};
inline constexpr std::array<std::string_view, 8> kDurationItems = {
    "Default",       "W Whole Note",     "H Half Note",          "Q Quarter Note",
    "E Eighth Note", "S Sixteenth Note", "T Thirty-second Note", "F Sixtyfourth Note"};
inline constexpr std::array<std::string_view, 10> kFlagItems = {
    "None",          "# Sharp Note",      "B Flat Note",       "+ Louder Note",
    "- Softer Note", "> Increase Octave", "< Decrease Octave", ". Longer Note",
    "D Longer Note", "| Note Seperator"};

// Whether the duration item can be written with the note item in one note
// text. The duration letters E and F are note letters too, and of the
// letters A C D E F G the one latest in that order names the note, while a
// B before such a letter reads as its flat: so an eighth (E) cannot follow
// A, B, C or D, a sixty-fourth (F) cannot follow A to E, and neither can
// stand without a note letter. Any duration can follow a rest.
bool durationFitsNote(int noteItem, int durationItem);

// Why a duration item does not fit a note item, for the item's tooltip:
// "An eighth note cannot follow C in one note text". "" when it fits.
std::string durationRefusal(int noteItem, int durationItem);

// The note text of the settings, written in the order the notation reads:
// "V" and the volume, the octave digit, a "+", "-", ">" or "<" flag, the note
// letter (or "R") with a "#" or "B" flag, the duration letter, a lengthening
// ".", a "|", and "," with the voice. Both lengthening items write "."
// because a "D" reads as the note D after the letters A and C. A sharp or
// flat needs a note letter to act on; without one it writes nothing, since
// a lone "B" reads as the note B and a lone "#" raises whatever note the
// record held before. A duration that does not fit the note is not written
// (the window offers no such choice).
std::string noteSettingsText(const NoteSettings& settings);

}  // namespace nimbel
