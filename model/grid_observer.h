// Change notifications of the in-memory grid, for a view that shows it
// (the Qt table model of the main window). The "before" calls come before
// the grid changes and the matching "after" calls once it has, in the order a
// table model needs them. Every call arrives on the thread that changed the grid.
#pragma once

namespace nimbel {

class GridObserver {
public:
    virtual ~GridObserver() = default;

    virtual void cellChanged(int /*row*/, int /*column*/) {}
    virtual void headerChanged(int /*column*/) {}
    virtual void beforeColumnInserted(int /*column*/) {}
    virtual void afterColumnInserted(int /*column*/) {}
    virtual void beforeColumnRemoved(int /*column*/) {}
    virtual void afterColumnRemoved(int /*column*/) {}
    virtual void beforeRowAppended(int /*row*/) {}
    virtual void afterRowAppended(int /*row*/) {}
    // Removing all rows, and any batch of changes (see MemoryGrid::BatchUpdate),
    // is reported as one reset of the whole grid.
    virtual void beforeReset() {}
    virtual void afterReset() {}
};

}  // namespace nimbel
