// Which note column is being heard. The sequencer tells the playhead when
// each column's messages were due; a column is heard once its due time plus
// the output's latency has passed, so the mark follows the sound rather than
// the sending. Cheap: it keeps the last few column steps in a fixed ring.
// User-interface thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace nimbel {

class Playhead {
public:
    void columnStarted(std::int32_t column, std::int64_t dueMs);
    // Nothing heard any more: playing stopped or the song was replaced.
    void clear();
    // The last column heard at `nowMs`; 0 when none has been since the last clear.
    std::int32_t heardAt(std::int64_t nowMs, std::int64_t latencyMs) const;

private:
    struct Step {
        std::int32_t column = 0;
        std::int64_t dueMs = 0;
    };
    // Enough for the longest latency (100 ms) at the fastest tempo (a column every 60 ms).
    static constexpr std::size_t kSteps = 8;
    std::array<Step, kSteps> steps_{};
    std::size_t count_ = 0;  // steps noted since the last clear; the newest at (count_ - 1) % kSteps
};

}  // namespace nimbel
