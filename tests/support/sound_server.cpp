#include "sound_server.h"

#include "files.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace nimbel::testing_support {

using namespace std::chrono_literals;

NullSinkServer::NullSinkServer(EnvironmentChanges environment) : environment_(std::move(environment))
{
    environment_["PULSE_SERVER"] = std::nullopt;
    // norewinds: without it the first second played is lost.
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes", "-L",
                                 "module-null-sink sink_name=nullsink rate=44100 norewinds=1", "-L",
                                 "module-native-protocol-unix auth-anonymous=1"},
        ChildProcess::Options{environment_, "", "/dev/null", "", -1});
    for (int i = 0; i < 200 && server_->running() && !ready_; ++i) {
        ready_ = runCommand({"pactl", "info"}, environment_, 2s).exitCode == 0;
        if (!ready_) std::this_thread::sleep_for(25ms);
    }
}

void NullSinkServer::startRecording(const std::filesystem::path& file)
{
    recording_ = file;
    recorder_ = std::make_unique<ChildProcess>(std::vector<std::string>{"parec", "--latency-msec=20", "-d",
                                                                        "nullsink.monitor", "--raw", "--format=s16le",
                                                                        "--rate=44100", "--channels=2", file.string()},
                                               ChildProcess::Options{environment_, "", "/dev/null", "", -1});
}

std::vector<int> NullSinkServer::stopRecording()
{
    if (!recorder_) return {};
    recorder_->signal(SIGINT);
    recorder_->waitFor(5s);
    recorder_.reset();
    const std::string raw = fileText(recording_);
    const auto sample = [&raw](std::size_t at) {  // the low byte first
        return std::abs(static_cast<signed char>(raw[at + 1]) * 256 + static_cast<unsigned char>(raw[at]));
    };
    std::vector<int> frames;
    frames.reserve(raw.size() / 4);
    for (std::size_t i = 0; i + 3 < raw.size(); i += 4) frames.push_back(std::max(sample(i), sample(i + 2)));
    return frames;
}

}  // namespace nimbel::testing_support
