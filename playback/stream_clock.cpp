#include "stream_clock.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace nimbel {

namespace {

constexpr std::size_t kFirstReports = 9;
// A critically damped loop: with a report every 10 ms, each moves the origin
// by 5 % of its difference from the prediction and the rate by 0.064 %
// (a time constant of 0.4 s).
constexpr double kOriginShare = 0.05;
constexpr double kRateShare = 0.00064;
// Reports after the first estimate until the loop has taken up the error of that estimate.
constexpr int kSettleReports = 50;
constexpr double kNsPerSecond = 1e9;

}  // namespace

StreamClock::StreamClock(int rate, std::int64_t settleFrames) : rate_(rate), settleFrames_(settleFrames) {}

void StreamClock::observe(std::int64_t nowNs, std::int64_t framesWritten, std::int64_t latencyNs)
{
    if (framesWritten < settleFrames_) return;
    const double origin = static_cast<double>(nowNs + latencyNs) -
                          static_cast<double>(framesWritten) * kNsPerSecond / static_cast<double>(rate_);
    if (!ready_) {
        firstOrigins_.push_back(origin);
        if (firstOrigins_.size() < kFirstReports) return;
        const auto middle = firstOrigins_.begin() + static_cast<std::ptrdiff_t>(kFirstReports / 2);
        std::nth_element(firstOrigins_.begin(), middle, firstOrigins_.end());
        originNs_ = *middle;
        recentOrigins_.fill(originNs_);
        lastFrames_ = framesWritten;
        ready_ = true;
        return;
    }
    // The middle of the last three reports: one report far off (a write
    // that returned late) moves nothing, a lasting change passes a report later.
    recentOrigins_ = {recentOrigins_[1], recentOrigins_[2], origin};
    std::array<double, 3> sorted = recentOrigins_;
    std::sort(sorted.begin(), sorted.end());
    const auto played = static_cast<double>(framesWritten - lastFrames_);
    lastFrames_ = framesWritten;
    originNs_ += driftNsPerFrame_ * played;
    const double error = sorted[1] - originNs_;
    originNs_ += kOriginShare * error;
    if (played > 0) driftNsPerFrame_ += kRateShare * error / played;
    if (reportsSinceReady_ < kSettleReports) ++reportsSinceReady_;
}

bool StreamClock::settled() const { return ready_ && reportsSinceReady_ >= kSettleReports; }

std::int64_t StreamClock::frameAt(std::int64_t ns) const
{
    // Frame f is heard at origin(f) + f / rate, the origin moving on at its rate.
    const double nsPerFrame = kNsPerSecond / static_cast<double>(rate_);
    const double frame = (static_cast<double>(ns) - originNs_ + driftNsPerFrame_ * static_cast<double>(lastFrames_)) /
                         (nsPerFrame + driftNsPerFrame_);
    return static_cast<std::int64_t>(std::floor(frame + 0.5));
}

}  // namespace nimbel
