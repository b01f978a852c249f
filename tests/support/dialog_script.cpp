#include "dialog_script.h"

#include "desktop_seam.h"
#include "grid_table_model.h"
#include "qt_text.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace nimbel::testing_support {

namespace {

ShownMessage describe(const QMessageBox& box)
{
    QString preferred = box.defaultButton() ? box.defaultButton()->text() : QString();
    preferred.remove('&');  // the keyboard mnemonic marker
    const QMessageBox::StandardButtons shown = box.standardButtons();
    const MessageButtons buttons = shown.testFlag(QMessageBox::Cancel) ? MessageButtons::yesNoCancel
                                   : shown.testFlag(QMessageBox::Yes)  ? MessageButtons::yesNo
                                                                       : MessageButtons::ok;
    const MessageIcon icon = box.icon() == QMessageBox::Critical ? MessageIcon::error : MessageIcon::none;
    return {utf8Of(box.windowTitle()), utf8Of(box.text()), buttons, icon, utf8Of(preferred)};
}

void reply(QMessageBox& box, MessageReply answer)
{
    if (answer == MessageReply::escapeKey) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &escape);
        return;
    }
    const QMessageBox::StandardButton which = answer == MessageReply::ok    ? QMessageBox::Ok
                                              : answer == MessageReply::yes ? QMessageBox::Yes
                                              : answer == MessageReply::no  ? QMessageBox::No
                                                                            : QMessageBox::Cancel;
    if (QAbstractButton* button = box.button(which)) button->click();
}

ShownRequester describe(const QFileDialog& dialog)
{
    ShownRequester shown;
    shown.kind = dialog.acceptMode() == QFileDialog::AcceptSave ? RequesterKind::save : RequesterKind::open;
    shown.title = utf8Of(dialog.windowTitle());
    shown.folder = pathOf(dialog.directory().absolutePath());
    if (const auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) shown.fileName = pathOf(name->text());
    if (const auto* types = dialog.findChild<QComboBox*>("fileTypeCombo")) {
        for (int i = 0; i < types->count(); ++i) shown.filters.push_back(utf8Of(types->itemText(i)));
        shown.selectedFilter = utf8Of(types->currentText());
    }
    return shown;
}

void reply(QFileDialog& dialog, const std::optional<std::string>& typed)
{
    if (!typed) {
        dialog.reject();
        return;
    }
    // A file picked in the list would win over the typed name, as after typing it is no longer picked.
    for (auto* view : dialog.findChildren<QAbstractItemView*>()) view->clearSelection();
    if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) name->setText(qtPath(*typed));
    // What its Open or Save button does, whether or not the button is enabled.
    QMetaObject::invokeMethod(&dialog, "accept");
}

}  // namespace

QueuedDialogScript::QueuedDialogScript(Desktop& desktop) : desktop_(desktop)
{
    // A dialog is offered again while it stays open (a typed folder name
    // only opens that folder), so the script never leaves one waiting.
    DesktopSeam::setModalHook(desktop_, [this](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            messages_.push_back(describe(*box));
            const auto answer = next(Kind::message);
            reply(*box, answer ? answer->message : MessageReply::escapeKey);
        } else if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            requesters_.push_back(describe(*files));
            const auto answer = next(Kind::requester);
            reply(*files, answer ? answer->fileName : std::nullopt);
        } else if (auto* colors = qobject_cast<QColorDialog*>(&dialog)) {
            const auto answer = next(Kind::color);
            if (!answer || !answer->color) {
                colors->reject();
                return;
            }
            colors->setCurrentColor(colorFromBgr(*answer->color));
            colors->accept();
        }
    });
}

QueuedDialogScript::~QueuedDialogScript() { DesktopSeam::setModalHook(desktop_, {}); }

std::optional<QueuedDialogScript::Answer> QueuedDialogScript::next(Kind kind)
{
    if (answers_.empty() || answers_.front().kind != kind) {
        ++unanswered_;
        return std::nullopt;
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

}  // namespace nimbel::testing_support
