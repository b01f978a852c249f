// The toolkit side of Desktop: the open windows with their gadgets, menu
// actions and toolbar, the loaded images, the last mouse position, and the
// two hooks a test driver may set through the seam. Included only by the
// platform's own units.
#pragma once

#include "desktop.h"
#include "event_queue.h"
#include "key_gate.h"
#include "program_window.h"

#include <QIcon>
#include <QObject>
#include <QPoint>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QDialog;
class QWidget;

namespace nimbel {

struct WindowRecord {
    std::unique_ptr<ProgramWindow> window;
    std::map<int, QWidget*> gadgets;      // children of the inner area
    std::map<int, QAction*> menuActions;  // by command id
    std::map<int, bool> checks;           // check marks the program set
};

// Remembers where the latest mouse event happened, in screen coordinates.
class MouseTracker final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool seen = false;
    QPoint globalPosition;
};

struct Desktop::Impl {
    EventQueue queue;
    std::map<int, WindowRecord> windows;
    std::map<int, QIcon> images;
    MouseTracker mouse;
    KeyGate keys{queue, [this](const QKeyEvent& key) { return triggerShortcut(key); },
                 [this](const QWidget* widget) { return ownsWidget(widget); }};
    // Called at every poll, and while a wait waits, before an event is handed
    // out; true when it did something (a wait then looks again at once).
    std::function<bool()> pollHook;
    // Called with each modal dialog once its own loop runs, and again while it stays open.
    std::function<void(QDialog&)> modalHook;

    WindowRecord* record(int window);
    const WindowRecord* record(int window) const;
    QWidget* gadget(int window, int gadget) const;
    template <typename Widget>
    Widget* gadgetAs(int window, int id) const
    {
        return dynamic_cast<Widget*>(gadget(window, id));
    }
    // The inner area of a window, where gadgets live; null when there is no such window.
    QWidget* inner(int window) const;
    // The window that owns modal dialogs: the active one, else any visible one.
    QWidget* foregroundWindow() const;
    void buildMenuBar(int window, const std::vector<Menu>& menus);
    // Puts a new gadget into a window, replacing one of the same id.
    void place(int window, int gadget, QWidget* widget, Rect where);
    // Runs a modal dialog's own loop: the keys typed ahead go to it once it
    // runs, the modal hook (if any) gets it, again while it stays open, and
    // afterwards the window it came from has the keyboard again.
    int runModal(QDialog& dialog);
    void offerToModalHook(QDialog& dialog);
    // Chooses the enabled menu item of the active window whose shortcut `key` is.
    bool triggerShortcut(const QKeyEvent& key);
    // Whether the widget lies in one of these windows (or a dialog over them).
    bool ownsWidget(const QWidget* widget) const;
};

}  // namespace nimbel
