#pragma once

#include <juce_core/juce_core.h>

#include <csignal>
#include <sys/types.h>

namespace KA::Test
{
/** A child process that dies with the test process, so a crashed test leaves no server
    behind. */
class ChildProcessHandle
{
public:
    ChildProcessHandle() = default;
    ~ChildProcessHandle();

    /** Starts argv[0] from PATH with the extra environment; an fd may be handed down as fd 3.
        deathSignal reaches the child when this process dies. */
    bool start (const juce::StringArray& args, const juce::StringPairArray& extraEnvironment = {},
                int fdForChild = -1, const juce::File& outputFile = {}, int deathSignal = SIGKILL);

    bool isRunning();
    void signal (int signalNumber);

    /** Waits for the exit; returns the exit status, or -1 on timeout or a signal death. */
    int waitForExit (int timeoutMs);
    bool hasExited() const noexcept { return exited; }
    int getPid() const noexcept { return pid; }
    void stop();

private:
    pid_t pid = -1;
    bool exited = false;
    int status = 0;

    JUCE_DECLARE_NON_COPYABLE (ChildProcessHandle)
};

/** Keeps the X and JACK libraries loaded until the process ends. */
void pinSharedLibraries();

/** The virtual X display of this test process: started on first use, DISPLAY set, and
    ended when the process exits (after JUCE has closed its connection). */
juce::String ensureVirtualDisplay();

/** A JACK server with the dummy driver and a name of its own; JUCE's JACK client finds
    it through JACK_DEFAULT_SERVER, which this sets while the server runs.

    libjack keeps some things per user rather than per server: each client's notification
    socket is named after the client alone (JUCE's clients always have the same names),
    and the shared-memory registry holds only a few servers. So a server of this kind runs
    in one test process of this user at a time; the others wait their turn. */
class JackServer
{
public:
    /** The dummy driver with that many capture and playback ports; with monitored ports
        given, that many playback ports instead, each with a monitor port
        ("system:monitor_N") that carries what reaches it. */
    explicit JackServer (int periodSize = 256, int sampleRate = 48000, int numChannels = 2, int monitoredPlaybackPorts = 0);
    ~JackServer();

    /** True once a client can open and the driver's ports are there. */
    bool isRunning() const noexcept { return ready; }
    const juce::String& getName() const noexcept { return name; }

    /** What jackd printed, for failure messages. */
    juce::String getLog() const;

private:
    int lockFd = -1;
    juce::String name;
    juce::File logFile;
    ChildProcessHandle process;
    bool ready = false;
};
} // namespace KA::Test
