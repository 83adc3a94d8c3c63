#pragma once

#include <functional>

namespace KA
{
/** Turns SIGTERM, this platform's notice that the application is being ended, and
    SIGINT, Ctrl+C in a terminal, which asks it to quit as Ctrl+Q does, into calls on the
    message thread. The handler only writes the signal's number into a pipe that JUCE's
    event loop watches. One instance at a time. */
class TerminationSignals
{
public:
    TerminationSignals (std::function<void()> onTermination, std::function<void()> onInterrupt);
    ~TerminationSignals();

    bool isActive() const noexcept { return readEnd >= 0; }

private:
    std::function<void()> terminationCallback, interruptCallback;
    int readEnd = -1, writeEnd = -1;

    TerminationSignals (const TerminationSignals&) = delete;
    TerminationSignals& operator= (const TerminationSignals&) = delete;
};
} // namespace KA
