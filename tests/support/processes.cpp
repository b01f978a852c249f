#include "processes.h"

#include "files.h"

#include <QStandardPaths>

#include <csignal>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbel::testing_support {

namespace {

void put(const std::string& name, const std::optional<std::string>& value)
{
    if (value) ::setenv(name.c_str(), value->c_str(), 1);
    else ::unsetenv(name.c_str());
}

}  // namespace

bool onPath(const std::string& program)
{
    return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options)
{
    // env(1) applies the environment changes and the working folder, so the
    // child only redirects its output between fork and exec.
    std::vector<std::string> command = {"env"};
    if (!options.workingDirectory.empty()) command.push_back("--chdir=" + options.workingDirectory);
    for (const auto& [name, value] : options.environment)
        if (!value) command.push_back("--unset=" + name);  // options before the assignments
    for (const auto& [name, value] : options.environment)
        if (value) command.push_back(name + "=" + *value);
    command.insert(command.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (std::string& word : command) args.push_back(word.data());
    args.push_back(nullptr);
    const std::string& errorFile = options.errorFile.empty() ? options.outputFile : options.errorFile;

    pid_ = ::fork();
    if (pid_ == 0) {
        // Only async-signal-safe calls until exec.
        const int out = ::open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int err = ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (out >= 0) ::dup2(out, 1);
        if (err >= 0) ::dup2(err, 2);
        if (options.inheritedFd >= 0) ::fcntl(options.inheritedFd, F_SETFD, 0);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
}

bool ChildProcess::poll()
{
    int status = 0;
    if (pid_ <= 0 || ::waitpid(pid_, &status, WNOHANG) != pid_) return false;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

bool ChildProcess::running() { return pid_ > 0 && !exitCode_ && !poll(); }

std::optional<int> ChildProcess::waitFor(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!exitCode_ && !poll()) {
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return exitCode_;
}

void ChildProcess::signal(int signalNumber)
{
    if (pid_ > 0 && !exitCode_) ::kill(pid_, signalNumber);
}

void ChildProcess::stop()
{
    if (pid_ <= 0 || exitCode_) return;
    signal(SIGTERM);
    if (!waitFor(std::chrono::seconds(3))) {
        signal(SIGKILL);
        waitFor(std::chrono::seconds(3));
    }
}

CommandResult runCommand(const std::vector<std::string>& argv, const EnvironmentChanges& environment,
                         std::chrono::milliseconds timeout)
{
    const ScratchFolder scratch("nimbel-command");
    // The child is ended (at the deadline) before its output is read.
    const std::optional<int> exitCode =
        ChildProcess(argv, {environment, "", scratch.file("out"), scratch.file("err"), -1}).waitFor(timeout);
    return {exitCode, fileText(scratch.file("out")), fileText(scratch.file("err"))};
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value) : name_(std::move(name))
{
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    put(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { put(name_, old_); }

}  // namespace nimbel::testing_support
