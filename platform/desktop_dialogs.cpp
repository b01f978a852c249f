// Modal dialogs: message boxes, file requesters and the colour requester,
// each answered by the user or, when one is installed, by the dialog script.
#include "desktop.h"

#include "desktop_impl.h"
#include "grid_table_model.h"
#include "qt_text.h"
#include "requester_conventions.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace nimbel {

namespace {

// Runs `answer` once the dialog's own loop is running, so the script acts on
// the dialog as it is shown, and again while the dialog stays open (a typed
// folder name only opens that folder), so a script never leaves one waiting.
template <typename Answer>
void answerWhileOpen(QDialog& dialog, DialogScript* script, Answer answer)
{
    if (!script) return;
    QTimer::singleShot(0, &dialog, [&dialog, script, answer] {
        answer(*script);
        if (dialog.isVisible()) answerWhileOpen(dialog, script, answer);
    });
}

ShownMessage describe(const QMessageBox& box, MessageButtons buttons, MessageIcon icon)
{
    QString preferred = box.defaultButton() ? box.defaultButton()->text() : QString();
    preferred.remove('&');  // the keyboard mnemonic marker
    return {utf8Of(box.windowTitle()), utf8Of(box.text()), buttons, icon, utf8Of(preferred)};
}

void reply(QMessageBox& box, MessageReply answer)
{
    auto press = [&box](QMessageBox::StandardButton which) {
        if (QAbstractButton* button = box.button(which)) button->click();
    };
    switch (answer) {
    case MessageReply::ok: press(QMessageBox::Ok); break;
    case MessageReply::yes: press(QMessageBox::Yes); break;
    case MessageReply::no: press(QMessageBox::No); break;
    case MessageReply::cancel: press(QMessageBox::Cancel); break;
    case MessageReply::escapeKey: {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &escape);
        break;
    }
    case MessageReply::closeBox: box.close(); break;
    }
}

// "Description (patterns)" for the toolkit, which shows only the description.
// A pattern of "*.*" means every file, also names without a dot.
QStringList nameFilters(const std::vector<RequesterFilter>& filters)
{
    QStringList names;
    for (const RequesterFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns)
            patterns << (pattern == "*.*" ? QString("*") : uiText(pattern));
        names << uiText(filter.description) + " (" + patterns.join(' ') + ")";
    }
    return names;
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
    shown.confirmsOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
    shown.defaultSuffix = utf8Of(dialog.defaultSuffix());
    return shown;
}

void reply(QFileDialog& dialog, const RequesterReply& answer)
{
    if (!answer) {
        dialog.reject();
        return;
    }
    // A file picked in the list would win over the typed name, as after typing it is no longer picked.
    for (auto* view : dialog.findChildren<QAbstractItemView*>()) view->clearSelection();
    if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) name->setText(qtPath(*answer));
    const auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
    QPushButton* accept = buttons
                              ? buttons->button(dialog.acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                                               : QDialogButtonBox::Open)
                              : nullptr;
    if (accept && accept->isEnabled()) {
        accept->click();
    } else {
        QMetaObject::invokeMethod(&dialog, "accept");
    }
}

}  // namespace

MessageAnswer Desktop::messageBox(std::string_view title, std::string_view text, MessageButtons buttons,
                                  MessageIcon icon)
{
    QMessageBox box(impl_->foregroundWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(uiText(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(uiText(text));
    box.setIcon(icon == MessageIcon::error ? QMessageBox::Critical : QMessageBox::NoIcon);
    if (buttons == MessageButtons::yesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else if (buttons == MessageButtons::yesNo) {
        // Asked before something is lost: the safe answer is the default.
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    answerWhileOpen(box, impl_->script, [&box, buttons, icon](DialogScript& script) {
        reply(box, script.answerMessage(describe(box, buttons, icon)));
    });
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return MessageAnswer::yes;
    case QMessageBox::No: return MessageAnswer::no;
    case QMessageBox::Ok: return MessageAnswer::ok;
    default:
        if (buttons == MessageButtons::ok) return MessageAnswer::ok;
        return buttons == MessageButtons::yesNo ? MessageAnswer::no : MessageAnswer::cancel;
    }
}

namespace {

std::string runFileRequester(QWidget* owner, DialogScript* script, QFileDialog::AcceptMode mode, std::string_view title,
                             std::string_view defaultPath, std::string_view filter, int filterIndex)
{
    const RequesterStart start = requesterStart(defaultPath);
    QFileDialog dialog(owner, uiText(title));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode);
    // Any name is taken as typed, as the program reports files it cannot open.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!start.folder.empty()) dialog.setDirectory(qtPath(start.folder));
    const QStringList filters = nameFilters(parseRequesterFilter(filter));
    dialog.setNameFilters(filters);
    if (filterIndex >= 0 && filterIndex < filters.size()) dialog.selectNameFilter(filters[filterIndex]);
    if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) name->setText(qtPath(start.fileName));
    answerWhileOpen(dialog, script, [&dialog](DialogScript& s) { reply(dialog, s.answerRequester(describe(dialog))); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return pathOf(dialog.selectedFiles().front());
}

}  // namespace

std::string Desktop::openFileRequester(std::string_view title, std::string_view defaultPath, std::string_view filter,
                                       int filterIndex)
{
    return runFileRequester(impl_->foregroundWindow(), impl_->script, QFileDialog::AcceptOpen, title, defaultPath,
                            filter, filterIndex);
}

std::string Desktop::saveFileRequester(std::string_view title, std::string_view defaultPath, std::string_view filter,
                                       int filterIndex)
{
    return runFileRequester(impl_->foregroundWindow(), impl_->script, QFileDialog::AcceptSave, title, defaultPath,
                            filter, filterIndex);
}

std::int64_t Desktop::colorRequester(std::uint32_t initialColor)
{
    QColorDialog dialog(colorFromBgr(initialColor), impl_->foregroundWindow());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    answerWhileOpen(dialog, impl_->script, [&dialog](DialogScript& script) {
        const ColorReply answer = script.answerColor({bgrFromColor(dialog.currentColor())});
        if (!answer) {
            dialog.reject();
            return;
        }
        dialog.setCurrentColor(colorFromBgr(*answer));
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted) return -1;
    return bgrFromColor(dialog.selectedColor());
}

}  // namespace nimbel
