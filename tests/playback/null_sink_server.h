// A PulseAudio server started by a test, with a null sink to listen on,
// reachable only through a private runtime folder.
#pragma once

#include "external_tools.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace nimbel::testing {

class NullSinkServer {
public:
    NullSinkServer()
        : runtime_("XDG_RUNTIME_DIR", folder_.path().string()),
          pulseServer_("PULSE_SERVER", std::nullopt),
          server_({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes", "-L",
                   "module-null-sink sink_name=nullsink rate=44100 norewinds=1", "-L",
                   "module-native-protocol-unix auth-anonymous=1"})
    {
        std::filesystem::permissions(folder_.path(), std::filesystem::perms::owner_all);
        for (int i = 0; i < 200 && server_.running(); ++i) {
            if (commandOutput("pactl info >/dev/null 2>&1")) {
                ready_ = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }

    bool ready() const { return ready_; }
    std::string file(const std::string& name) const { return folder_.file(name); }

private:
    TemporaryFolder folder_;
    ScopedEnvironment runtime_;
    ScopedEnvironment pulseServer_;
    BackgroundProcess server_;
    bool ready_ = false;
};

}  // namespace nimbel::testing
