#include "key_gate.h"

#include "event_queue.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace nimbel {

KeyGate::KeyGate(const EventQueue& queue, std::function<bool(const QKeyEvent&)> shortcut,
                 std::function<bool(const QWidget*)> owns)
    : queue_(queue), shortcut_(std::move(shortcut)), owns_(std::move(owns))
{
    qApp->installEventFilter(this);
}

KeyGate::~KeyGate() { qApp->removeEventFilter(this); }

bool KeyGate::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool key = type == QEvent::KeyPress || type == QEvent::ShortcutOverride;
    if (!key || releasing_ || !watched->isWidgetType() || (queue_.empty() && waiting_.empty()) ||
        !owns_(static_cast<QWidget*>(watched)))
        return QObject::eventFilter(watched, event);
    auto* pressed = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        // Taken as a key press, so that a shortcut waits its turn like any key.
        pressed->accept();
        return true;
    }
    waiting_.push_back(std::unique_ptr<QKeyEvent>(pressed->clone()));
    return true;
}

void KeyGate::deliver(QKeyEvent& key)
{
    if (shortcut_(key)) return;
    QWidget* target = QApplication::focusWidget();
    if (target && owns_(target)) QApplication::sendEvent(target, &key);
}

void KeyGate::release()
{
    releasing_ = true;
    while (!waiting_.empty() && queue_.empty()) {
        const std::unique_ptr<QKeyEvent> key = std::move(waiting_.front());
        waiting_.pop_front();
        deliver(*key);
    }
    releasing_ = false;
}

void KeyGate::press(const QKeyEvent& key)
{
    waiting_.push_back(std::unique_ptr<QKeyEvent>(key.clone()));
    release();
}

}  // namespace nimbel
