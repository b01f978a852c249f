// The Tempo window: a small modal dialog, "Tempo", in which the user sets
// the song's tempo in beats a minute (1 to 1000) in a number field. Return
// is OK, Escape Cancel.
#pragma once

#include <optional>

namespace nimbel {

class Desktop;

inline constexpr int kTempoWindow = 2;

namespace tempo_window {
enum Control : int {
    kLabel = 1,
    kTempoField = 2,
    kOkButton = 19,
    kCancelButton = 20,
};
}  // namespace tempo_window

inline constexpr int kLowestTempo = 1;
inline constexpr int kHighestTempo = 1000;

// Shows the window over `ownerWindow` with `tempo` in its field and returns
// the tempo chosen, or nothing when the user cancelled. While it is open the
// owner takes no input; help commands and the Help Window are served.
std::optional<int> showTempoWindow(Desktop& desktop, int ownerWindow, int tempo);

}  // namespace nimbel
