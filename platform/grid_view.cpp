#include "grid_view.h"

#include "grid_table_model.h"
#include "memory_grid.h"
#include "song_columns.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace nimbel {

GridView::GridView(MemoryGrid& grid, EventQueue& queue, int window, int gadget, QWidget* parent)
    : QTableView(parent), model_(new GridTableModel(grid, this)), queue_(queue), window_(window), gadget_(gadget)
{
    setModel(model_);
    // Without a frame the rows start right below the header, where the row mapping expects them.
    setFrameShape(QFrame::NoFrame);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(kGridRowHeight);
    rows->setDefaultSectionSize(kGridRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* columns = horizontalHeader();
    columns->setFixedHeight(kGridHeaderHeight);
    columns->setMinimumSectionSize(1);
    columns->setDefaultSectionSize(kNoteColumnWidth);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setStretchLastSection(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(model_, &QAbstractItemModel::modelReset, this,
            [this] { applyColumnWidths(0, model_->columnCount({}) - 1); });
    connect(model_, &QAbstractItemModel::columnsInserted, this,
            [this](const QModelIndex&, int first, int last) { applyColumnWidths(first, last); });
    applyColumnWidths(0, model_->columnCount({}) - 1);
}

void GridView::bringUpToDate() { model_->finishCollectedChanges(); }

void GridView::applyColumnWidths(int first, int last)
{
    // Most columns have the default width; resizing only the others keeps a
    // reset of tens of thousands of columns cheap.
    QHeaderView* columns = horizontalHeader();
    for (int c = first; c <= last; ++c) {
        const int width = model_->grid().columnWidth(c);
        if (columns->sectionSize(c) != width) columns->resizeSection(c, width);
    }
}

void GridView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) queue_.push(gadgetEvent(window_, gadget_, GadgetAction::leftClick));
    if (event->button() == Qt::RightButton) queue_.push(gadgetEvent(window_, gadget_, GadgetAction::rightClick));
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) queue_.push(gadgetEvent(window_, gadget_, GadgetAction::doubleClick));
}

// Clicks only report; dragging neither selects nor moves anything.
void GridView::mouseReleaseEvent(QMouseEvent*) {}
void GridView::mouseMoveEvent(QMouseEvent*) {}

bool GridView::viewportEvent(QEvent* event)
{
    // The tooltip belongs to the whole grid, not to single cells.
    if (event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTip(), viewport());
        return true;
    }
    return QTableView::viewportEvent(event);
}

}  // namespace nimbel
