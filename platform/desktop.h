// The windowing operations the program calls on: windows addressed by small
// integer ids, their gadgets by gadget id, menus and toolbar buttons by
// command id, an event queue polled without waiting, message boxes, file and
// colour requesters, the clipboard and the program's own folder.
//
// Only the thread that made the GuiApplication may call it. Every call is
// cheap except pollEvent, which lets the toolkit process what is pending,
// and the modal dialogs, which return when they are answered.
#pragma once

#include "dialog_script.h"
#include "event.h"
#include "event_queue.h"
#include "geometry.h"
#include "window_options.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nimbel {

class GuiApplication;
class MemoryGrid;

enum class ClickKind { left, right, leftDouble };

class Desktop {
public:
    explicit Desktop(GuiApplication& application);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // --- events ---
    // Lets the toolkit process pending input, then hands out at most one
    // event; kind none when nothing is pending. Never waits.
    Event pollEvent();
    // Like pollEvent, but waits without using the processor until an event
    // comes: for the loops of modal windows, which do nothing between events.
    Event waitEvent();
    // Appends an event as if the user had caused it.
    void postEvent(const Event& event);
    // Runs `action` at a later poll or wait, one action per call, before
    // that call hands out an event: lets a test act as the user inside a
    // window's own event loop.
    void postUserAction(std::function<void()> action);

    // --- windows ---
    // Opens and shows a window; an open window of the same id is closed first.
    void openWindow(int window, const WindowOptions& options);
    void closeWindow(int window);
    void closeAllWindows();
    bool windowExists(int window) const;
    void setWindowTitle(int window, std::string_view title);
    std::string windowTitle(int window) const;
    // The inner area below the menu bar: the toolbar and the gadgets live in it.
    Size innerSize(int window) const;
    // Resizes the window so that its inner area, counting the menu bar, is `inner`.
    void resizeWindow(int window, Size inner);
    void maximizeWindow(int window);
    void setWindowEnabled(int window, bool enabled);
    bool windowEnabled(int window) const;
    void setKeepOnTop(int window, bool onTop);
    void setWindowVisible(int window, bool visible);
    bool windowVisible(int window) const;
    // Brings a shown window to the front as the one that takes the keyboard.
    void activateWindow(int window);
    // The mouse position of the latest mouse event, in the window's inner area.
    Point mousePosition(int window) const;
    // How often the window or one of its gadgets has been drawn: a
    // measurement aid (start-up time, time to show a song).
    int paintCount(int window) const;

    // --- menus and toolbar ---
    // Gives an open window a menu bar of its own; the window keeps its size,
    // so the inner area below the bar becomes lower by the bar's height.
    void attachMenuBar(int window, const std::vector<Menu>& menus);
    void setMenuChecked(int window, int command, bool checked);
    bool menuChecked(int window, int command) const;
    // The menu bar as it is shown.
    std::vector<Menu> menuBar(int window) const;
    // Chooses a menu item as the user would.
    void chooseMenuItem(int window, int command);
    // Own images for toolbar buttons, 0xAARRGGBB pixels row by row from the top.
    void loadImage(int image, int width, int height, std::span<const std::uint32_t> argb);
    // A flat toolbar along the top of the inner area, as wide as the window.
    void addToolBar(int window, const std::vector<ToolButton>& buttons);
    int toolBarHeight(int window) const;
    std::vector<ShownToolButton> toolBar(int window) const;
    void pressToolButton(int window, int command);

    // --- gadgets ---
    // A report-style list grid showing `grid` (which must outlive the gadget):
    // a 22 pixel header, 14 pixel rows, grid lines, per-cell background colours.
    void addListGrid(int window, int gadget, Rect where, MemoryGrid& grid, std::string_view tooltip);
    // A text label; `centred` centres the text, `sunken` draws a sunken border.
    void addLabel(int window, int gadget, Rect where, std::string_view text, bool centred, bool sunken);
    // A horizontal track bar over minimum … maximum, at minimum, with or
    // without tick marks below it.
    void addTrackBar(int window, int gadget, Rect where, int minimum, int maximum, std::string_view tooltip,
                     bool tickMarks = true);

    bool gadgetExists(int window, int gadget) const;
    Rect gadgetRect(int window, int gadget) const;
    void setGadgetRect(int window, int gadget, Rect where);
    // The text a gadget shows: a label's, a button's or a text view's (UTF-8,
    // a text view's lines ending in CR LF), or a text field's note text (one
    // byte per character).
    std::string gadgetText(int window, int gadget) const;
    void setGadgetText(int window, int gadget, std::string_view text);
    std::string gadgetTooltip(int window, int gadget) const;
    void setGadgetTooltip(int window, int gadget, std::string_view tooltip);
    // The gadget that takes the window's keyboard input while the window is
    // active (a text field then has its text selected); -1 when none of its
    // gadgets does.
    void focusGadget(int window, int gadget);
    int focusedGadget(int window) const;

    int trackBarPosition(int window, int gadget) const;
    void setTrackBarPosition(int window, int gadget, int position);
    int trackBarMaximum(int window, int gadget) const;
    void setTrackBarMaximum(int window, int gadget, int maximum);

    // List grid geometry as drawn: column widths, the horizontal scroll
    // position in pixels, and the first visible row.
    int gridColumnWidth(int window, int gadget, int column) const;
    int gridColumnCount(int window, int gadget) const;
    int gridScrollX(int window, int gadget) const;
    int gridTopRow(int window, int gadget) const;
    void scrollGrid(int window, int gadget, int scrollX, int topRow);

    // Presses (and releases) a mouse button at a point of the window's inner
    // area, delivered to whatever is drawn there.
    void clickAt(int window, Point where, ClickKind kind);

    // --- modal dialogs, owned by the foreground window; all other windows
    // are disabled while one is shown ---
    MessageAnswer messageBox(std::string_view title, std::string_view text, MessageButtons buttons, MessageIcon icon);
    // `filter` is pairs of description and pattern separated by "|"; `filterIndex`
    // counts from 0. The requester opens in the folder part of `defaultPath`;
    // the result is the chosen full path exactly as chosen, "" when cancelled.
    std::string openFileRequester(std::string_view title, std::string_view defaultPath, std::string_view filter,
                                  int filterIndex);
    // The same, for a file to write: no question before overwriting, no added extension.
    std::string saveFileRequester(std::string_view title, std::string_view defaultPath, std::string_view filter,
                                  int filterIndex);
    // The chosen colour (0x00BBGGRR), or -1 when cancelled.
    std::int64_t colorRequester(std::uint32_t initialColor);
    // Null: dialogs wait for the user.
    void setDialogScript(DialogScript* script);

    // --- clipboard and files ---
    // The clipboard's text, each character one byte (characters past 255 read as '?').
    std::string clipboardText() const;
    void setClipboardText(std::string_view text);
    // The folder of the running program file, with a trailing separator.
    std::string programDirectory() const;

    // The toolkit side, for the platform's own units and its tests.
    struct Impl;
    Impl& impl() { return *impl_; }
    const Impl& impl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace nimbel
