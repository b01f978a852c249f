// The song grid as the table view sees it: a table model that reads the
// in-memory grid's cells on demand (no copy) and turns the grid's change
// notifications into the model signals the view repaints from.
#pragma once

#include "grid_observer.h"

#include <QAbstractTableModel>

namespace nimbel {

class MemoryGrid;

class GridTableModel final : public QAbstractTableModel, private GridObserver {
    Q_OBJECT

public:
    // Observes `grid` until destroyed; the grid must outlive the model.
    GridTableModel(MemoryGrid& grid, QObject* parent);
    ~GridTableModel() override;

    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const MemoryGrid& grid() const { return grid_; }

private:
    void cellChanged(int row, int column) override;
    void headerChanged(int column) override;
    void beforeColumnInserted(int column) override;
    void afterColumnInserted(int column) override;
    void beforeColumnRemoved(int column) override;
    void afterColumnRemoved(int column) override;
    void beforeRowAppended(int row) override;
    void afterRowAppended(int row) override;
    void beforeReset() override;
    void afterReset() override;

    MemoryGrid& grid_;
};

// 0x00BBGGRR as the toolkit's colour, and back.
QColor colorFromBgr(std::uint32_t bgr);
std::uint32_t bgrFromColor(const QColor& color);

}  // namespace nimbel
