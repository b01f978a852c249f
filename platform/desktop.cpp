#include "desktop.h"

#include "desktop_impl.h"
#include "qt_text.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

namespace nimbel {

bool MouseTracker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        globalPosition = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        seen = true;
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

WindowRecord* Desktop::Impl::record(int window)
{
    const auto found = windows.find(window);
    return found == windows.end() ? nullptr : &found->second;
}

const WindowRecord* Desktop::Impl::record(int window) const
{
    const auto found = windows.find(window);
    return found == windows.end() ? nullptr : &found->second;
}

QWidget* Desktop::Impl::gadget(int window, int gadget) const
{
    const WindowRecord* r = record(window);
    if (!r) return nullptr;
    const auto found = r->gadgets.find(gadget);
    return found == r->gadgets.end() ? nullptr : found->second;
}

QWidget* Desktop::Impl::inner(int window) const
{
    const WindowRecord* r = record(window);
    return r ? r->window->inner() : nullptr;
}

QWidget* Desktop::Impl::foregroundWindow() const
{
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (const auto& [id, r] : windows) {
        if (r.window->isVisible()) return r.window.get();
    }
    return nullptr;
}

void Desktop::Impl::place(int window, int gadget, QWidget* widget, Rect where)
{
    WindowRecord* r = record(window);
    if (!r) {
        delete widget;
        return;
    }
    if (QWidget* old = this->gadget(window, gadget)) delete old;
    widget->setGeometry(where.x, where.y, where.width, where.height);
    widget->show();
    r->gadgets[gadget] = widget;
}

int Desktop::Impl::runModal(QDialog& dialog)
{
    QTimer::singleShot(0, &dialog, [this] { keys.release(); });
    offerToModalHook(dialog);
    const int result = dialog.exec();
    if (QWidget* owner = dialog.parentWidget()) owner->activateWindow();
    return result;
}

bool Desktop::Impl::triggerShortcut(const QKeyEvent& key)
{
    const QKeySequence pressed(key.keyCombination());
    for (const auto& [id, r] : windows) {
        if (!r.window->isActiveWindow() || !r.window->isEnabled()) continue;
        for (const auto& [command, action] : r.menuActions)
            for (const QKeySequence& shortcut : action->shortcuts())
                if (action->isEnabled() && pressed.matches(shortcut) == QKeySequence::ExactMatch) {
                    action->trigger();
                    return true;
                }
    }
    return false;
}

bool Desktop::Impl::ownsWidget(const QWidget* widget) const
{
    for (const QWidget* top = widget->window(); top;
         top = top->parentWidget() ? top->parentWidget()->window() : nullptr)
        for (const auto& [id, r] : windows)
            if (r.window.get() == top) return true;
    return false;
}

void Desktop::Impl::offerToModalHook(QDialog& dialog)
{
    if (!modalHook) return;
    QTimer::singleShot(0, &dialog, [this, &dialog] {
        modalHook(dialog);
        if (dialog.isVisible()) offerToModalHook(dialog);
    });
}

Desktop::Desktop(GuiApplication&) : impl_(std::make_unique<Impl>()) { qApp->installEventFilter(&impl_->mouse); }

Desktop::~Desktop()
{
    qApp->removeEventFilter(&impl_->mouse);
    impl_->windows.clear();
}

Event Desktop::pollEvent()
{
    impl_->keys.release();
    if (impl_->pollHook) impl_->pollHook();
    QApplication::processEvents();
    return impl_->queue.take();
}

Event Desktop::waitEvent()
{
    impl_->keys.release();
    if (impl_->pollHook) impl_->pollHook();
    QApplication::processEvents();
    while (impl_->queue.empty()) {
        // A driver's hook may act as a user between events; otherwise the wait is for the user.
        if (!impl_->pollHook || !impl_->pollHook()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
    }
    return impl_->queue.take();
}

void Desktop::openWindow(int window, const WindowOptions& options)
{
    closeWindow(window);
    WindowRecord& r = impl_->windows[window];
    r.window = std::make_unique<ProgramWindow>(window, impl_->queue);
    ProgramWindow* w = r.window.get();
    w->setWindowTitle(uiText(options.title));
    impl_->buildMenuBar(window, options.menus);

    Qt::WindowFlags flags = Qt::Window;
    if (options.frame != WindowFrame::resizable) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (options.frame == WindowFrame::fixed) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
        }
    }
    w->setWindowFlags(flags);
    if (options.frame == WindowFrame::resizable) {
        w->resize(options.inner.width, options.inner.height);
    } else {
        w->setFixedSize(options.inner.width, options.inner.height);
    }

    QPoint topLeft;
    if (options.position) {
        topLeft = QPoint(options.position->x, options.position->y);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        topLeft = screen->availableGeometry().center() - QPoint(options.inner.width / 2, options.inner.height / 2);
    }
    w->move(topLeft);
    w->reportActivation(options.reportsActivation);
    w->closeOnEscape(options.escapeCloses);
    w->show();
    w->layout()->activate();
    w->startReporting();
}

void Desktop::closeWindow(int window)
{
    const auto found = impl_->windows.find(window);
    if (found == impl_->windows.end()) return;
    found->second.window->hide();
    impl_->windows.erase(found);
    impl_->queue.forgetWindow(window);
}

void Desktop::closeAllWindows()
{
    while (!impl_->windows.empty()) closeWindow(impl_->windows.begin()->first);
}

bool Desktop::windowExists(int window) const { return impl_->record(window) != nullptr; }

void Desktop::setWindowTitle(int window, std::string_view title)
{
    if (WindowRecord* r = impl_->record(window)) r->window->setWindowTitle(uiText(title));
}

Size Desktop::innerSize(int window) const
{
    const WindowRecord* r = impl_->record(window);
    if (!r) return {};
    const QSize size = r->window->inner()->size();
    return {size.width(), size.height()};
}

void Desktop::setWindowEnabled(int window, bool enabled)
{
    if (WindowRecord* r = impl_->record(window)) r->window->setEnabled(enabled);
}

void Desktop::setKeepOnTop(int window, bool onTop)
{
    WindowRecord* r = impl_->record(window);
    if (!r) return;
    const bool visible = r->window->isVisible();
    r->window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing a window's flags hides it.
    if (visible) r->window->show();
}

void Desktop::setWindowVisible(int window, bool visible)
{
    if (WindowRecord* r = impl_->record(window)) r->window->setVisible(visible);
}

void Desktop::activateWindow(int window)
{
    if (WindowRecord* r = impl_->record(window)) r->window->activateWindow();
}

Point Desktop::mousePosition(int window) const
{
    const WindowRecord* r = impl_->record(window);
    if (!r) return {};
    const QPoint global = impl_->mouse.seen ? impl_->mouse.globalPosition : QCursor::pos();
    const QPoint local = r->window->inner()->mapFromGlobal(global);
    return {local.x(), local.y()};
}

}  // namespace nimbel
