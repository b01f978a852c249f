#include "queue_growth.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

namespace nimbel {

namespace {

constexpr int kStepsPerSecond = 200;  // 5 ms
constexpr int kCalmsPerSecond = 2;    // half a second

}  // namespace

QueueGrowth::QueueGrowth(AudioStream& stream, const StreamBuffering& buffering, Log log)
    : stream_(stream),
      log_(std::move(log)),
      rate_(buffering.rate),
      longest_(buffering.longestQueueFrames),
      queued_(buffering.queuedFrames),
      underrunsSeen_(stream.underruns())
{}

int QueueGrowth::afterWrite(std::int64_t framesWritten)
{
    const int underruns = stream_.underruns();
    if (underruns == underrunsSeen_) return 0;
    underrunsSeen_ = underruns;
    if (framesWritten < calmFrom_ || queued_ >= longest_) return 0;
    calmFrom_ = framesWritten + rate_ / kCalmsPerSecond;
    const int asked = std::min(queued_ + rate_ / kStepsPerSecond, longest_);
    if (!stream_.requestQueue(asked)) return 0;
    const int grown = asked - queued_;
    queued_ = asked;
    const int ms = (queued_ * 1000 + rate_ / 2) / rate_;
    log_("audio queue grown to " + std::to_string(ms) + " ms after an underrun");
    return grown;
}

void logToStandardError(std::string_view line)
{
    std::fprintf(stderr, "nimbel-midi: %.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace nimbel
