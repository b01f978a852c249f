// Starting other programs from a test (a display server, a sound server, the
// program itself, command-line tools) with a chosen environment, waiting for
// them with a deadline, and ending them by their process id when the test
// is done. POSIX only.
#pragma once

#include "scratch_files.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace nimbel::testing_support {

// Changes to the test's own environment: a value sets a variable, nullopt removes it.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// Whether `program` can be found on the PATH.
inline bool onPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

class ChildProcess {
public:
    struct Options {
        EnvironmentChanges environment;
        std::string workingDirectory;          // "" = the test's own
        std::string outputFile = "/dev/null";  // stdout and stderr
        int inheritedFd = -1;                  // kept open in the child (e.g. a pipe end)
    };

    ChildProcess(const std::vector<std::string>& argv, const Options& options)
    {
        std::map<std::string, std::string> variables;
        for (char** e = environ; *e; ++e) {
            const std::string entry(*e);
            const size_t equals = entry.find('=');
            if (equals != std::string::npos) variables[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
        for (const auto& [name, value] : options.environment) {
            if (value) variables[name] = *value;
            else variables.erase(name);
        }
        std::vector<std::string> envText;
        for (const auto& [name, value] : variables) envText.push_back(name + "=" + value);
        std::vector<char*> envp, args;
        for (auto& s : envText) envp.push_back(s.data());
        envp.push_back(nullptr);
        std::vector<std::string> argText = argv;
        for (auto& s : argText) args.push_back(s.data());
        args.push_back(nullptr);

        pid_ = ::fork();
        if (pid_ == 0) {
            // Only async-signal-safe calls until exec.
            const int out = ::open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (out >= 0) {
                ::dup2(out, 1);
                ::dup2(out, 2);
            }
            if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0) ::_exit(126);
            if (options.inheritedFd >= 0) ::fcntl(options.inheritedFd, F_SETFD, 0);
            ::execvpe(args[0], args.data(), envp.data());
            ::_exit(127);
        }
    }

    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }

    // The exit code (128 + signal for a killed process), or nullopt at the deadline.
    std::optional<int> waitFor(std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!exitCode_ && !poll()) {
            if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return exitCode_;
    }

    void signal(int signalNumber)
    {
        if (pid_ > 0 && !exitCode_) ::kill(pid_, signalNumber);
    }

    // Asks the process to end, and ends it for sure if it does not.
    void stop()
    {
        if (pid_ <= 0 || exitCode_) return;
        signal(SIGTERM);
        if (!waitFor(std::chrono::seconds(3))) {
            signal(SIGKILL);
            waitFor(std::chrono::seconds(3));
        }
    }

private:
    bool poll()
    {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    }

    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

struct CommandResult {
    std::optional<int> exitCode;  // nullopt: it did not end in time
    std::string output;
};

// Runs a command to its end (or the deadline) and returns what it printed.
inline CommandResult runCommand(const std::vector<std::string>& argv, const EnvironmentChanges& environment,
                                std::chrono::milliseconds timeout, const std::string& scratchFile)
{
    std::remove(scratchFile.c_str());
    ChildProcess child(argv, {environment, "", scratchFile, -1});
    const std::optional<int> exitCode = child.waitFor(timeout);
    child.stop();
    return {exitCode, fileText(scratchFile)};
}

}  // namespace nimbel::testing_support
