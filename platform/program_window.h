// A top-level window of the program. It does not act on close requests and
// resizes itself: it reports them (and, when asked, its activation) to the
// event queue and lets the program's loop decide. Its central widget is the inner area that gadgets are placed
// in by pixel position, with the toolbar (if any) stretched along its top.
#pragma once

#include "event_queue.h"

#include <QMainWindow>

class QToolBar;

namespace nimbel {

class InnerArea final : public QWidget {
public:
    explicit InnerArea(QWidget* parent) : QWidget(parent) {}
    void setToolBar(QToolBar* toolBar);
    QToolBar* toolBar() const { return toolBar_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolBar* toolBar_ = nullptr;
};

class ProgramWindow final : public QMainWindow {
public:
    ProgramWindow(int id, EventQueue& queue);
    InnerArea* inner() const { return inner_; }
    // Resizes and close requests are reported from the first showing on.
    void startReporting() { reporting_ = true; }
    void reportActivation(bool report) { reportsActivation_ = report; }
    void closeOnEscape(bool close) { closesOnEscape_ = close; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Return and Enter press the window's default button, if it has one;
    // Escape asks to close a window that closes on Escape; F1 is reported
    // as a key of the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    int id_;
    EventQueue& queue_;
    InnerArea* inner_;
    bool reporting_ = false;
    bool reportsActivation_ = false;
    bool closesOnEscape_ = false;
};

}  // namespace nimbel
