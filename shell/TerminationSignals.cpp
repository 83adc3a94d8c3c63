#include "shell/TerminationSignals.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace KA
{
namespace
{
    std::atomic<int> signalPipe { -1 };
    struct sigaction previousTerm {}, previousInt {};

    // sigaction is a C interface, so its handler keeps C language linkage; static,
    // because C linkage would otherwise export the name despite this namespace.
    extern "C"
    {
        static void writeSignalNumber (int signalNumber)
        {
            const auto savedErrno = errno;
            const auto fd = signalPipe.load();

            if (fd >= 0)
            {
                const auto byte = (char) signalNumber;
                [[maybe_unused]] const auto written = ::write (fd, &byte, 1);
            }

            errno = savedErrno;
        }
    }
} // namespace

TerminationSignals::TerminationSignals (std::function<void()> onTermination, std::function<void()> onInterrupt)
    : terminationCallback (std::move (onTermination)), interruptCallback (std::move (onInterrupt))
{
    jassert (signalPipe.load() < 0);

    int fds[2];

    if (::pipe2 (fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;

    readEnd = fds[0];
    writeEnd = fds[1];
    signalPipe = writeEnd;

    juce::LinuxEventLoop::registerFdCallback (readEnd, [this] (int fd)
    {
        // The end of the run wins over a quit request that came with it.
        bool terminated = false, interrupted = false;
        char buffer[32];

        for (ssize_t n; (n = ::read (fd, buffer, sizeof (buffer))) > 0;)
            for (ssize_t i = 0; i < n; ++i)
                (buffer[i] == SIGTERM ? terminated : interrupted) = true;

        if (terminated && terminationCallback != nullptr)
            terminationCallback();
        else if (interrupted && interruptCallback != nullptr)
            interruptCallback();
    });

    struct sigaction action {};
    action.sa_handler = writeSignalNumber;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;

    ::sigaction (SIGTERM, &action, &previousTerm);
    ::sigaction (SIGINT, &action, &previousInt);
}

TerminationSignals::~TerminationSignals()
{
    if (readEnd < 0)
        return;

    ::sigaction (SIGTERM, &previousTerm, nullptr);
    ::sigaction (SIGINT, &previousInt, nullptr);
    signalPipe = -1;

    juce::LinuxEventLoop::unregisterFdCallback (readEnd);
    ::close (readEnd);
    ::close (writeEnd);
}
} // namespace KA
