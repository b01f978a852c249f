// The program's windows, addressed by small integer ids, and the queue of
// events they report (menu commands, gadget clicks and changes, close
// requests, resizes, activation), polled without waiting.
//
// What lives in a window is reached through views made from the Desktop, as
// cheap to make as a reference: its menu bar and toolbar (Menus), its
// gadgets (Gadgets), the controls of dialog windows (DialogControls), and
// the modal message boxes and requesters (Requesters).
//
// Only the thread that made the GuiApplication may call it. Every call is
// cheap except pollEvent and waitEvent, which let the toolkit process what
// is pending.
#pragma once

#include "event.h"
#include "geometry.h"
#include "window_options.h"

#include <memory>
#include <string_view>

namespace nimbel {

class GuiApplication;

class Desktop {
public:
    explicit Desktop(GuiApplication& application);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Lets the toolkit process pending input, then hands out at most one
    // event; kind none when nothing is pending. Never waits.
    Event pollEvent();
    // Like pollEvent, but waits without using the processor until an event
    // comes: for the loops of modal windows, which do nothing between events.
    Event waitEvent();

    // Opens and shows a window; an open window of the same id is closed first.
    void openWindow(int window, const WindowOptions& options);
    void closeWindow(int window);
    void closeAllWindows();
    bool windowExists(int window) const;
    void setWindowTitle(int window, std::string_view title);
    // The inner area below the menu bar: the toolbar and the gadgets live in it.
    Size innerSize(int window) const;
    void setWindowEnabled(int window, bool enabled);
    void setKeepOnTop(int window, bool onTop);
    void setWindowVisible(int window, bool visible);
    // Brings a shown window to the front as the one that takes the keyboard.
    void activateWindow(int window);
    // The mouse position of the latest mouse event, in the window's inner area.
    Point mousePosition(int window) const;

    // The toolkit side, for the views of platform/ and the test seam.
    struct Impl;

private:
    friend class Menus;
    friend class Gadgets;
    friend class ListGridActions;
    friend class DialogControls;
    friend class Requesters;
    friend struct DesktopSeam;

    std::unique_ptr<Impl> impl_;
};

}  // namespace nimbel
