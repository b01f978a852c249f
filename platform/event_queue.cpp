#include "event_queue.h"

#include <algorithm>

namespace nimbel {

void EventQueue::push(const Event& event)
{
    if (event.kind == EventKind::resize && !events_.empty() && events_.back() == event) return;
    events_.push_back(event);
}

Event EventQueue::take()
{
    if (events_.empty()) return {};
    const Event event = events_.front();
    events_.pop_front();
    return event;
}

void EventQueue::forgetWindow(int window)
{
    std::erase_if(events_, [window](const Event& e) { return e.window == window; });
}

}  // namespace nimbel
