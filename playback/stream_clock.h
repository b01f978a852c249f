// Internal to playback/: where the steady clock falls among an audio
// stream's frames. The stream reports now and then how long until the last
// frame written is heard; each report gives the steady time at which frame
// 0 is heard (the origin), and frame n is heard 1/rate seconds per frame
// later. The reports of the first moments, while the stream fills before it
// starts, are not used. The origin is the median of the next few reports and
// then follows each later one by a small step, so the jitter of single
// reports (a write that returned late, the server's interpolation) hardly
// moves it.
//
// Limits: the mapping assumes the sound system's clock runs at the steady
// clock's rate. A real sound card's crystal differs by tens of parts per
// million (50 ppm is 3 ms a minute); the reports show that as a slowly moving
// origin, and the small steps follow it with a lag of about the drift of 2.6
// seconds (0.13 ms at 50 ppm). A stream that falls silent for a while (an
// underrun) moves the origin at once by the gap; the steps take a few
// seconds to follow, and notes placed meanwhile come early or late by what
// is not yet followed.
#pragma once

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
    // The frame heard at steady time `ns`; only once ready.
    std::int64_t frameAt(std::int64_t ns) const;

private:
    int rate_;
    std::int64_t settleFrames_;
    bool ready_ = false;
    std::vector<std::int64_t> firstOrigins_;
    std::int64_t originNs_ = 0;
};

}  // namespace nimbel
