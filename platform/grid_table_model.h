// The song grid as the table view sees it: a table model that reads the
// in-memory grid's cells on demand (no copy) and turns the grid's change
// notifications into the model signals the view repaints from.
//
// A view follows each inserted or removed column at a cost that grows with
// the column count, so an edit that adds or removes thousands of columns one
// at a time would take seconds. After a few such changes within one turn of
// the event loop the model switches to one reset, finished when the loop
// next runs (or when someone asks for the view's geometry first).
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

    // The column being heard, its title and cells tinted; -1 for none.
    void setPlayheadColumn(int column);
    int playheadColumn() const { return playhead_; }

    // Ends a reset that collects structural changes, so the view is current.
    void finishCollectedChanges();

private:
    // False when the change is folded into a collected reset instead.
    bool reportStructuralChange();

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

    void columnChanged(int column);

    MemoryGrid& grid_;
    int playhead_ = -1;
    int structuralChanges_ = 0;  // within this turn of the event loop
    bool collecting_ = false;    // a reset is open and collects the changes
    bool batchOpen_ = false;     // the grid's own batch opened a reset
    bool pendingClose_ = false;  // the current "before" opened an insertion or removal
};

// 0x00BBGGRR as the toolkit's colour, and back.
QColor colorFromBgr(std::uint32_t bgr);
std::uint32_t bgrFromColor(const QColor& color);

}  // namespace nimbel
