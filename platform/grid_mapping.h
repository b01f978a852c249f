// Which cell of a list grid a point of its window falls on. Columns are
// found by walking the drawn column widths from the grid's left edge and
// horizontal scroll position; rows by fixed numbers, a 22 pixel header and
// 14 pixel rows, never measured from the control.
#pragma once

#include "geometry.h"

#include <functional>
#include <optional>

namespace nimbel {

class Desktop;

// xPrime is the distance from the left edge of column 0. A point exactly on
// a column's right edge belongs to that column; points left of the grid give
// column 0; points right of the last column give the column count.
int columnAtOffset(int xPrime, int columnCount, const std::function<int(int)>& columnWidth);

// (y + topRow × 14 − gridTop − 22) / 14, truncated toward zero and not
// compared with the row count.
int rowAtOffset(int y, int gridTop, int topRow);

// x and y are positions in the window's inner area.
int columnAtX(Desktop& desktop, int window, int gadget, int x);
int rowAtY(Desktop& desktop, int window, int gadget, int y);

struct GridCell {
    int row = 0;
    int column = 0;
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// The cell of a list grid under a point of the window's inner area, by the
// two mappings above; nothing for a point on the header, outside the grid,
// right of its last column or below its last row.
std::optional<GridCell> cellAt(Desktop& desktop, int window, int gadget, Point where);

}  // namespace nimbel
