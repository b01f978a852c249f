#include "grid_mapping.h"

#include "desktop.h"
#include "desktop_impl.h"
#include "grid_view.h"

namespace nimbel {

int columnAtOffset(int xPrime, int columnCount, const std::function<int(int)>& columnWidth)
{
    int column = 0;
    while (column < columnCount && xPrime > columnWidth(column)) {
        xPrime -= columnWidth(column);
        ++column;
    }
    return column;
}

int rowAtOffset(int y, int gridTop, int topRow)
{
    return (y + topRow * kGridRowHeight - gridTop - kGridHeaderHeight) / kGridRowHeight;
}

int columnAtX(const Desktop& desktop, int window, int gadget, int x)
{
    const int xPrime = x - desktop.gadgetRect(window, gadget).x + desktop.gridScrollX(window, gadget);
    return columnAtOffset(xPrime, desktop.gridColumnCount(window, gadget),
                          [&](int column) { return desktop.gridColumnWidth(window, gadget, column); });
}

int rowAtY(const Desktop& desktop, int window, int gadget, int y)
{
    return rowAtOffset(y, desktop.gadgetRect(window, gadget).y, desktop.gridTopRow(window, gadget));
}

std::optional<GridCell> cellAt(const Desktop& desktop, int window, int gadget, Point where)
{
    const Rect grid = desktop.gadgetRect(window, gadget);
    const auto* view = desktop.impl().gadgetAs<GridView>(window, gadget);
    if (!view || where.x < grid.x || where.x >= grid.x + grid.width || where.y < grid.y + kGridHeaderHeight ||
        where.y >= grid.y + grid.height) {
        return std::nullopt;
    }
    const GridCell cell{rowAtY(desktop, window, gadget, where.y), columnAtX(desktop, window, gadget, where.x)};
    if (cell.column >= desktop.gridColumnCount(window, gadget) || cell.row >= view->model()->rowCount()) {
        return std::nullopt;
    }
    return cell;
}

}  // namespace nimbel
