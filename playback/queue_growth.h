// Internal to playback/: how the live output's queue grows after underruns.
// When the sound system reports that the queue ran dry, the queue is asked
// to grow by one step (5 ms), up to a ceiling, and one line on standard
// error says what it has grown to. Underruns within half a second of a step
// are taken as the same trouble and grow nothing more. The writer's latency
// grows by what the queue grew, so notes keep their places among each other
// and only come that much later. Audio thread only.
#pragma once

#include "audio_stream.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace nimbel {

class QueueGrowth {
public:
    using Log = std::function<void(std::string_view line)>;

    // Starts from the queue `buffering` asked for, and grows it up to its ceiling.
    QueueGrowth(AudioStream& stream, const StreamBuffering& buffering, Log log);

    // After each write, with the frames written so far: the frames the
    // queue has just grown by, 0 when it has not.
    int afterWrite(std::int64_t framesWritten);
    int queuedFrames() const { return queued_; }

private:
    AudioStream& stream_;
    Log log_;
    int rate_;
    int longest_;
    int queued_;
    int underrunsSeen_;
    std::int64_t calmFrom_ = 0;  // underruns before this frame belong to the last step
};

// Writes a line of the live output's log on standard error, after the program's name.
void logToStandardError(std::string_view line);

}  // namespace nimbel
