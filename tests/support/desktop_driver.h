// A user at the program's windows, for tests and benchmarks: acting between
// the program's events (also inside a modal window's own loop), clicking
// into a window, choosing menu items and toolbar buttons, pressing buttons
// and setting controls as a person would, and reading back what the windows
// show. Built on the desktop's seam, so the program's own interface keeps
// only what the program uses. One driver per Desktop at a time.
#pragma once

#include "event.h"
#include "geometry.h"
#include "window_options.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QObject;

namespace nimbel {
class Desktop;
}

namespace nimbel::testing_support {

enum class ClickKind { left, right };

// What a toolbar shows.
struct ShownToolButton {
    int command = -1;  // -1 for a separator bar
    std::string tooltip;
};

class DesktopDriver {
public:
    explicit DesktopDriver(Desktop& desktop);
    ~DesktopDriver();

    // Runs `action` at a later poll or wait of the program, one action per
    // call, before that call hands out an event: the user's next move.
    void act(std::function<void()> action);
    // An event as if the toolkit had reported it (a close box, an activation).
    void post(const Event& event);

    std::string windowTitle(int window);
    bool windowVisible(int window);
    // Resizes the window so that its inner area, counting the menu bar, is `inner`.
    void resizeWindow(int window, Size inner);
    // How often the window or one of its gadgets has been drawn.
    int paintCount(int window) const;

    // The menus' titles and their items' texts and commands, separators left out.
    std::vector<Menu> menuBar(int window);
    bool menuChecked(int window, int command);
    void chooseMenuItem(int window, int command);
    std::vector<ShownToolButton> toolBar(int window);
    void pressToolButton(int window, int command);

    // Presses a mouse button at a point of the window's inner area,
    // delivered to whatever is drawn there (with Shift held, for `shift`).
    void clickAt(int window, Point where, ClickKind kind, bool shift = false);
    // Moves the mouse with the left button held to a point of the window's inner area.
    void dragTo(int window, Point where);
    // Types into whatever has the keyboard, as a user at the keyboard:
    // characters as they are, keys by name in angle brackets ("C
    // D<Return><Shift+Down><Ctrl+Z>"). Keys typed while the program has
    // events to handle wait their turn.
    void type(int window, std::string_view keys);
    // The gadget that has the window's keyboard focus, -1 for none.
    int focusedGadget(int window);
    // The user drags the grid's horizontal slider.
    void dragGridSlider(int window, int gadget, int scrollX);

    // Dialog controls: a button clicked, a list's item or a number chosen
    // (reported as the user's change), and what they show.
    void press(int window, int button);
    void choose(int window, int list, int item);
    void setNumber(int window, int field, int value);
    bool isDefaultButton(int window, int button);
    bool itemEnabled(int window, int list, int item);
    std::string itemTooltip(int window, int list, int item);

private:
    class PaintCounter;

    Desktop& desktop_;
    std::deque<std::function<void()>> actions_;
    std::unique_ptr<PaintCounter> paints_;
};

}  // namespace nimbel::testing_support
