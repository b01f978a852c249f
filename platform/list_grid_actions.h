// What the program does to a list grid beyond showing it: the cursor frame
// the keyboard works on, a one-line editor over a cell, the tinted column
// being heard, and keeping a column in view. Addressed, like the grid, by
// window and gadget id; nothing happens for an id that is no list grid.
//
// A view of the Desktop it is made from: as cheap as a reference, and only
// for the thread that owns the Desktop.
#pragma once

#include <string>
#include <string_view>

namespace nimbel {

class Desktop;

class ListGridActions {
public:
    explicit ListGridActions(Desktop& desktop) : desktop_(desktop) {}

    // Frames the cell the keyboard works on and scrolls it into view.
    void setGridCursor(int window, int gadget, int row, int column);
    // A one-line editor over a cell of a list grid, holding `text` and
    // taking the keyboard; Return and Escape in it are reported as the
    // grid's editAccepted and editCancelled. What it holds reads in capitals.
    void openGridEditor(int window, int gadget, int row, int column, std::string_view text);
    bool gridEditorOpen(int window, int gadget) const;
    std::string gridEditorText(int window, int gadget) const;
    void closeGridEditor(int window, int gadget);

    // The column being heard, its title and cells tinted; -1 for none.
    void setGridPlayhead(int window, int gadget, int column);
    // Keeps a column in view, paging on when it passes the right edge.
    void followGridColumn(int window, int gadget, int column);
    void scrollGridToStart(int window, int gadget);

private:
    Desktop& desktop_;
};

}  // namespace nimbel
