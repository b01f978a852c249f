// The queue between the toolkit's signals and the program's polling loops:
// signals append, a poll takes the oldest event. Consecutive resizes of one
// window are kept as one, since a handler only reads the final size.
#pragma once

#include "event.h"

#include <deque>

namespace nimbel {

class EventQueue {
public:
    void push(const Event& event);
    // The oldest event, or an event of kind none when the queue is empty.
    Event take();
    bool empty() const { return events_.empty(); }
    // Drops the events of a window that has closed.
    void forgetWindow(int window);

private:
    std::deque<Event> events_;
};

}  // namespace nimbel
