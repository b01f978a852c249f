// The controls of the program's dialog windows, beside the gadgets of
// gadgets.h: push and image buttons, drop-down lists that cannot be typed
// into, number fields with up/down arrows, one-line text fields and a
// read-only multi-line text view. Controls are addressed by window id and
// control id like every gadget, so the gadget operations (rect, text,
// tooltip, focus) apply to them too; the keyboard's tab order is the order
// of creation.
//
// A button press is reported as a left click of the control; a user's
// change of a list, number or text as `changed`. Setting a control from the
// program reports nothing.
//
// A view of the Desktop it is made from: as cheap as a reference, and only
// for the thread that owns the Desktop.
#pragma once

#include "geometry.h"

#include <string>
#include <string_view>
#include <vector>

namespace nimbel {

class Desktop;

class DialogControls {
public:
    explicit DialogControls(Desktop& desktop) : desktop_(desktop) {}

    // --- creating; a control replaces a gadget of the same id ---
    // A default button is pressed by Return or Enter anywhere in its window.
    void addPushButton(int window, int id, Rect where, std::string_view text, std::string_view tooltip,
                       bool isDefault = false);
    // Shows an image loaded with Desktop::loadImage.
    void addImageButton(int window, int id, Rect where, int image, std::string_view tooltip);
    // Item 0 is selected.
    void addDropDownList(int window, int id, Rect where, const std::vector<std::string>& items,
                         std::string_view tooltip);
    // Holds a whole number from minimum to maximum; typed text that is not
    // such a number is refused and the field keeps its last valid number.
    void addNumberField(int window, int id, Rect where, int minimum, int maximum, int value, std::string_view tooltip);
    // One line of note text: each character one byte.
    void addTextField(int window, int id, Rect where, std::string_view text, std::string_view tooltip);
    // Text the user can scroll, select and copy but not change. Lines end
    // with CR LF or LF; tabs indent.
    void addTextView(int window, int id, Rect where, std::string_view text);

    // --- state; missing controls read as -1 ---
    int selectedItem(int window, int id) const;
    void selectItem(int window, int id, int index);
    // A disabled item is shown greyed and cannot be chosen; its tooltip says why.
    void setItemEnabled(int window, int id, int index, bool enabled, std::string_view tooltip);
    int number(int window, int id) const;

private:
    Desktop& desktop_;
};

}  // namespace nimbel
