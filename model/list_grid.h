// The song grid as the song model sees it: a list grid of rows and titled
// columns whose cells hold texts, with a background colour per cell and a
// 32-bit data word per row. The model reaches every grid (the main window's
// song grid, and later the Channel Window's) only through these operations,
// so it runs the same against the in-memory grid and in tests.
#pragma once

#include <cstdint>
#include <string>

namespace nimbel {

// Colours are 0x00BBGGRR; this value (never a colour) means "the grid's default background".
inline constexpr std::uint32_t kDefaultCellColor = 0xFFFFFFFFu;

class ListGrid {
public:
    virtual ~ListGrid() = default;

    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;

    // Cells outside the grid read as the empty string; writes outside it are ignored.
    virtual const std::string& cellText(int row, int column) const = 0;
    virtual void setCellText(int row, int column, std::string text) = 0;

    // A column index past the last column reads as the empty string.
    virtual const std::string& headerTitle(int column) const = 0;
    virtual void setHeaderTitle(int column, std::string title) = 0;
    virtual int columnWidth(int column) const = 0;

    // Columns from `column` on move one to the right, with their cells.
    virtual void insertColumn(int column, std::string title, int width) = 0;
    virtual void removeColumn(int column) = 0;

    virtual void removeAllRows() = 0;
    virtual void appendRow(std::string channelText) = 0;

    virtual std::int32_t itemData(int row) const = 0;
    virtual void setItemData(int row, std::int32_t data) = 0;

    virtual std::uint32_t cellColor(int row, int column) const = 0;
    virtual void setCellColor(int row, int column, std::uint32_t color) = 0;
};

}  // namespace nimbel
