// Processes for the tests of files named after their writers: one that has
// ended, and the one that runs these tests' runner.
#pragma once

#include "process_identity.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbel::testing_support {

// A process that has ended: forked, killed and reaped, so that no running
// process has its identity (its id may be given again, its start time not).
inline ProcessIdentity endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::pause();
        ::_exit(0);
    }
    const ProcessIdentity identity = processIdentity(child);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return identity;
}

// A process that runs for as long as the test: the one that started it.
inline ProcessIdentity runningProcess() { return processIdentity(::getppid()); }

}  // namespace nimbel::testing_support
