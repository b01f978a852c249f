#include "desktop_driver.h"

#include "desktop_seam.h"
#include "qt_text.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QKeySequence>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

#include <initializer_list>
#include <tuple>

namespace nimbel::testing_support {

namespace {

QAction* menuAction(QMainWindow* window, int command)
{
    if (!window || !window->menuWidget()) return nullptr;
    for (QAction* top : window->menuBar()->actions()) {
        if (!top->menu()) continue;
        for (QAction* item : top->menu()->actions())
            if (!item->isSeparator() && item->data().toInt() == command) return item;
    }
    return nullptr;
}

QToolBar* toolBarOf(QMainWindow* window) { return window ? window->findChild<QToolBar*>() : nullptr; }

// Sends mouse events (their type, button and the buttons held) at `where` in
// a window's inner area to the widget drawn there when the first is sent.
void sendMouse(Desktop& desktop, int window, Point where, Qt::KeyboardModifiers modifiers,
               std::initializer_list<std::tuple<QEvent::Type, Qt::MouseButton, Qt::MouseButtons>> events)
{
    QMainWindow* w = DesktopSeam::window(desktop, window);
    if (!w) return;
    QWidget* inner = w->centralWidget();
    const QPoint at(where.x, where.y);
    QWidget* target = inner->childAt(at) ? inner->childAt(at) : inner;
    const QPointF local = target->mapFrom(inner, at);
    const QPointF global = inner->mapToGlobal(at);
    for (const auto& [type, button, held] : events) {
        QMouseEvent event(type, local, local, global, button, held, modifiers);
        QApplication::sendEvent(target, &event);
    }
}

}  // namespace

// Counts the drawing of every widget, by the top-level window it belongs
// to; a window's count goes with the window.
class DesktopDriver::PaintCounter final : public QObject {
public:
    PaintCounter() { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            QWidget* top = static_cast<QWidget*>(watched)->window();
            const auto [counted, first] = counts.try_emplace(top, 0);
            ++counted->second;
            if (first) connect(top, &QObject::destroyed, this, [this, top] { counts.erase(top); });
        }
        return QObject::eventFilter(watched, event);
    }

    std::map<const QWidget*, int> counts;
};

DesktopDriver::DesktopDriver(Desktop& desktop) : desktop_(desktop), paints_(std::make_unique<PaintCounter>())
{
    DesktopSeam::setPollHook(desktop_, [this] {
        if (actions_.empty()) return false;
        const std::function<void()> action = std::move(actions_.front());
        actions_.pop_front();
        action();
        return true;
    });
}

DesktopDriver::~DesktopDriver() { DesktopSeam::setPollHook(desktop_, {}); }

void DesktopDriver::act(std::function<void()> action) { actions_.push_back(std::move(action)); }

void DesktopDriver::post(const Event& event) { DesktopSeam::post(desktop_, event); }

std::string DesktopDriver::windowTitle(int window)
{
    const QMainWindow* w = DesktopSeam::window(desktop_, window);
    return w ? utf8Of(w->windowTitle()) : std::string();
}

bool DesktopDriver::windowVisible(int window)
{
    const QMainWindow* w = DesktopSeam::window(desktop_, window);
    return w && w->isVisible();
}

void DesktopDriver::resizeWindow(int window, Size inner)
{
    if (QMainWindow* w = DesktopSeam::window(desktop_, window)) {
        w->resize(inner.width, inner.height);
        w->layout()->activate();
    }
}

int DesktopDriver::paintCount(int window) const
{
    const auto found = paints_->counts.find(DesktopSeam::window(desktop_, window));
    return found == paints_->counts.end() ? 0 : found->second;
}

std::vector<Menu> DesktopDriver::menuBar(int window)
{
    std::vector<Menu> menus;
    QMainWindow* w = DesktopSeam::window(desktop_, window);
    if (!w || !w->menuWidget()) return menus;
    for (QAction* top : w->menuBar()->actions()) {
        Menu menu{utf8Of(top->text()), {}};
        // The text after a tab is the key shown beside the item.
        for (QAction* item : top->menu() ? top->menu()->actions() : QList<QAction*>())
            if (!item->isSeparator())
                menu.items.push_back({utf8Of(item->text().split('\t').front()), item->data().toInt()});
        menus.push_back(std::move(menu));
    }
    return menus;
}

bool DesktopDriver::menuChecked(int window, int command)
{
    const QAction* action = menuAction(DesktopSeam::window(desktop_, window), command);
    return action && action->isChecked();
}

