// The millisecond clock and sleep that pace playback. The sequencer reads
// time and sleeps only through this interface, so tests and the export tool
// run it on simulated time. Values are 64-bit and never wrap; every reading
// is greater than 1, because 0 and 1 are reserved values of nextColumnTime.
// One thread uses a clock at a time.
#pragma once

#include <cstdint>

namespace nimbel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() = 0;
    // Returns once the clock has moved on by `ms` from its reading at the call.
    virtual void sleepMs(std::int64_t ms) = 0;
};

// The system's monotonic clock. sleepMs wakes when the millisecond tick is
// reached, not a whole `ms` after a tick has already half passed, so a sleep
// that ends at a due moment ends on it (give or take the scheduler's wake-up).
class SteadyClock final : public Clock {
public:
    std::int64_t nowMs() override;
    void sleepMs(std::int64_t ms) override;

    // The system's monotonic clock in nanoseconds, and the moment on it at
    // which the reading `ms` began: what outputs that place sound in time use.
    static std::int64_t monotonicNs();
    static std::int64_t monotonicNsAt(std::int64_t ms);
};

// Time that moves only when told to: sleeping moves it on by the time slept.
class SimulatedClock final : public Clock {
public:
    explicit SimulatedClock(std::int64_t startMs = 1000);
    std::int64_t nowMs() override { return now_; }
    void sleepMs(std::int64_t ms) override;

    void advanceBy(std::int64_t ms);
    void advanceTo(std::int64_t timeMs);  // never moves back
    std::int64_t lastSleepMs() const { return lastSleep_; }

private:
    std::int64_t now_;
    std::int64_t lastSleep_ = 0;
};

}  // namespace nimbel
