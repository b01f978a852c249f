// What the program's event loops read from the windowing layer: one event
// per poll, of the kinds menu, gadget (with its sub-type), key, close
// request, resize and, for windows that ask for it, activation. Plain data,
// no toolkit types, so loops and tests use it freely.
#pragma once

namespace nimbel {

enum class EventKind { none, menu, gadget, key, closeRequest, resize, activated };

// What the user did to a gadget. `changed` is the user moving or editing a
// control's value (the track bar's slider, a list's choice, typed text);
// `dragged` a list grid swept with the left button to another cell; the
// edit actions end a list grid's cell editor with Return or Escape;
// `scrolled` the user scrolling a list grid sideways.
enum class GadgetAction {
    none,
    leftClick,
    rightClick,
    doubleClick,
    changed,
    dragged,
    editAccepted,
    editCancelled,
    scrolled
};

// The keys the program acts on. A printable character comes as `character`
// with its byte in Event::text.
enum class Key {
    none,
    character,
    left,
    right,
    up,
    down,
    home,
    end,
    pageUp,
    pageDown,
    enter,
    f1,
    f2,
    del,
    backspace,
    escape,
    space
};

struct Event {
    EventKind kind = EventKind::none;
    int window = -1;  // the window the event belongs to
    int id = 0;       // menu or toolbar command id, or gadget id (-1 for a key the window itself took)
    GadgetAction action = GadgetAction::none;
    Key key = Key::none;
    char text = '\0';    // the character of a Key::character
    bool shift = false;  // Shift was held (a key, or a click)

    friend bool operator==(const Event&, const Event&) = default;
};

inline Event menuEvent(int window, int command) { return {EventKind::menu, window, command}; }
inline Event gadgetEvent(int window, int gadget, GadgetAction action, bool shift = false)
{
    return {EventKind::gadget, window, gadget, action, Key::none, '\0', shift};
}
inline Event keyEvent(int window, int gadget, Key key, char text = '\0', bool shift = false)
{
    return {EventKind::key, window, gadget, GadgetAction::none, key, text, shift};
}
inline Event closeRequest(int window) { return {EventKind::closeRequest, window}; }
inline Event resizeEvent(int window) { return {EventKind::resize, window}; }
inline Event activationEvent(int window) { return {EventKind::activated, window}; }

}  // namespace nimbel
