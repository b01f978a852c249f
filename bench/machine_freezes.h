// Spans of time in which this machine ran neither of its processors. A
// virtual machine's host now and then takes every processor away at once
// (seen here: 10–60 ms, a few times in five minutes, busy or idle); no
// audio queue shorter than such a span plays through it, so the live
// benchmarks count the underruns that came with one apart from the others.
// Two threads, scheduled as the audio thread is, wake every millisecond and
// note each wake-up that came 2 ms late or more; a freeze is a span in which
// both were held up, or a few such spans with short breaths between. Costs
// a few microseconds of processor time a millisecond.
#pragma once

#include "clock.h"
#include "realtime_thread.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <thread>
#include <vector>

namespace nimbel::bench {

struct TimeSpan {
    std::int64_t fromNs = 0;
    std::int64_t toNs = 0;
};

class MachineFreezes {
public:
    MachineFreezes()
    {
        for (Watcher& watcher : watchers_) {
            watcher.late.reserve(kRoom);
            watcher.thread = std::thread([this, &watcher] { watch(watcher); });
        }
    }
    ~MachineFreezes() { stop(); }
    MachineFreezes(const MachineFreezes&) = delete;
    MachineFreezes& operator=(const MachineFreezes&) = delete;

    void stop()
    {
        stopping_ = true;
        for (Watcher& watcher : watchers_)
            if (watcher.thread.joinable()) watcher.thread.join();
    }

    // The spans in which both threads were held up, in order; after stop().
    // Spans less than 3 ms apart are one freeze: in traces of underruns the
    // sound server passed on no request in such a short breath, so its sink
    // saw one long hold-up.
    std::vector<TimeSpan> freezes() const
    {
        std::vector<TimeSpan> both;
        for (const TimeSpan& a : watchers_[0].late)
            for (const TimeSpan& b : watchers_[1].late) {
                const TimeSpan overlap{std::max(a.fromNs, b.fromNs), std::min(a.toNs, b.toNs)};
                if (overlap.toNs > overlap.fromNs) both.push_back(overlap);
            }
        std::sort(both.begin(), both.end(), [](const TimeSpan& x, const TimeSpan& y) { return x.fromNs < y.fromNs; });
        std::vector<TimeSpan> found;
        for (const TimeSpan& span : both) {
            if (!found.empty() && span.fromNs - found.back().toNs < kBreathNs)
                found.back().toNs = std::max(found.back().toNs, span.toNs);
            else found.push_back(span);
        }
        return found;
    }

private:
    static constexpr std::int64_t kPeriodNs = 1'000'000;
    static constexpr std::int64_t kLateNs = 2'000'000;
    static constexpr std::int64_t kBreathNs = 3'000'000;
    static constexpr std::size_t kRoom = 100'000;  // never grown while watching

    struct Watcher {
        std::vector<TimeSpan> late;
        std::thread thread;
    };

    void watch(Watcher& watcher)
    {
        preferRealTimeScheduling();
        std::int64_t due = SteadyClock::monotonicNs();
        while (!stopping_) {
            due += kPeriodNs;
            const timespec until{static_cast<std::time_t>(due / 1'000'000'000), static_cast<long>(due % 1'000'000'000)};
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
            const std::int64_t now = SteadyClock::monotonicNs();
            if (now - due < kLateNs) continue;
            if (watcher.late.size() < kRoom) watcher.late.push_back({due, now});
            due = now;
        }
    }

    std::array<Watcher, 2> watchers_;
    std::atomic<bool> stopping_ = false;
};

}  // namespace nimbel::bench
