// The gadgets the program places in a window's inner area by gadget id: the
// list grid that shows an in-memory grid, text labels and track bars, with
// their place, text, tooltip and keyboard focus. A user's move of a track
// bar is reported as `changed`; the program setting one reports nothing.
// Clicks on a list grid are reported as gadget events of the window.
//
// A view of the Desktop it is made from: as cheap as a reference, and only
// for the thread that owns the Desktop.
#pragma once

#include "geometry.h"

#include <string>
#include <string_view>

namespace nimbel {

class Desktop;
class MemoryGrid;

class Gadgets {
public:
    explicit Gadgets(Desktop& desktop) : desktop_(desktop) {}

    // A report-style list grid showing `grid` (which must outlive the gadget):
    // a 22 pixel header, 14 pixel rows, grid lines, per-cell background colours.
    void addListGrid(int window, int gadget, Rect where, MemoryGrid& grid, std::string_view tooltip);
    // A text label; `centred` centres the text, `sunken` draws a sunken border.
    void addLabel(int window, int gadget, Rect where, std::string_view text, bool centred, bool sunken);
    // A horizontal track bar over minimum … maximum, at minimum, with or
    // without tick marks below it.
    void addTrackBar(int window, int gadget, Rect where, int minimum, int maximum, std::string_view tooltip,
                     bool tickMarks = true);

    Rect gadgetRect(int window, int gadget) const;
    void setGadgetRect(int window, int gadget, Rect where);
    // The text a gadget shows: a label's, a button's or a text view's (UTF-8,
    // a text view's lines ending in CR LF), or a text field's note text (one
    // byte per character).
    std::string gadgetText(int window, int gadget) const;
    void setGadgetText(int window, int gadget, std::string_view text);
    void setGadgetTooltip(int window, int gadget, std::string_view tooltip);
    // Gives a gadget the window's keyboard input; a text field then has its
    // text selected, as when the user tabs into it, so typing replaces it.
    void focusGadget(int window, int gadget);

    int trackBarPosition(int window, int gadget) const;
    void setTrackBarPosition(int window, int gadget, int position);
    int trackBarMaximum(int window, int gadget) const;
    void setTrackBarMaximum(int window, int gadget, int maximum);

    // A list grid as drawn: its rows and columns, column widths, the
    // horizontal scroll position in pixels, and the first visible row.
    int gridRowCount(int window, int gadget) const;
    int gridColumnCount(int window, int gadget) const;
    int gridColumnWidth(int window, int gadget, int column) const;
    int gridScrollX(int window, int gadget) const;
    int gridTopRow(int window, int gadget) const;
    // The width of the area the grid's cells are drawn in.
    int gridViewWidth(int window, int gadget) const;

private:
    Desktop& desktop_;
};

}  // namespace nimbel
