// What the program's event loops read from the windowing layer: one event
// per poll, of the kinds menu, gadget (with its sub-type), close request,
// resize and, for windows that ask for it, activation. Plain data, no
// toolkit types, so loops and tests use it freely.
#pragma once

namespace nimbel {

enum class EventKind { none, menu, gadget, closeRequest, resize, activated };

// What the user did to a gadget. `changed` is the user moving or editing a
// control's value (the track bar's slider, a list's choice, typed text).
enum class GadgetAction { none, leftClick, rightClick, doubleClick, changed };

struct Event {
    EventKind kind = EventKind::none;
    int window = -1;  // the window the event belongs to
    int id = 0;       // menu or toolbar command id, or gadget id
    GadgetAction action = GadgetAction::none;

    friend bool operator==(const Event&, const Event&) = default;
};

inline Event menuEvent(int window, int command) { return {EventKind::menu, window, command, GadgetAction::none}; }
inline Event gadgetEvent(int window, int gadget, GadgetAction action)
{
    return {EventKind::gadget, window, gadget, action};
}
inline Event closeRequest(int window) { return {EventKind::closeRequest, window, 0, GadgetAction::none}; }
inline Event resizeEvent(int window) { return {EventKind::resize, window, 0, GadgetAction::none}; }
inline Event activationEvent(int window) { return {EventKind::activated, window, 0, GadgetAction::none}; }

}  // namespace nimbel
