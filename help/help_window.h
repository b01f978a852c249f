// The Help Window: window 4, showing one help topic at a time in a
// read-only text view, with a Help menu of its own. It exists at most once
// and has no event loop: whichever loop is running hands it its events
// (handleHelpWindowEvent; the main loop routes its own Help menu to
// helpTopicCommand and the window's resizes to layoutHelpWindow).
#pragma once

#include "event.h"
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

// Carries out an event of the Help Window: a command of its menu, a resize,
// its close box. False, and nothing done, for an event of another window.
bool handleHelpWindowEvent(Desktop& desktop, const Event& event);

}  // namespace nimbel