void DesktopDriver::chooseMenuItem(int window, int command)
{
    if (QAction* action = menuAction(DesktopSeam::window(desktop_, window), command)) action->trigger();
}

std::vector<ShownToolButton> DesktopDriver::toolBar(int window)
{
    std::vector<ShownToolButton> shown;
    if (const QToolBar* bar = toolBarOf(DesktopSeam::window(desktop_, window)))
        for (QAction* action : bar->actions())
            shown.push_back(action->isSeparator() ? ShownToolButton{}
                                                  : ShownToolButton{action->data().toInt(), utf8Of(action->toolTip())});
    return shown;
}

void DesktopDriver::pressToolButton(int window, int command)
{
    QToolBar* bar = toolBarOf(DesktopSeam::window(desktop_, window));
    if (!bar) return;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator() || action->data().toInt() != command) continue;
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) button->click();
    }
}

void DesktopDriver::clickAt(int window, Point where, ClickKind kind, bool shift)
{
    const Qt::MouseButton button = kind == ClickKind::right ? Qt::RightButton : Qt::LeftButton;
    sendMouse(desktop_, window, where, shift ? Qt::ShiftModifier : Qt::NoModifier,
              {{QEvent::MouseButtonPress, button, button}, {QEvent::MouseButtonRelease, button, Qt::NoButton}});
}

void DesktopDriver::dragTo(int window, Point where)
{
    sendMouse(desktop_, window, where, Qt::NoModifier, {{QEvent::MouseMove, Qt::NoButton, Qt::LeftButton}});
}

void DesktopDriver::type(int window, std::string_view keys)
{
    QMainWindow* w = DesktopSeam::window(desktop_, window);
    if (!w) return;
    // A user types into the window in front; offscreen, nothing brings it there by itself.
    if (!w->isActiveWindow()) QApplication::setActiveWindow(w);
    const auto press = [this](int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        DesktopSeam::press(desktop_, QKeyEvent(QEvent::KeyPress, key, modifiers, text));
    };
    while (!keys.empty()) {
        if (keys.front() != '<') {
            const QChar c = QChar::fromLatin1(keys.front());
            keys.remove_prefix(1);
            press(c.toUpper().unicode(), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
            continue;
        }
        const std::size_t close = keys.find('>');
        const QKeyCombination named = QKeySequence(uiText(keys.substr(1, close - 1)))[0];
        keys.remove_prefix(close + 1);
        press(named.key(), named.keyboardModifiers(), QString());
    }
}

int DesktopDriver::focusedGadget(int window)
{
    const QMainWindow* w = DesktopSeam::window(desktop_, window);
    return w ? DesktopSeam::gadgetOf(desktop_, window, w->focusWidget()) : -1;
}

void DesktopDriver::dragGridSlider(int window, int gadget, int scrollX)
{
    if (auto* view = qobject_cast<QAbstractScrollArea*>(DesktopSeam::gadget(desktop_, window, gadget)))
        view->horizontalScrollBar()->setSliderPosition(scrollX);  // reported as the user's scrolling
}

void DesktopDriver::press(int window, int button)
{
    if (auto* b = qobject_cast<QAbstractButton*>(DesktopSeam::gadget(desktop_, window, button))) b->click();
}

void DesktopDriver::choose(int window, int list, int item)
{
    auto* combo = qobject_cast<QComboBox*>(DesktopSeam::gadget(desktop_, window, list));
    if (!combo || item < 0 || item >= combo->count()) return;
    combo->setCurrentIndex(item);
    emit combo->activated(item);
}

void DesktopDriver::setNumber(int window, int field, int value)
{
    if (auto* spin = qobject_cast<QSpinBox*>(DesktopSeam::gadget(desktop_, window, field))) spin->setValue(value);
}

bool DesktopDriver::isDefaultButton(int window, int button)
{
    const auto* b = qobject_cast<QPushButton*>(DesktopSeam::gadget(desktop_, window, button));
    return b && b->isDefault();
}

bool DesktopDriver::itemEnabled(int window, int list, int item)
{
    const auto* combo = qobject_cast<QComboBox*>(DesktopSeam::gadget(desktop_, window, list));
    return combo && combo->model()->flags(combo->model()->index(item, 0)).testFlag(Qt::ItemIsEnabled);
}

std::string DesktopDriver::itemTooltip(int window, int list, int item)
{
    const auto* combo = qobject_cast<QComboBox*>(DesktopSeam::gadget(desktop_, window, list));
    return combo ? utf8Of(combo->itemData(item, Qt::ToolTipRole).toString()) : std::string();
}

}  // namespace nimbel::testing_support
