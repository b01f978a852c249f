#include "program_window.h"

#include <QCloseEvent>
#include <QFont>
#include <QKeyEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolBar>

namespace nimbel {

void InnerArea::setToolBar(QToolBar* toolBar)
{
    toolBar_ = toolBar;
    toolBar_->setGeometry(0, 0, width(), toolBar_->sizeHint().height());
}

void InnerArea::resizeEvent(QResizeEvent* event)
{
    if (toolBar_) toolBar_->resize(event->size().width(), toolBar_->height());
    QWidget::resizeEvent(event);
}

ProgramWindow::ProgramWindow(int id, EventQueue& queue) : id_(id), queue_(queue), inner_(new InnerArea(this))
{
    setCentralWidget(inner_);
    // Gadgets are placed by pixel in small fixed areas, which a narrow font
    // of about 11 pixels fills without cutting texts off.
    QFont small = inner_->font();
    small.setPixelSize(11);
    small.setStretch(QFont::Condensed);
    inner_->setFont(small);
}

void ProgramWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && reportsActivation_ && isActiveWindow())
        queue_.push(activationEvent(id_));
}

void ProgramWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    queue_.push(closeRequest(id_));
}

void ProgramWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (reporting_) queue_.push(nimbel::resizeEvent(id_));
}

void ProgramWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        for (QPushButton* button : inner_->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
            if (button->isDefault() && button->isEnabled() && button->isVisible()) {
                button->click();
                return;
            }
        }
    }
    if (event->key() == Qt::Key_Escape && closesOnEscape_) {
        queue_.push(closeRequest(id_));
        return;
    }
    // Help, whichever control has the keyboard.
    if (event->key() == Qt::Key_F1) {
        queue_.push(keyEvent(id_, -1, Key::f1));
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace nimbel
