// The gadgets placed in a window's inner area: list grid, label, track bar.
#include "gadgets.h"

#include "desktop_impl.h"
#include "grid_view.h"
#include "qt_text.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>

#include <algorithm>

namespace nimbel {

namespace {

// A tick per value while they stay at least four pixels apart, fewer beyond.
void spaceTicks(QSlider* slider)
{
    const int span = std::max(1, slider->maximum() - slider->minimum());
    const int room = std::max(1, slider->width() / 4);
    slider->setTickInterval(std::max(1, (span + room - 1) / room));
}

// The grid gadget with every change of its grid applied.
GridView* currentGrid(const Desktop::Impl& impl, int window, int gadget)
{
    auto* view = impl.gadgetAs<GridView>(window, gadget);
    if (view) view->bringUpToDate();
    return view;
}

}  // namespace

void Gadgets::addListGrid(int window, int gadget, Rect where, MemoryGrid& grid, std::string_view tooltip)
{
    WindowRecord* r = desktop_.impl_->record(window);
    if (!r) return;
    auto* view = new GridView(grid, desktop_.impl_->queue, window, gadget, r->window->inner());
    view->setToolTip(uiText(tooltip));
    desktop_.impl_->place(window, gadget, view, where);
}

void Gadgets::addLabel(int window, int gadget, Rect where, std::string_view text, bool centred, bool sunken)
{
    WindowRecord* r = desktop_.impl_->record(window);
    if (!r) return;
    auto* label = new QLabel(uiText(text), r->window->inner());
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
    if (sunken) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    desktop_.impl_->place(window, gadget, label, where);
}

void Gadgets::addTrackBar(int window, int gadget, Rect where, int minimum, int maximum, std::string_view tooltip,
                          bool tickMarks)
{
    WindowRecord* r = desktop_.impl_->record(window);
    if (!r) return;
    auto* slider = new QSlider(Qt::Horizontal, r->window->inner());
    slider->setRange(minimum, maximum);
    slider->setValue(minimum);
    slider->setPageStep(1);
    slider->setTickPosition(tickMarks ? QSlider::TicksBelow : QSlider::NoTicks);
    slider->setToolTip(uiText(tooltip));
    // Only the user's moves are reported: the program setting the position is no event.
    // The queue outlives every window; this view may be gone by then.
    QObject::connect(slider, &QAbstractSlider::actionTriggered, slider,
                     [&queue = desktop_.impl_->queue, window, gadget](int) {
                         queue.push(gadgetEvent(window, gadget, GadgetAction::changed));
                     });
    desktop_.impl_->place(window, gadget, slider, where);
    spaceTicks(slider);
}

Rect Gadgets::gadgetRect(int window, int gadget) const
{
    const QWidget* widget = desktop_.impl_->gadget(window, gadget);
    if (!widget) return {};
    const QRect g = widget->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

void Gadgets::setGadgetRect(int window, int gadget, Rect where)
{
    QWidget* widget = desktop_.impl_->gadget(window, gadget);
    if (!widget) return;
    widget->setGeometry(where.x, where.y, where.width, where.height);
    if (auto* slider = qobject_cast<QSlider*>(widget)) spaceTicks(slider);
}

std::string Gadgets::gadgetText(int window, int gadget) const
{
    const QWidget* widget = desktop_.impl_->gadget(window, gadget);
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return utf8Of(label->text());
    if (const auto* field = qobject_cast<const QLineEdit*>(widget)) return bytesOf(field->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return utf8Of(button->text());
    if (const auto* view = qobject_cast<const QPlainTextEdit*>(widget)) {
        return utf8Of(view->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")));
    }
    return {};
}

void Gadgets::setGadgetText(int window, int gadget, std::string_view text)
{
    QWidget* widget = desktop_.impl_->gadget(window, gadget);
    if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(uiText(text));
    if (auto* field = qobject_cast<QLineEdit*>(widget)) field->setText(qtText(text));
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(uiText(text));
    if (auto* view = qobject_cast<QPlainTextEdit*>(widget)) {
        // The view breaks lines at LF alone; a CR before it would show as a stray character.
        view->setPlainText(uiText(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }
}

void Gadgets::setGadgetTooltip(int window, int gadget, std::string_view tooltip)
{
    if (QWidget* widget = desktop_.impl_->gadget(window, gadget)) widget->setToolTip(uiText(tooltip));
}

void Gadgets::focusGadget(int window, int gadget)
{
    // A grid takes no focus from clicks, but the program may give it the
    // keyboard, which then scrolls it. A text field given the keyboard has
    // its text selected, as when the user tabs into it, so typing replaces it.
    QWidget* widget = desktop_.impl_->gadget(window, gadget);
    if (!widget) return;
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* field = qobject_cast<QLineEdit*>(widget)) field->selectAll();
}

int Gadgets::trackBarPosition(int window, int gadget) const
{
    const auto* slider = desktop_.impl_->gadgetAs<QSlider>(window, gadget);
    return slider ? slider->value() : 0;
}

void Gadgets::setTrackBarPosition(int window, int gadget, int position)
{
    if (auto* slider = desktop_.impl_->gadgetAs<QSlider>(window, gadget)) slider->setValue(position);
}

int Gadgets::trackBarMaximum(int window, int gadget) const
{
    const auto* slider = desktop_.impl_->gadgetAs<QSlider>(window, gadget);
    return slider ? slider->maximum() : 0;
}

void Gadgets::setTrackBarMaximum(int window, int gadget, int maximum)
{
    auto* slider = desktop_.impl_->gadgetAs<QSlider>(window, gadget);
    if (!slider) return;
    slider->setMaximum(maximum);
    spaceTicks(slider);
}

int Gadgets::gridColumnWidth(int window, int gadget, int column) const
{
    const auto* view = currentGrid(*desktop_.impl_, window, gadget);
    if (!view || column < 0 || column >= view->horizontalHeader()->count()) return 0;
    return view->horizontalHeader()->sectionSize(column);
}

int Gadgets::gridRowCount(int window, int gadget) const
{
    const auto* view = currentGrid(*desktop_.impl_, window, gadget);
    return view ? view->model()->rowCount() : 0;
}

int Gadgets::gridColumnCount(int window, int gadget) const
{
    const auto* view = currentGrid(*desktop_.impl_, window, gadget);
    return view ? view->horizontalHeader()->count() : 0;
}

int Gadgets::gridScrollX(int window, int gadget) const
{
    const auto* view = currentGrid(*desktop_.impl_, window, gadget);
    return view ? view->horizontalScrollBar()->value() : 0;
}

int Gadgets::gridViewWidth(int window, int gadget) const
{
    const auto* view = currentGrid(*desktop_.impl_, window, gadget);
    return view ? view->viewport()->width() : 0;
}

int Gadgets::gridTopRow(int window, int gadget) const
{
    // Vertical scrolling goes by whole rows, so the scroll value is the top row.
    const auto* view = currentGrid(*desktop_.impl_, window, gadget);
    return view ? view->verticalScrollBar()->value() : 0;
}

}  // namespace nimbel
