// The Help Window: window 4, showing one help topic at a time in a
// read-only text view, with a Help menu of its own. It exists at most once
// and has no event loop: whichever loop is running hands it the menu events
// (helpTopicCommand), its resizes (layoutHelpWindow) and its close request.
#pragma once

#include "help_text.h"

#include <string_view>

namespace nimbel {

class Desktop;

// Opens the Help Window when it is not open (600 by 374, centred, text view
// at 10, 10, 580 by 340), then shows `text` and titles the window with the
// text's first line. An open window keeps its size and position.
void showHelpText(Desktop& desktop, std::string_view text);
void showHelpTopic(Desktop& desktop, HelpTopic topic);

// Shows the topic of a help command or, for Exit, closes the Help Window;
// any other id does nothing.
void helpTopicCommand(Desktop& desktop, int command);

// The text view fills the window below the menu bar.
void layoutHelpWindow(Desktop& desktop);

}  // namespace nimbel
