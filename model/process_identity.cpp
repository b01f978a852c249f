#include "process_identity.h"

#include "text_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>

#include <signal.h>
#include <unistd.h>

namespace nimbel {

namespace {

template <typename Number>
std::optional<Number> parseDigits(std::string_view text)
{
    Number value{};
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The start time in /proc/PID/stat (its 22nd field); nullopt when it cannot be read.
std::optional<std::uint64_t> startTimeOf(pid_t pid)
{
    std::string stat;
    if (!readTextFile("/proc/" + std::to_string(pid) + "/stat", stat)) return std::nullopt;
    // The command name (field 2) is in parentheses and may itself hold spaces
    // and parentheses: the fields are counted from the last ")".
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::string_view rest = std::string_view(stat).substr(close + 1);
    for (int field = 3;; ++field) {
        const std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(start);
        const std::size_t end = std::min(rest.find(' '), rest.size());
        if (field == 22) return parseDigits<std::uint64_t>(trimmed(rest.substr(0, end), " \n"));
        rest.remove_prefix(end);
    }
}

bool noProcessHas(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

ProcessIdentity thisProcess() { return processIdentity(::getpid()); }

ProcessIdentity processIdentity(pid_t pid) { return {pid, startTimeOf(pid)}; }

std::string identityText(const ProcessIdentity& process)
{
    std::string text = std::to_string(process.pid);
    if (process.startTime) text += "-" + std::to_string(*process.startTime);
    return text;
}

std::optional<ProcessIdentity> parseIdentityText(std::string_view text)
{
    const std::size_t dash = text.find('-');
    const auto pid = parseDigits<pid_t>(text.substr(0, dash));
    if (!pid || *pid <= 0) return std::nullopt;
    if (dash == std::string_view::npos) return ProcessIdentity{*pid, std::nullopt};
    const auto startTime = parseDigits<std::uint64_t>(text.substr(dash + 1));
    if (!startTime) return std::nullopt;
    return ProcessIdentity{*pid, startTime};
}

bool stillRuns(const ProcessIdentity& process)
{
    if (noProcessHas(process.pid)) return false;
    if (!process.startTime) return true;
    if (const auto started = startTimeOf(process.pid)) return *started == *process.startTime;
    // Gone between the two looks, or hidden from this user's /proc.
    return !noProcessHas(process.pid);
}

}  // namespace nimbel
