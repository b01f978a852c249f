#include "grid_mapping.h"

#include "gadgets.h"
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

int columnAtX(Desktop& desktop, int window, int gadget, int x)
{
    const Gadgets gadgets(desktop);
    const int xPrime = x - gadgets.gadgetRect(window, gadget).x + gadgets.gridScrollX(window, gadget);
    return columnAtOffset(xPrime, gadgets.gridColumnCount(window, gadget),
                          [&](int column) { return gadgets.gridColumnWidth(window, gadget, column); });
}

int rowAtY(Desktop& desktop, int window, int gadget, int y)
{
    const Gadgets gadgets(desktop);
    return rowAtOffset(y, gadgets.gadgetRect(window, gadget).y, gadgets.gridTopRow(window, gadget));
}

std::optional<GridCell> cellAt(Desktop& desktop, int window, int gadget, Point where)
{
    const Gadgets gadgets(desktop);
    const Rect grid = gadgets.gadgetRect(window, gadget);
    if (where.x < grid.x || where.x >= grid.x + grid.width || where.y < grid.y + kGridHeaderHeight ||
        where.y >= grid.y + grid.height) {
        return std::nullopt;
    }
    const GridCell cell{rowAtY(desktop, window, gadget, where.y), columnAtX(desktop, window, gadget, where.x)};
    if (cell.column >= gadgets.gridColumnCount(window, gadget) || cell.row >= gadgets.gridRowCount(window, gadget))
        return std::nullopt;
    return cell;
}

}  // namespace nimbel
