#pragma once

#include <functional>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace KA::Test
{
/** What a child process made by runInChild came to. */
enum class ChildEnd { passed, failed, hung };

/** Runs the check in a forked child, so that a check that would block for ever or read
    without end (a FIFO, a device) ends the test as a failure instead of holding it
    until the suite's time-out. The child returns true for a pass. */
inline ChildEnd runInChild (const std::function<bool()>& check, int timeoutMs = 10000)
{
    const auto child = ::fork();

    if (child == 0)
        ::_exit (check() ? 0 : 1);

    if (child < 0)
        return ChildEnd::failed;

    for (int waited = 0; waited < timeoutMs; waited += 10)
    {
        int status = 0;

        if (::waitpid (child, &status, WNOHANG) == child)
            return WIFEXITED (status) && WEXITSTATUS (status) == 0 ? ChildEnd::passed : ChildEnd::failed;

        ::usleep (10000);
    }

    ::kill (child, SIGKILL);
    ::waitpid (child, nullptr, 0);
    return ChildEnd::hung;
}
} // namespace KA::Test
