// The seam through which a test driver (tests/support) acts on the program's
// windows as a user would, and watches what they show: the toolkit widgets
// behind a window and its gadgets, the event queue, a hook run at every
// poll (to act between the program's events, also inside a modal window's
// own loop), and a hook offered every modal dialog once it shows. The
// program itself never calls these.
#pragma once

#include "event.h"

#include <functional>

class QDialog;
class QKeyEvent;
class QMainWindow;
class QWidget;

namespace nimbel {

class Desktop;

struct DesktopSeam {
    // Null when the window is not open, or has no such gadget.
    static QMainWindow* window(Desktop& desktop, int window);
    static QWidget* gadget(Desktop& desktop, int window, int gadget);
    // The id of the window's gadget `widget` is, -1 when it is none.
    static int gadgetOf(Desktop& desktop, int window, const QWidget* widget);
    // Appends an event as if the toolkit had reported it.
    static void post(Desktop& desktop, const Event& event);
    // A key pressed as if on the keyboard: after the keys typed before it,
    // a shortcut choosing its menu item, any other key going to whatever has
    // the keyboard.
    static void press(Desktop& desktop, const QKeyEvent& key);
    // Runs at every poll, and while a wait waits, before an event is handed
    // out; returns true when it did something. Empty: none.
    static void setPollHook(Desktop& desktop, std::function<bool()> hook);
    // Runs with every modal dialog once its own loop runs, and again while it
    // stays open, so that it can be answered. Empty: none.
    static void setModalHook(Desktop& desktop, std::function<void(QDialog&)> hook);
};

}  // namespace nimbel
