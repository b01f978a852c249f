// The Note Window: window 1, "Select Note", the small modal dialog in which
// the user composes the note text of one cell from lists and number fields,
// or types it whole, several notes at once separated by spaces.
#pragma once

#include <string>
#include <string_view>

namespace nimbel {

class Desktop;

inline constexpr int kNoteWindow = 1;

// The Note Window's controls, by the ids the dialog and its tests address
// them with; their own namespace keeps them apart from other windows' ids.
namespace note_window {
enum Control : int {
    kVoiceLabel = 4,
    kVolumeLabel = 5,
    kOctaveLabel = 6,
    kFullTextLabel = 7,
    kDurationLabel = 8,
    kNoteLabel = 9,
    kExtraFlagLabel = 10,
    kVoiceList = 12,
    kNoteList = 13,
    kFlagList = 14,
    kDurationList = 15,
    kVolumeField = 16,
    kOctaveField = 17,
    kFullTextField = 18,
    kOkButton = 19,
    kCancelButton = 20,
    kAddButton = 21,
    kHelpButton = 22,
};
}  // namespace note_window

// Shows the Note Window over `ownerWindow` with `input` in its Full Text
// field (which has the keyboard, its text selected) and returns when it
// closes: OK (or Return) gives the full text upper-cased, or, when that is
// empty, the text of the settings; Cancel, Escape and the close box give
// `input` unchanged. Only the durations that can follow the chosen note
// are offered. While it is open the owner takes no input, and
// help commands and the Help Window's resizes and close requests are served.
// Playback does not advance meanwhile: this loop waits for events.
std::string showNoteWindow(Desktop& desktop, int ownerWindow, std::string_view input);

}  // namespace nimbel
