// A PulseAudio server of a test's own with a null sink ("nullsink"), so that
// sound can be heard without a sound card: programs started with its
// environment play through it, and a recording of the sink's monitor shows
// what they played.
#pragma once

#include "processes.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace nimbel::testing_support {

class NullSinkServer {
public:
    // `environment` must give XDG_RUNTIME_DIR a private folder: the server
    // and its clients meet there and nowhere else.
    explicit NullSinkServer(EnvironmentChanges environment);
    bool ready() const { return ready_; }
    const EnvironmentChanges& environment() const { return environment_; }

    // Records the sink's monitor, raw 16-bit stereo at 44.1 kHz, into `file`.
    void startRecording(const std::filesystem::path& file);
    // Ends the recording: its loudness frame by frame, the larger of the two
    // channels' magnitudes.
    std::vector<int> stopRecording();

private:
    EnvironmentChanges environment_;
    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> recorder_;
    std::filesystem::path recording_;
    bool ready_ = false;
};

}  // namespace nimbel::testing_support
