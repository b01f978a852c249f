// How a window, its menu bar and its toolbar are described when they are
// created: plain data, so the program builds them without toolkit types.
#pragma once

#include "geometry.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace nimbel {

enum class WindowFrame {
    resizable,  // title bar, system menu, minimise and maximise boxes, sizing border
    fixed,      // the same without sizing and maximising
    titleOnly,  // a title bar and nothing else
};

struct MenuEntry {
    std::string text;  // "" for a separator bar
    int command = -1;
    // Keys that choose the item ("Ctrl+Shift+S"); the first is shown beside it.
    std::vector<std::string> shortcuts = {};
    // A key the program handles itself, only shown beside the item ("Space").
    std::string keyHint = {};

    static MenuEntry bar() { return {}; }
    bool isBar() const { return text.empty(); }
    friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

struct Menu {
    std::string title;
    std::vector<MenuEntry> items;
    friend bool operator==(const Menu&, const Menu&) = default;
};

struct WindowOptions {
    std::string title;
    Size inner;  // counting the menu bar, when the window has one
    WindowFrame frame = WindowFrame::resizable;
    std::optional<Point> position;   // top-left corner on the screen; centred when absent
    std::vector<Menu> menus;         // none: no menu bar
    bool reportsActivation = false;  // becoming the active window is an event
    bool escapeCloses = false;       // Escape asks to close the window, as its close box does
};

enum class StockImage { newFile, openFile, save, cut, copy, paste, undo, redo, help };
struct OwnImage {
    int id = 0;  // as given to Menus::loadImage
};
using ToolImage = std::variant<StockImage, OwnImage>;

struct ToolButton {
    int command = -1;  // -1 for a separator bar
    ToolImage image = StockImage::newFile;
    std::string tooltip;

    static ToolButton bar() { return {}; }
    bool isBar() const { return command < 0; }
};

}  // namespace nimbel
