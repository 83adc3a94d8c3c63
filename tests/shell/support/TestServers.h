#pragma once

#include <juce_core/juce_core.h>

#include <csignal>
#include <sys/types.h>

namespace KA::Test
{
/** A child process that dies with the test process (deathSignal), so a crashed test
    leaves no server behind; stopped with SIGTERM, then SIGKILL, when this goes. */
class ChildProcessHandle
{
public:
    ChildProcessHandle() = default;
    ~ChildProcessHandle() { stop(); }

    /** Starts argv[0] from PATH; fdForChild becomes its fd 3; output goes to outputFile. */
    bool start (const juce::StringArray& args, const juce::StringPairArray& extraEnvironment = {},
                int fdForChild = -1, const juce::File& outputFile = {}, int deathSignal = SIGKILL);
    bool isRunning();
    void signal (int signalNumber) { if (isRunning()) ::kill (pid, signalNumber); }
    /** The exit status, or -1 on timeout or a death by signal. */
    int waitForExit (int timeoutMs);
    void stop();

private:
    pid_t pid = -1;
    bool exited = false;
    int status = 0;
    JUCE_DECLARE_NON_COPYABLE (ChildProcessHandle)
};

/** Keeps the X and JACK libraries loaded to the end, so their allocations are no leaks. */
void pinSharedLibraries();

/** This test process's own Xvfb display (DISPLAY is set), started on first use. */
juce::String ensureVirtualDisplay();

/** jackd with the dummy driver under a name of its own, set as JACK_DEFAULT_SERVER while
    it runs. libjack names client sockets per user, not per server, so one such server
    runs per user at a time: the others wait at a lock. */
class JackServer
{
public:
    /** The dummy driver with that many capture and playback ports, or with that many
        monitored playback ports ("system:monitor_N" carries what reaches each). */
    explicit JackServer (int periodSize = 256, int sampleRate = 48000, int numChannels = 2, int monitoredPlaybackPorts = 0);
    ~JackServer();

    bool isRunning() const noexcept { return ready; }
    const juce::String& getName() const noexcept { return name; }
    juce::String getLog() const { return logFile.loadFileAsString(); }

private:
    int lockFd = -1;
    juce::String name;
    juce::File logFile;
    ChildProcessHandle process;
    bool ready = false;
};
} // namespace KA::Test
