// What an edit command works on: the song, the project's changed flag, the
// colour of selected cells and where its error messages go.
#pragma once

#include "project_state.h"
#include "song.h"

#include <cstdint>
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

struct EditSession {
    Song& song;
    ProjectState& project;
    EditMessages& messages;
    std::uint32_t selectionColor;  // 0x00BBGGRR, for cells selected by the command
};

}  // namespace nimbel
