// Type-ahead: keys pressed while the program still has events to handle
// wait, in order, until it has handled them, and are then delivered to
// whatever has the keyboard by then. A character typed into the song grid
// opens an editor, which only the program's next pass does: without the
// gate the keys typed right after it would land in the grid instead of the
// editor, or an arrow key would move the cursor after the character typed
// next. Shortcuts among the waiting keys choose their menu items when
// delivered. Installed on the whole application; toolkit thread only.
#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <memory>

class QKeyEvent;
class QWidget;

namespace nimbel {

class EventQueue;

class KeyGate final : public QObject {
public:
    // `shortcut` triggers the menu item a key stands for and says whether
    // there was one; `owns` tells the widgets of this desktop's windows,
    // the only ones whose keys wait here.
    KeyGate(const EventQueue& queue, std::function<bool(const QKeyEvent&)> shortcut,
            std::function<bool(const QWidget*)> owns);
    ~KeyGate() override;

    // Delivers the waiting keys while the program has nothing left to handle.
    void release();
    // A key pressed as if on the keyboard (a test driver's): it waits its
    // turn like any other, chooses its menu item if it is a shortcut, and
    // otherwise goes to whatever has the keyboard.
    void press(const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void deliver(QKeyEvent& key);

    const EventQueue& queue_;
    std::function<bool(const QKeyEvent&)> shortcut_;
    std::function<bool(const QWidget*)> owns_;
    std::deque<std::unique_ptr<QKeyEvent>> waiting_;
    bool releasing_ = false;
};

}  // namespace nimbel
