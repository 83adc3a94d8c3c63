#include "tests/shell/support/TestServers.h"

#include "tests/common/TestEnvironment.h"
#include "tests/shell/support/X11Session.h"

#include <juce_events/juce_events.h>

#include <csignal>
#include <dlfcn.h>
#include <jack/jack.h>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace KA::Test
{
ChildProcessHandle::~ChildProcessHandle()
{
    stop();
}

bool ChildProcessHandle::start (const juce::StringArray& args, const juce::StringPairArray& extraEnvironment,
                                int fdForChild, const juce::File& outputFile, int deathSignal)
{
    const auto parent = ::getpid();
    pid = ::fork();

    if (pid < 0)
        return false;

    if (pid == 0)
    {
        ::prctl (PR_SET_PDEATHSIG, deathSignal);

        if (::getppid() != parent)
            ::_exit (127);

        for (auto& key : extraEnvironment.getAllKeys())
            ::setenv (key.toRawUTF8(), extraEnvironment[key].toRawUTF8(), 1);

        if (fdForChild >= 0 && fdForChild != 3)
            ::dup2 (fdForChild, 3);

        const auto out = outputFile == juce::File() ? juce::String ("/dev/null") : outputFile.getFullPathName();
        const auto outFd = ::open (out.toRawUTF8(), O_WRONLY | O_CREAT | O_APPEND, 0644);

        if (outFd >= 0)
        {
            ::dup2 (outFd, 1);
            ::dup2 (outFd, 2);
        }

        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back (const_cast<char*> (a.toRawUTF8()));
        argv.push_back (nullptr);

        ::execvp (argv[0], argv.data());
        ::_exit (127);
    }

    exited = false;
    return true;
}

bool ChildProcessHandle::isRunning()
{
    if (pid <= 0 || exited)
        return false;

    if (::waitpid (pid, &status, WNOHANG) == pid)
        exited = true;

    return ! exited;
}

void ChildProcessHandle::signal (int signalNumber)
{
    if (isRunning())
        ::kill (pid, signalNumber);
}

int ChildProcessHandle::waitForExit (int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (isRunning())
    {
        if (juce::Time::getMillisecondCounter() > end)
            return -1;

        juce::Thread::sleep (10);
    }

    if (pid <= 0)
        return -1;

    return WIFEXITED (status) ? WEXITSTATUS (status) : -1;
}

void ChildProcessHandle::stop()
{
    if (! isRunning())
        return;

    ::kill (pid, SIGTERM);

    if (waitForExit (5000) == -1 && isRunning())
    {
        ::kill (pid, SIGKILL);
        ::waitpid (pid, &status, 0);
        exited = true;
    }
}

//==============================================================================
namespace
{
    ChildProcessHandle* displayServer = nullptr;

    void stopDisplayServer()
    {
        delete displayServer;
        displayServer = nullptr;
    }
} // namespace

void pinSharedLibraries()
{
    // JUCE unloads the X libraries at shutdown; their global allocations then look
    // like leaks to the sanitizer. Loaded once more with RTLD_NODELETE, they stay.
    static const bool pinned = []
    {
        for (auto* name : { "libX11.so.6", "libXext.so.6", "libXrandr.so.2", "libXinerama.so.1",
                            "libXcursor.so.1", "libXtst.so.6", "libjack.so.0" })
            ::dlopen (name, RTLD_LAZY | RTLD_NODELETE);

        return true;
    }();

    juce::ignoreUnused (pinned);
}

juce::String ensureVirtualDisplay()
{
    pinSharedLibraries();

    static const juce::String display = []
    {
        // JUCE takes X seriously (thread support, its own error handlers instead of
        // Xlib's exit-on-error) only in a process it believes to be an application.
        if (juce::JUCEApplicationBase::createInstance == nullptr)
            juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };

        int fds[2];

        if (::pipe (fds) != 0)
            return juce::String();

        displayServer = new ChildProcessHandle();
        // -displayfd picks a free display number and reports it once the server is ready.
        displayServer->start ({ "Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset" },
                              {}, fds[1]);
        ::close (fds[1]);

        juce::String number;
        pollfd p { fds[0], POLLIN, 0 };

        for (int waited = 0; waited < 10000 && ! number.containsChar ('\n'); waited += 50)
        {
            if (::poll (&p, 1, 50) > 0)
            {
                char buffer[16] = {};
                const auto n = ::read (fds[0], buffer, sizeof (buffer) - 1);

                if (n <= 0)
                    break;

                number += juce::String (buffer, (size_t) n);
            }
        }

        ::close (fds[0]);
        std::atexit (stopDisplayServer);

        const auto name = ":" + number.trim();
        ::setenv ("DISPLAY", name.toRawUTF8(), 1);

        // A desktop session has the window-manager atoms before any application starts;
        // JUCE only looks them up, so without them it ignores the close request.
        X11Session (name).internWindowManagerAtoms();
        return number.trim().isEmpty() ? juce::String() : name;
    }();

    return display;
}

