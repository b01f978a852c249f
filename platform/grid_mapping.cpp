#include "grid_mapping.h"

#include "desktop.h"
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

}  // namespace nimbel
