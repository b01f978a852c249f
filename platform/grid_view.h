// The list grid gadget: a table view over the in-memory grid with 14 pixel
// rows under a 22 pixel header (the fixed numbers the row mapping uses),
// grid lines, per-cell background colours, pixel-wise horizontal and
// row-wise vertical scrolling. Clicks, drags to another cell and keys are
// reported to the event queue; the program decides what they do. It draws
// the program's cursor cell with a frame that shows on any background, and
// opens a one-line editor over a cell on request.
#pragma once

#include "event_queue.h"

#include <QPoint>
#include <QPointer>
#include <QTableView>

class QLineEdit;

namespace nimbel {

class MemoryGrid;
class GridTableModel;

inline constexpr int kGridHeaderHeight = 22;
inline constexpr int kGridRowHeight = 14;

class GridView final : public QTableView {
public:
    GridView(MemoryGrid& grid, EventQueue& queue, int window, int gadget, QWidget* parent);

    // Applies structural changes the model is still collecting, so the
    // view's columns and scroll range match the grid.
    void bringUpToDate();

    // Frames the cell and scrolls it into view.
    void setCursorCell(int row, int column);

    // An editor over the cell, holding `text`, with the keyboard: Return and
    // Escape are reported; the text is read in capitals.
    void openEditor(int row, int column, const QString& text);
    QString editorText() const;
    bool editorOpen() const { return !editor_.isNull(); }
    // Closes the editor and gives the grid the keyboard again.
    void closeEditor();

    // The column being heard, tinted; -1 for none.
    void setPlayhead(int column);
    // Keeps the column in view: a column past the right edge pages the view
    // on so that it is the first shown, one left of the view goes back to it.
    void follow(int column);
    void scrollToStart();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColumnWidths(int first, int last);
    void report(const Event& event) { queue_.push(event); }

    GridTableModel* model_;
    EventQueue& queue_;
    int window_;
    int gadget_;
    // Rows and columns, not model indexes: a reset of the model (a song
    // loaded, thousands of columns added) leaves them meaningful.
    QPoint cursor_{-1, -1};    // column, row of the framed cell; none while negative
    QPoint dragCell_{-1, -1};  // column, row under a held left button
    QPointer<QLineEdit> editor_;
};

}  // namespace nimbel
