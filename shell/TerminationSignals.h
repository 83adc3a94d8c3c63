#pragma once

#include <functional>

namespace KA
{
/** Turns SIGTERM and SIGINT, this platform's notice that the application is being
    ended, into a call on the message thread. The handler only writes a byte into a
    pipe that JUCE's event loop watches. One instance at a time. */
class TerminationSignals
{
public:
    explicit TerminationSignals (std::function<void()> onTermination);
    ~TerminationSignals();

    bool isActive() const noexcept { return readEnd >= 0; }

private:
    std::function<void()> callback;
    int readEnd = -1, writeEnd = -1;

    TerminationSignals (const TerminationSignals&) = delete;
    TerminationSignals& operator= (const TerminationSignals&) = delete;
};
} // namespace KA
