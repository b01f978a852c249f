// The list grid gadget: a table view over the in-memory grid with 14 pixel
// rows under a 22 pixel header (the fixed numbers the row mapping uses),
// grid lines, per-cell background colours, pixel-wise horizontal and
// row-wise vertical scrolling, and clicks reported to the event queue.
#pragma once

#include "event_queue.h"

#include <QTableView>

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

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void applyColumnWidths(int first, int last);

    GridTableModel* model_;
    EventQueue& queue_;
    int window_;
    int gadget_;
};

}  // namespace nimbel
