#include "program_window.h"

#include <QCloseEvent>
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

}  // namespace nimbel
