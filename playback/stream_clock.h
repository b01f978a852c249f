// Internal to playback/: where the steady clock falls among an audio
// stream's frames. The stream reports now and then how long until the last
// frame written is heard; each report gives the steady time at which frame
// 0 would be heard were every frame 1/rate seconds long (the origin). The
// reports of the first moments, while the stream fills before it starts,
// are not used. The origin starts as the median of the next few reports,
// so that one wild report among them does not count.
//
// The middle one of each three reports is taken, so that one far off (a
// write that returned late) moves nothing.
//
// A sound system's clock does not run at exactly the steady clock's rate: a
// sound card's crystal is off by tens of parts per million, and PulseAudio's
// null sink, whose clock counts whole microseconds per block, runs a few
// hundred to a couple of thousand parts per million fast with blocks of a
// few milliseconds (1,000 ppm is 1 ms a second). The reports show that as
// an origin that moves steadily. The clock therefore follows both the
// origin and its rate of change, each report moving them by a small share
// of its difference from the prediction (a loop with a time constant of
// 0.4 s): a steady rate is followed without lag, while the jitter
// of single reports (a write that returned late, the server's
// interpolation) hardly moves it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace nimbel {

class StreamClock {
public:
    StreamClock(int rate, std::int64_t settleFrames);

    // A report made at steady time `nowNs`, with `framesWritten` frames
    // written so far and `latencyNs` until the last of them is heard.
    void observe(std::int64_t nowNs, std::int64_t framesWritten, std::int64_t latencyNs);
    // Whether enough reports have come in to place frames.
    bool ready() const { return ready_; }
    // Whether, half a second of reports later, the error of the first
    // estimate (a stream's first reports can be some milliseconds off) has
    // been taken up.
    bool settled() const;
    // The frame heard at steady time `ns`; only once ready.
    std::int64_t frameAt(std::int64_t ns) const;

private:
    int rate_;
    std::int64_t settleFrames_;
    bool ready_ = false;
    std::vector<double> firstOrigins_;
    std::array<double, 3> recentOrigins_{};
    int reportsSinceReady_ = 0;
    double originNs_ = 0;         // as of the last report
    double driftNsPerFrame_ = 0;  // how the origin moves as frames are played
    std::int64_t lastFrames_ = 0;
};

}  // namespace nimbel
