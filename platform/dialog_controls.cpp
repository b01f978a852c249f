#include "dialog_controls.h"

#include "desktop_impl.h"
#include "gadgets.h"
#include "qt_text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>

#include <algorithm>

namespace nimbel {

namespace {

// Signal handlers report to the desktop's queue, which outlives every
// window; the DialogControls that made a control may be gone by then.
auto reporter(EventQueue& queue, int window, int id, GadgetAction action)
{
    return [&queue, window, id, action] { queue.push(gadgetEvent(window, id, action)); };
}

}  // namespace

void DialogControls::addPushButton(int window, int id, Rect where, std::string_view text, std::string_view tooltip,
                                   bool isDefault)
{
    QWidget* inner = desktop_.impl_->inner(window);
    if (!inner) return;
    auto* button = new QPushButton(uiText(text), inner);
    button->setToolTip(uiText(tooltip));
    // Outside a toolkit dialog a focused button would otherwise take Return for itself.
    button->setAutoDefault(false);
    button->setDefault(isDefault);
    QObject::connect(button, &QPushButton::clicked, button,
                     reporter(desktop_.impl_->queue, window, id, GadgetAction::leftClick));
    desktop_.impl_->place(window, id, button, where);
}

void DialogControls::addImageButton(int window, int id, Rect where, int image, std::string_view tooltip)
{
    QWidget* inner = desktop_.impl_->inner(window);
    if (!inner) return;
    auto* button = new QPushButton(inner);
    button->setIcon(desktop_.impl_->images[image]);
    button->setIconSize(QSize(std::max(1, where.width - 6), std::max(1, where.height - 6)));
    button->setToolTip(uiText(tooltip));
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, button,
                     reporter(desktop_.impl_->queue, window, id, GadgetAction::leftClick));
    desktop_.impl_->place(window, id, button, where);
}

void DialogControls::addDropDownList(int window, int id, Rect where, const std::vector<std::string>& items,
                                     std::string_view tooltip)
{
    QWidget* inner = desktop_.impl_->inner(window);
    if (!inner) return;
    auto* list = new QComboBox(inner);
    list->setEditable(false);
    for (const std::string& item : items) list->addItem(uiText(item));
    list->setCurrentIndex(items.empty() ? -1 : 0);
    list->setMaxVisibleItems(16);
    list->setToolTip(uiText(tooltip));
    QObject::connect(list, &QComboBox::activated, list,
                     reporter(desktop_.impl_->queue, window, id, GadgetAction::changed));
    desktop_.impl_->place(window, id, list, where);
}

void DialogControls::addNumberField(int window, int id, Rect where, int minimum, int maximum, int value,
                                    std::string_view tooltip)
{
    QWidget* inner = desktop_.impl_->inner(window);
    if (!inner) return;
    auto* field = new QSpinBox(inner);
    field->setRange(minimum, maximum);
    field->setValue(value);
    field->setToolTip(uiText(tooltip));
    // A half-typed number is no change yet; the field reports what it settles on.
    field->setKeyboardTracking(false);
    QObject::connect(field, &QSpinBox::valueChanged, field,
                     reporter(desktop_.impl_->queue, window, id, GadgetAction::changed));
    desktop_.impl_->place(window, id, field, where);
}

void DialogControls::addTextField(int window, int id, Rect where, std::string_view text, std::string_view tooltip)
{
    QWidget* inner = desktop_.impl_->inner(window);
    if (!inner) return;
    auto* field = new QLineEdit(qtText(text), inner);
    field->setToolTip(uiText(tooltip));
    QObject::connect(field, &QLineEdit::textEdited, field,
                     reporter(desktop_.impl_->queue, window, id, GadgetAction::changed));
    desktop_.impl_->place(window, id, field, where);
}

void DialogControls::addTextView(int window, int id, Rect where, std::string_view text)
{
    QWidget* inner = desktop_.impl_->inner(window);
    if (!inner) return;
    auto* view = new QPlainTextEdit(inner);
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view->setTabStopDistance(4 * view->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    desktop_.impl_->place(window, id, view, where);
    Gadgets(desktop_).setGadgetText(window, id, text);
}

int DialogControls::selectedItem(int window, int id) const
{
    const auto* list = desktop_.impl_->gadgetAs<QComboBox>(window, id);
    return list ? list->currentIndex() : -1;
}

void DialogControls::selectItem(int window, int id, int index)
{
    auto* list = desktop_.impl_->gadgetAs<QComboBox>(window, id);
    if (list && index >= 0 && index < list->count()) list->setCurrentIndex(index);
}

void DialogControls::setItemEnabled(int window, int id, int index, bool enabled, std::string_view tooltip)
{
    auto* list = desktop_.impl_->gadgetAs<QComboBox>(window, id);
    auto* items = list ? qobject_cast<QStandardItemModel*>(list->model()) : nullptr;
    QStandardItem* item = items ? items->item(index) : nullptr;
    if (!item) return;
    item->setEnabled(enabled);
    item->setToolTip(uiText(tooltip));
}

int DialogControls::number(int window, int id) const
{
    const auto* field = desktop_.impl_->gadgetAs<QSpinBox>(window, id);
    return field ? field->value() : 0;
}

}  // namespace nimbel
