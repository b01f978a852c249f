// The in-memory list grid: the one store of the song's cells. The window
// shows this grid through a view and never keeps a copy of the cells.
//
// Cells are kept column by column, so inserting or removing a column moves
// one vector of columns, not every cell; a column holds cells only down to
// the lowest row written, so a long song of mostly empty columns, or of a
// melody in the first rows, costs little. Reading a cell is O(1). Not thread
// safe: one thread (the user-interface thread) owns it.
#pragma once

#include "grid_observer.h"
#include "list_grid.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace nimbel {

class MemoryGrid final : public ListGrid {
public:
    int rowCount() const override { return static_cast<int>(itemData_.size()); }
    int columnCount() const override { return static_cast<int>(columns_.size()); }

    const std::string& cellText(int row, int column) const override;
    void setCellText(int row, int column, std::string text) override;

    const std::string& headerTitle(int column) const override;
    void setHeaderTitle(int column, std::string title) override;
    int columnWidth(int column) const override;

    void insertColumn(int column, std::string title, int width) override;
    void removeColumn(int column) override;

    void removeAllRows() override;
    void appendRow(std::string channelText) override;

    std::int32_t itemData(int row) const override;
    void setItemData(int row, std::int32_t data) override;

    std::uint32_t cellColor(int row, int column) const override;
    void setCellColor(int row, int column, std::uint32_t color) override;

    // Room for `count` columns, so that a song read from a file grows the
    // grid once instead of doubling it again and again.
    void reserveColumns(int count) { columns_.reserve(static_cast<std::size_t>(std::max(count, 0))); }

    // Moves on with every change of what the grid holds as the song: cell
    // texts, titles, columns and rows; not colours (the selection) or item
    // data. Whoever keeps a copy of the song (the recovery file) compares it
    // to know whether the copy is still the song.
    std::uint64_t contentVersion() const { return contentVersion_; }

    // At most one observer: the view. Null detaches it.
    void setObserver(GridObserver* observer) { observer_ = observer; }

    // Groups many changes (loading a song of thousands of columns) into one
    // reset notification, so the view is rebuilt once instead of per cell.
    class BatchUpdate {
    public:
        explicit BatchUpdate(MemoryGrid& grid);
        ~BatchUpdate();
        BatchUpdate(const BatchUpdate&) = delete;
        BatchUpdate& operator=(const BatchUpdate&) = delete;

    private:
        MemoryGrid& grid_;
    };

private:
    struct Cell {
        std::string text;
        std::uint32_t color = kDefaultCellColor;
    };
    struct Column {
        std::string title;
        int width = 0;
        std::vector<Cell> cells;  // rows 0 … the lowest written; the rows below are blank
    };

    bool contains(int row, int column) const;
    const Cell* findCell(int row, int column) const;  // null for a blank cell
    Cell& writableCell(int row, int column);          // row and column inside the grid
    GridObserver* notifying() const { return batchDepth_ == 0 ? observer_ : nullptr; }

    std::vector<Column> columns_;
    std::vector<std::int32_t> itemData_;  // one per row; its size is the row count
    GridObserver* observer_ = nullptr;
    int batchDepth_ = 0;
    std::uint64_t contentVersion_ = 0;
};

}  // namespace nimbel
