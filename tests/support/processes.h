// Running other programs from a test (a display server, a sound server, the
// program itself, command-line tools) with a chosen environment, waiting for
// them with a deadline, and ending them by their process id; and changing
// the test's own environment for a while. POSIX only.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace nimbel::testing_support {

// Changes to the environment: a value sets a variable, nullopt removes it.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// Whether `program` can be found on the PATH.
bool onPath(const std::string& program);

class ChildProcess {
public:
    struct Options {
        EnvironmentChanges environment;
        std::string workingDirectory;          // "" = the test's own
        std::string outputFile = "/dev/null";  // standard output, and standard error unless errorFile is given
        std::string errorFile;
        int inheritedFd = -1;  // kept open in the child (e.g. a pipe end)
    };

    ChildProcess(const std::vector<std::string>& argv, const Options& options);
    // Ends the process (see stop) if it still runs.
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // The exit code (128 + signal for a killed process), or nullopt at the deadline.
    std::optional<int> waitFor(std::chrono::milliseconds timeout);
    void signal(int signalNumber);
    // Asks the process to end with SIGTERM, and kills it if it does not.
    void stop();

private:
    bool poll();

    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

struct CommandResult {
    std::optional<int> exitCode;  // nullopt: it did not end in time
    std::string out;
    std::string err;
};

// Runs a command to its end (or the deadline) and returns what it printed.
CommandResult runCommand(const std::vector<std::string>& argv, const EnvironmentChanges& environment = {},
                         std::chrono::milliseconds timeout = std::chrono::seconds(60));

// Sets (or, with nullopt, removes) a variable of the test's own environment until destruction.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace nimbel::testing_support
