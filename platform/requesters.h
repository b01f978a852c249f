// The modal dialogs of the program: message boxes, the open and save file
// requesters, and the colour requester. Each is owned by the foreground
// window and disables every other window of the program while it is shown;
// each call returns when the dialog is answered.
//
// A view of the Desktop it is made from: as cheap as a reference, and only
// for the thread that owns the Desktop.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbel {

class Desktop;

// yesNoDefaultYes asks where Yes is the safe answer (restoring kept changes).
enum class MessageButtons { ok, yesNo, yesNoCancel, yesNoDefaultYes };
enum class MessageIcon { none, error };
enum class MessageAnswer { ok, yes, no, cancel };

class Requesters {
public:
    explicit Requesters(Desktop& desktop) : desktop_(desktop) {}

    // The text is shown as it is (no markup). Yes is the default of Yes, No
    // and Cancel; No the default of Yes and No, which ask before something
    // is lost, unless asked as yesNoDefaultYes. Escape or the close box
    // answers Cancel, No, or OK.
    MessageAnswer messageBox(std::string_view title, std::string_view text, MessageButtons buttons, MessageIcon icon);
    // `filter` is pairs of description and pattern separated by "|"; `filterIndex`
    // counts from 0. The requester opens in the folder part of `defaultPath`;
    // the result is the chosen full path exactly as chosen, "" when cancelled.
    std::string openFileRequester(std::string_view title, std::string_view defaultPath, std::string_view filter,
                                  int filterIndex);
    // The same, for a file to write: no question before overwriting, no added extension.
    std::string saveFileRequester(std::string_view title, std::string_view defaultPath, std::string_view filter,
                                  int filterIndex);
    // The chosen colour (0x00BBGGRR), or -1 when cancelled.
    std::int64_t colorRequester(std::uint32_t initialColor);

private:
    Desktop& desktop_;
};

}  // namespace nimbel
