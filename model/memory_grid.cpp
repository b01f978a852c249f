#include "memory_grid.h"

#include <utility>

namespace nimbel {

namespace {
const std::string kEmpty;
}

bool MemoryGrid::contains(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

const MemoryGrid::Cell* MemoryGrid::findCell(int row, int column) const
{
    if (!contains(row, column)) return nullptr;
    const Column& c = columns_[static_cast<size_t>(column)];
    return static_cast<size_t>(row) < c.cells.size() ? &c.cells[static_cast<size_t>(row)] : nullptr;
}

MemoryGrid::Cell& MemoryGrid::writableCell(int row, int column)
{
    Column& c = columns_[static_cast<size_t>(column)];
    if (static_cast<size_t>(row) >= c.cells.size()) c.cells.resize(static_cast<size_t>(row) + 1);
    return c.cells[static_cast<size_t>(row)];
}

const std::string& MemoryGrid::cellText(int row, int column) const
{
    const Cell* cell = findCell(row, column);
    return cell ? cell->text : kEmpty;
}

void MemoryGrid::setCellText(int row, int column, std::string text)
{
    if (!contains(row, column)) return;
    // A blank cell that stays blank needs no storage.
    if (!text.empty() || findCell(row, column)) writableCell(row, column).text = std::move(text);
    ++contentVersion_;
    if (auto* o = notifying()) o->cellChanged(row, column);
}

const std::string& MemoryGrid::headerTitle(int column) const
{
    if (column < 0 || column >= columnCount()) return kEmpty;
    return columns_[static_cast<size_t>(column)].title;
}

void MemoryGrid::setHeaderTitle(int column, std::string title)
{
    if (column < 0 || column >= columnCount()) return;
    columns_[static_cast<size_t>(column)].title = std::move(title);
    ++contentVersion_;
    if (auto* o = notifying()) o->headerChanged(column);
}

int MemoryGrid::columnWidth(int column) const
{
    if (column < 0 || column >= columnCount()) return 0;
    return columns_[static_cast<size_t>(column)].width;
}

void MemoryGrid::insertColumn(int column, std::string title, int width)
{
    if (column < 0 || column > columnCount()) return;
    auto* o = notifying();
    if (o) o->beforeColumnInserted(column);
    Column added{std::move(title), width, {}};
    columns_.insert(columns_.begin() + column, std::move(added));
    ++contentVersion_;
    if (o) o->afterColumnInserted(column);
}

void MemoryGrid::removeColumn(int column)
{
    if (column < 0 || column >= columnCount()) return;
    auto* o = notifying();
    if (o) o->beforeColumnRemoved(column);
    columns_.erase(columns_.begin() + column);
    ++contentVersion_;
    if (o) o->afterColumnRemoved(column);
}

void MemoryGrid::removeAllRows()
{
    auto* o = notifying();
    if (o) o->beforeReset();
    for (auto& c : columns_) c.cells.clear();
    itemData_.clear();
    ++contentVersion_;
    if (o) o->afterReset();
}

void MemoryGrid::appendRow(std::string channelText)
{
    const int row = rowCount();
    auto* o = notifying();
    if (o) o->beforeRowAppended(row);
    itemData_.push_back(0);
    if (!columns_.empty()) writableCell(row, 0).text = std::move(channelText);
    ++contentVersion_;
    if (o) o->afterRowAppended(row);
}

std::int32_t MemoryGrid::itemData(int row) const
{
    if (row < 0 || row >= rowCount()) return 0;
    return itemData_[static_cast<size_t>(row)];
}

void MemoryGrid::setItemData(int row, std::int32_t data)
{
    if (row < 0 || row >= rowCount()) return;
    itemData_[static_cast<size_t>(row)] = data;
}

std::uint32_t MemoryGrid::cellColor(int row, int column) const
{
    const Cell* cell = findCell(row, column);
    return cell ? cell->color : kDefaultCellColor;
}

void MemoryGrid::setCellColor(int row, int column, std::uint32_t color)
{
    if (!contains(row, column)) return;
    writableCell(row, column).color = color;
    if (auto* o = notifying()) o->cellChanged(row, column);
}

MemoryGrid::BatchUpdate::BatchUpdate(MemoryGrid& grid) : grid_(grid)
{
    if (grid_.batchDepth_++ == 0 && grid_.observer_) grid_.observer_->beforeReset();
}

MemoryGrid::BatchUpdate::~BatchUpdate()
{
    if (--grid_.batchDepth_ == 0 && grid_.observer_) grid_.observer_->afterReset();
}

}  // namespace nimbel
