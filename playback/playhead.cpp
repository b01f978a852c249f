#include "playhead.h"

namespace nimbel {

void Playhead::columnStarted(std::int32_t column, std::int64_t dueMs)
{
    steps_[count_ % kSteps] = {column, dueMs};
    ++count_;
}

void Playhead::clear() { count_ = 0; }

std::int32_t Playhead::heardAt(std::int64_t nowMs, std::int64_t latencyMs) const
{
    const std::size_t kept = count_ < kSteps ? count_ : kSteps;
    for (std::size_t back = 1; back <= kept; ++back) {
        const Step& step = steps_[(count_ - back) % kSteps];
        if (step.dueMs + latencyMs <= nowMs) return step.column;
    }
    return 0;
}

}  // namespace nimbel
