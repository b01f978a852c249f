// The toolkit side of Desktop: the open windows with their gadgets, menu
// actions and toolbar, the loaded images, and the last mouse position.
// Included only by the platform's own units and its tests.
#pragma once

#include "desktop.h"
#include "program_window.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <deque>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QWidget;

namespace nimbel {

struct WindowRecord {
    std::unique_ptr<ProgramWindow> window;
    std::map<int, QWidget*> gadgets;      // children of the inner area
    std::map<int, QAction*> menuActions;  // by command id
    std::map<int, QAction*> toolActions;  // by command id
    std::map<int, bool> checks;           // check marks the program set
};

// Remembers where the latest mouse event happened, in screen coordinates.
class MouseTracker final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool seen = false;
    QPoint globalPosition;
};

// Counts the drawing of every widget in each program window.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(const std::map<int, WindowRecord>& windows) : windows_(windows) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    std::map<int, int> counts;

private:
    const std::map<int, WindowRecord>& windows_;
};

struct Desktop::Impl {
    EventQueue queue;
    std::deque<std::function<void()>> userActions;
    std::map<int, WindowRecord> windows;
    std::map<int, QIcon> images;
    DialogScript* script = nullptr;
    MouseTracker mouse;
    PaintCounter paints{windows};

    WindowRecord* record(int window);
    const WindowRecord* record(int window) const;
    QWidget* gadget(int window, int gadget) const;
    template <typename Widget>
    Widget* gadgetAs(int window, int id) const
    {
        return dynamic_cast<Widget*>(gadget(window, id));
    }
    // The window that owns modal dialogs: the active one, else any visible one.
    QWidget* foregroundWindow() const;
    void buildMenuBar(int window, const std::vector<Menu>& menus);
    // Runs the oldest action a test posted; false when none is waiting.
    bool runUserAction();
    // Puts a new gadget into a window, replacing one of the same id.
    void place(int window, int gadget, QWidget* widget, Rect where);
};

}  // namespace nimbel
