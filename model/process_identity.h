// Which running process wrote a file: its process id and its start time, so
// that a file left by a process that has ended is told apart from one whose
// writer still runs, also once the process id has been given to another
// process. The temporary files of the file writer and the recovery files
// carry it in their names. Reads /proc (a few microseconds); any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace nimbel {

struct ProcessIdentity {
    pid_t pid = 0;
    // Clock ticks from boot to the process's start; nullopt when unknown
    // (names written before the start time was part of them).
    std::optional<std::uint64_t> startTime;

    bool operator==(const ProcessIdentity&) const = default;
};

// This process. Its start time is unknown only where /proc is not mounted.
ProcessIdentity thisProcess();
// The process that now has the id `pid`; its start time is unknown when it
// cannot be read (no such process, no /proc).
ProcessIdentity processIdentity(pid_t pid);

// "PID-START", or "PID" without a start time.
std::string identityText(const ProcessIdentity& process);
// Reads identityText's form back: decimal digits only, a process id above 0.
std::optional<ProcessIdentity> parseIdentityText(std::string_view text);

// False only when the process is surely gone: no process has its id, or the
// one that has it started at another time. A process that cannot be seen
// well enough to tell (no /proc) counts as running, so that what it wrote
// is kept.
bool stillRuns(const ProcessIdentity& process);

}  // namespace nimbel
