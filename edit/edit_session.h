// What an edit command works on: the song, the project's changed flag, the
// colour of selected cells and where its error messages go.
#pragma once

#include "project_state.h"
#include "song.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace nimbel {

// The errors a user can cause with an edit command, shown to the user by
// the program (a message box titled "Nimbel MIDI Error") and recorded by tests.
class EditMessages {
public:
    virtual ~EditMessages() = default;
    virtual void showError(std::string_view text) = 0;
};

inline constexpr std::string_view kTooManyColumnsMessage = "The song cannot have more than 65535 note columns";
// Paste and Paste From need one selected cell and something to paste.
inline constexpr std::string_view kOneDestinationMessage = "Please select only one destination location";
inline constexpr std::string_view kNothingToPasteMessage = "Nothing to paste";

// A cell of the song grid: row (channel − 1) and grid column index.
struct CellPosition {
    int row = 0;
    int column = 0;
    friend bool operator==(const CellPosition&, const CellPosition&) = default;
};

struct EditSession {
    Song& song;
    ProjectState& project;
    EditMessages& messages;
    std::uint32_t selectionColor;  // 0x00BBGGRR, for cells selected by the command
    // The cell the keyboard works on: Paste lands there when no cell is
    // selected, and Delete clears it. None where no cursor is shown.
    std::optional<CellPosition> cursor = std::nullopt;
};

}  // namespace nimbel