//==============================================================================
namespace
{
    /** Blocks until this process holds the user's JACK test lock; -1 if it never came.
        The kernel lets go of it should the process die. */
    int takeJackTestLock()
    {
        const auto path = "/dev/shm/ka-test-jack-" + juce::String ((int) ::getuid()) + ".lock";
        const auto fd = ::open (path.toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);

        if (fd < 0)
            return -1;

        // Generous: the other holders are JACK tests of a few seconds each.
        for (int waited = 0; waited < 300000; waited += 20)
        {
            if (::flock (fd, LOCK_EX | LOCK_NB) == 0)
                return fd;

            juce::Thread::sleep (20);
        }

        ::close (fd);
        return -1;
    }

    bool hasPorts (jack_client_t* client, const char* pattern, unsigned long flags)
    {
        const auto** ports = jack_get_ports (client, pattern, JACK_DEFAULT_AUDIO_TYPE, flags);
        const bool any = ports != nullptr && ports[0] != nullptr;

        if (ports != nullptr)
            jack_free (ports);

        return any;
    }
} // namespace

JackServer::JackServer (int periodSize, int sampleRate, int numChannels, int monitoredPlaybackPorts)
    : lockFd (takeJackTestLock()),
      name ("ka-test-" + juce::String (::getpid()) + "-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt())),
      logFile (getTemporaryHome().getChildFile ("jackd-" + name + ".log"))
{
    if (lockFd < 0)
        return;

    // SIGTERM rather than SIGKILL should this process die: jackd then takes its name out
    // of the user's shared registry, whose few places would otherwise fill up for good.
    juce::StringArray args { "jackd", "--no-realtime", "-n", name, "-d", "dummy",
                             "-r", juce::String (sampleRate), "-p", juce::String (periodSize) };

    if (monitoredPlaybackPorts > 0)
        args.addArray ({ "-P", juce::String (monitoredPlaybackPorts), "-m" });
    else
        args.addArray ({ "-C", juce::String (numChannels), "-P", juce::String (numChannels) });

    process.start (args, {}, -1, logFile, SIGTERM);

    ::setenv ("JACK_DEFAULT_SERVER", name.toRawUTF8(), 1);
    pinSharedLibraries();
    const auto checkName = "ka-ready-" + juce::String (::getpid());

    for (int waited = 0; waited < 20000 && process.isRunning(); waited += 50)
    {
        jack_status_t status {};

        if (auto* client = jack_client_open (checkName.toRawUTF8(), (jack_options_t) (JackNoStartServer | JackServerName),
                                             &status, name.toRawUTF8()))
        {
            // JUCE lists devices by the clients that own ports: the driver's must be there.
            ready = hasPorts (client, "^system:", JackPortIsOutput)
                 && hasPorts (client, "^system:", JackPortIsInput);
            jack_client_close (client);

            if (ready)
                break;
        }

        juce::Thread::sleep (50);
    }
}

JackServer::~JackServer()
{
    process.stop();
    ::setenv ("JACK_DEFAULT_SERVER", "ka-test-no-server", 1);

    // The next holder may start only once this server is gone.
    if (lockFd >= 0)
        ::close (lockFd);
}

juce::String JackServer::getLog() const
{
    return lockFd < 0 ? juce::String ("no turn at the JACK test lock") : logFile.loadFileAsString();
}
} // namespace KA::Test
