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

    extern "C" void writeTerminationByte (int)
    {
        const auto savedErrno = errno;
        const auto fd = signalPipe.load();

        if (fd >= 0)
        {
            const char byte = 1;
            [[maybe_unused]] const auto written = ::write (fd, &byte, 1);
        }

        errno = savedErrno;
    }
} // namespace

TerminationSignals::TerminationSignals (std::function<void()> onTermination)
    : callback (std::move (onTermination))
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
        char buffer[32];
        while (::read (fd, buffer, sizeof (buffer)) > 0) {}

        if (callback != nullptr)
            callback();
    });

    struct sigaction action {};
    action.sa_handler = writeTerminationByte;
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
