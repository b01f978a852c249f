#include "stream_clock.h"

#include <algorithm>
#include <cmath>

namespace nimbel {

namespace {

constexpr std::size_t kFirstReports = 9;
// Each later report moves the origin by this share of its difference: with a
// report every 10 ms that is a time constant of 2.6 s.
constexpr std::int64_t kFollowDivisor = 256;
constexpr double kNsPerSecond = 1e9;

}  // namespace

StreamClock::StreamClock(int rate, std::int64_t settleFrames) : rate_(rate), settleFrames_(settleFrames) {}

void StreamClock::observe(std::int64_t nowNs, std::int64_t framesWritten, std::int64_t latencyNs)
{
    if (framesWritten < settleFrames_) return;
    const auto writtenNs =
        static_cast<std::int64_t>(std::llround(static_cast<double>(framesWritten) * kNsPerSecond / rate_));
    const std::int64_t origin = nowNs + latencyNs - writtenNs;
    if (!ready_) {
        firstOrigins_.push_back(origin);
        if (firstOrigins_.size() < kFirstReports) return;
        const auto middle = firstOrigins_.begin() + static_cast<std::ptrdiff_t>(kFirstReports / 2);
        std::nth_element(firstOrigins_.begin(), middle, firstOrigins_.end());
        originNs_ = *middle;
        ready_ = true;
        return;
    }
    originNs_ += (origin - originNs_) / kFollowDivisor;
}

std::int64_t StreamClock::frameAt(std::int64_t ns) const
{
    return static_cast<std::int64_t>(std::floor(static_cast<double>(ns - originNs_) * rate_ / kNsPerSecond + 0.5));
}

}  // namespace nimbel
