#include "clock.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace nimbel {

namespace {

// Readings start above the reserved values 0 and 1 even right after boot.
constexpr std::int64_t kFirstReading = 2;

}  // namespace

std::int64_t SteadyClock::monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

std::int64_t SteadyClock::monotonicNsAt(std::int64_t ms) { return (ms - kFirstReading) * 1'000'000; }

std::int64_t SteadyClock::nowMs() { return monotonicNs() / 1'000'000 + kFirstReading; }

void SteadyClock::sleepMs(std::int64_t ms)
{
    if (ms <= 0) return;
    // Sleep to an absolute tick, so a signal or an early start cannot stretch the sleep.
    const std::int64_t wakeNs = monotonicNsAt(nowMs() + ms);
    timespec wake{};
    wake.tv_sec = static_cast<time_t>(wakeNs / 1'000'000'000);
    wake.tv_nsec = static_cast<long>(wakeNs % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {}
}

SimulatedClock::SimulatedClock(std::int64_t startMs) : now_(std::max(startMs, kFirstReading)) {}

void SimulatedClock::sleepMs(std::int64_t ms)
{
    lastSleep_ = ms;
    advanceBy(ms);
}

void SimulatedClock::advanceBy(std::int64_t ms)
{
    if (ms > 0) now_ += ms;
}

void SimulatedClock::advanceTo(std::int64_t timeMs) { now_ = std::max(now_, timeMs); }

}  // namespace nimbel
