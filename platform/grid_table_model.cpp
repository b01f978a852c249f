#include "grid_table_model.h"

#include "memory_grid.h"

#include <QBrush>
#include <QColor>
#include <QTimer>

#include <utility>

namespace nimbel {

namespace {

// Structural changes reported one by one within a turn of the event loop.
constexpr int kChangesReportedSingly = 16;

// The playhead's tint: a light blue, unlike the warm default selection
// colour; over a selected cell it is mixed with the cell's own colour.
const QColor kPlayheadTint(176, 212, 255);

QColor mixed(const QColor& a, const QColor& b)
{
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

}  // namespace

QColor colorFromBgr(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t bgrFromColor(const QColor& color)
{
    return static_cast<std::uint32_t>(color.red()) | static_cast<std::uint32_t>(color.green()) << 8 |
           static_cast<std::uint32_t>(color.blue()) << 16;
}

GridTableModel::GridTableModel(MemoryGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid)
{
    grid_.setObserver(this);
}

GridTableModel::~GridTableModel() { grid_.setObserver(nullptr); }

int GridTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.rowCount(); }

int GridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.columnCount(); }

QVariant GridTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) {
        // Cell texts are 8-bit: each byte shows as one character.
        const std::string& text = grid_.cellText(index.row(), index.column());
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (role == Qt::BackgroundRole) {
        const std::uint32_t color = grid_.cellColor(index.row(), index.column());
        const bool playing = index.column() == playhead_;
        if (color == kDefaultCellColor) return playing ? QVariant(QBrush(kPlayheadTint)) : QVariant();
        return QBrush(playing ? mixed(colorFromBgr(color), kPlayheadTint) : colorFromBgr(color));
    }
    return {};
}

void GridTableModel::setPlayheadColumn(int column)
{
    if (column == playhead_) return;
    const int before = std::exchange(playhead_, column);
    columnChanged(before);
    columnChanged(playhead_);
}

void GridTableModel::columnChanged(int column)
{
    if (column < 0 || column >= columnCount({}) || collecting_) return;
    emit dataChanged(index(0, column), index(rowCount({}) - 1, column), {Qt::BackgroundRole});
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::BackgroundRole && section == playhead_)
        return QBrush(kPlayheadTint);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    const std::string& title = grid_.headerTitle(section);
    return QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size()));
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex& index) const
{
    // Cells are changed by the program's commands, never edited in place.
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

bool GridTableModel::reportStructuralChange()
{
    if (collecting_) return false;
    if (structuralChanges_++ == 0) {
        QTimer::singleShot(0, this, [this] { structuralChanges_ = 0; });
    }
    if (structuralChanges_ <= kChangesReportedSingly) return true;
    beginResetModel();
    collecting_ = true;
    QTimer::singleShot(0, this, &GridTableModel::finishCollectedChanges);
    return false;
}

void GridTableModel::finishCollectedChanges()
{
    if (!collecting_) return;
    collecting_ = false;
    structuralChanges_ = 0;
    endResetModel();
}

void GridTableModel::cellChanged(int row, int column)
{
    if (collecting_) return;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::BackgroundRole});
}

void GridTableModel::headerChanged(int column)
{
    if (collecting_) return;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

// Each "before" that reports opens its insertion or removal; the matching
// "after" closes exactly what its "before" opened.
void GridTableModel::beforeColumnInserted(int column)
{
    pendingClose_ = reportStructuralChange();
    if (pendingClose_) beginInsertColumns({}, column, column);
}

void GridTableModel::afterColumnInserted(int)
{
    if (std::exchange(pendingClose_, false)) endInsertColumns();
}

void GridTableModel::beforeColumnRemoved(int column)
{
    pendingClose_ = reportStructuralChange();
    if (pendingClose_) beginRemoveColumns({}, column, column);
}

void GridTableModel::afterColumnRemoved(int)
{
    if (std::exchange(pendingClose_, false)) endRemoveColumns();
}

void GridTableModel::beforeRowAppended(int row)
{
    pendingClose_ = reportStructuralChange();
    if (pendingClose_) beginInsertRows({}, row, row);
}

void GridTableModel::afterRowAppended(int)
{
    if (std::exchange(pendingClose_, false)) endInsertRows();
}

void GridTableModel::beforeReset()
{
    if (collecting_) return;
    batchOpen_ = true;
    beginResetModel();
}

void GridTableModel::afterReset()
{
    if (!batchOpen_) return;
    batchOpen_ = false;
    endResetModel();
}

}  // namespace nimbel
