// The menu bars of the program's windows, with the check marks the program
// sets, and the flat toolbar along the top of a window's inner area with the
// platform's stock images and the program's own. Items and buttons report
// their command id as a menu event of the window.
//
// A view of the Desktop it is made from: as cheap as a reference, and only
// for the thread that owns the Desktop.
#pragma once

#include "window_options.h"

#include <cstdint>
#include <span>
#include <vector>

namespace nimbel {

class Desktop;

class Menus {
public:
    explicit Menus(Desktop& desktop) : desktop_(desktop) {}

    // Gives an open window a menu bar of its own; the window keeps its size,
    // so the inner area below the bar becomes lower by the bar's height.
    void attachMenuBar(int window, const std::vector<Menu>& menus);
    // Only the program sets check marks: choosing an item changes none.
    void setMenuChecked(int window, int command, bool checked);
    // Own images for toolbar buttons, 0xAARRGGBB pixels row by row from the top.
    void loadImage(int image, int width, int height, std::span<const std::uint32_t> argb);
    // A flat toolbar along the top of the inner area, as wide as the window.
    void addToolBar(int window, const std::vector<ToolButton>& buttons);
    int toolBarHeight(int window) const;

private:
    Desktop& desktop_;
};

}  // namespace nimbel
