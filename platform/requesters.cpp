// Modal dialogs: message boxes, file requesters and the colour requester,
// each answered by the user (or by a test driver through the desktop's seam).
#include "requesters.h"

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

MessageAnswer Requesters::messageBox(std::string_view title, std::string_view text, MessageButtons buttons,
                                     MessageIcon icon)
{
    QMessageBox box(desktop_.impl_->foregroundWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(uiText(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(uiText(text));
    box.setIcon(icon == MessageIcon::error ? QMessageBox::Critical : QMessageBox::NoIcon);
    if (buttons == MessageButtons::yesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else if (buttons == MessageButtons::yesNo || buttons == MessageButtons::yesNoDefaultYes) {
        // The safe answer is the default: No before something is lost.
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(buttons == MessageButtons::yesNo ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    desktop_.impl_->runModal(box);
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return MessageAnswer::yes;
    case QMessageBox::No: return MessageAnswer::no;
    case QMessageBox::Ok: return MessageAnswer::ok;
    default:
        if (buttons == MessageButtons::ok) return MessageAnswer::ok;
        return buttons == MessageButtons::yesNoCancel ? MessageAnswer::cancel : MessageAnswer::no;
    }
}

namespace {

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

std::string runFileRequester(Desktop::Impl& impl, QFileDialog::AcceptMode mode, std::string_view title,
                             std::string_view defaultPath, std::string_view filter, int filterIndex)
{
    const RequesterStart start = requesterStart(defaultPath);
    QFileDialog dialog(impl.foregroundWindow(), uiText(title));
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
    if (impl.runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return pathOf(dialog.selectedFiles().front());
}

}  // namespace

std::string Requesters::openFileRequester(std::string_view title, std::string_view defaultPath, std::string_view filter,
                                          int filterIndex)
{
    return runFileRequester(*desktop_.impl_, QFileDialog::AcceptOpen, title, defaultPath, filter, filterIndex);
}

std::string Requesters::saveFileRequester(std::string_view title, std::string_view defaultPath, std::string_view filter,
                                          int filterIndex)
{
    return runFileRequester(*desktop_.impl_, QFileDialog::AcceptSave, title, defaultPath, filter, filterIndex);
}

std::int64_t Requesters::colorRequester(std::uint32_t initialColor)
{
    QColorDialog dialog(colorFromBgr(initialColor), desktop_.impl_->foregroundWindow());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (desktop_.impl_->runModal(dialog) != QDialog::Accepted) return -1;
    return bgrFromColor(dialog.selectedColor());
}

}  // namespace nimbel
