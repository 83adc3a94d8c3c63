#include "tests/shell/support/TestServers.h"

#include "tests/common/TestEnvironment.h"
#include "tests/shell/support/X11Session.h"

#include <juce_events/juce_events.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <jack/jack.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace KA::Test
{
bool ChildProcessHandle::start (const juce::StringArray& args, const juce::StringPairArray& extraEnvironment,
                                int fdForChild, const juce::File& outputFile, int deathSignal)
{
    const auto parent = ::getpid();
    exited = false;

    if ((pid = ::fork()) != 0)
        return pid > 0;

    ::prctl (PR_SET_PDEATHSIG, deathSignal);

    if (::getppid() != parent)
        ::_exit (127);

    for (auto& key : extraEnvironment.getAllKeys())
        ::setenv (key.toRawUTF8(), extraEnvironment[key].toRawUTF8(), 1);

    if (fdForChild >= 0)
        ::dup2 (fdForChild, 3);

    const auto out = ::open (outputFile == juce::File() ? "/dev/null" : outputFile.getFullPathName().toRawUTF8(),
                             O_WRONLY | O_CREAT | O_APPEND, 0644);
    ::dup2 (out, 1);
    ::dup2 (out, 2);

    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back (const_cast<char*> (a.toRawUTF8()));
    argv.push_back (nullptr);
    ::execvp (argv[0], argv.data());
    ::_exit (127);
}

bool ChildProcessHandle::isRunning()
{
    if (pid > 0 && ! exited && ::waitpid (pid, &status, WNOHANG) == pid)
        exited = true;

    return pid > 0 && ! exited;
}

int ChildProcessHandle::waitForExit (int timeoutMs)
{
    for (auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs; isRunning(); juce::Thread::sleep (10))
        if (juce::Time::getMillisecondCounter() > end)
            return -1;

    return pid > 0 && WIFEXITED (status) ? WEXITSTATUS (status) : -1;
}

void ChildProcessHandle::stop()
{
    signal (SIGTERM);

    if (waitForExit (5000) == -1 && isRunning())
    {
        ::kill (pid, SIGKILL);
        ::waitpid (pid, &status, 0);
        exited = true;
    }
}

void pinSharedLibraries()
{
    // JUCE unloads these at shutdown; their allocations would then read as leaks.
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
        // JUCE treats X seriously (threads, its own error handlers) only in an application.
        if (juce::JUCEApplicationBase::createInstance == nullptr)
            juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };

        int fds[2];
        if (::pipe (fds) != 0)
            return juce::String();

        // Never deleted: the server must outlive JUCE's connection; it dies with this process.
        static auto* server = new ChildProcessHandle();
        server->start ({ "Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset" },
                                           {}, fds[1]);
        ::close (fds[1]);
        char buffer[16] = {};
        const auto n = ::read (fds[0], buffer, sizeof (buffer) - 1);   // -displayfd answers once the server is ready
        ::close (fds[0]);

        const auto number = juce::String (buffer, (size_t) juce::jmax (0, (int) n)).trim();
        if (number.isEmpty())
            return juce::String();

        ::setenv ("DISPLAY", (":" + number).toRawUTF8(), 1);
        // A desktop has the window-manager atoms before any application starts; JUCE only
        // looks them up, and without them ignores the close request.
        X11Session (":" + number).internWindowManagerAtoms();
        return ":" + number;
    }();

    return display;
}

namespace
{
bool hasPorts (jack_client_t* client, unsigned long flags)
{
    const auto** ports = jack_get_ports (client, "^system:", JACK_DEFAULT_AUDIO_TYPE, flags);
    const bool any = ports != nullptr && ports[0] != nullptr;
    jack_free (ports);
    return any;
}
} // namespace

JackServer::JackServer (int periodSize, int sampleRate, int numChannels, int monitoredPlaybackPorts)
    : lockFd (::open (("/dev/shm/ka-test-jack-" + juce::String ((int) ::getuid()) + ".lock").toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)),
      name ("ka-test-" + juce::String (::getpid()) + "-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt())),
      logFile (getTemporaryHome().getChildFile ("jackd-" + name + ".log"))
{
    if (lockFd < 0 || ::flock (lockFd, LOCK_EX) != 0)   // the kernel lets go should this process die
        return;

    juce::StringArray args { "jackd", "--no-realtime", "-n", name, "-d", "dummy",
                             "-r", juce::String (sampleRate), "-p", juce::String (periodSize) };
    if (monitoredPlaybackPorts > 0)
        args.addArray ({ "-P", juce::String (monitoredPlaybackPorts), "-m" });
    else
        args.addArray ({ "-C", juce::String (numChannels), "-P", juce::String (numChannels) });

    // SIGTERM should this process die: jackd then frees its place in the user's small registry.
    process.start (args, {}, -1, logFile, SIGTERM);
    ::setenv ("JACK_DEFAULT_SERVER", name.toRawUTF8(), 1);
    pinSharedLibraries();

    for (int waited = 0; waited < 20000 && ! ready && process.isRunning(); waited += 50, juce::Thread::sleep (50))
    {
        jack_status_t status {};
        if (auto* client = jack_client_open (("ka-ready-" + juce::String (::getpid())).toRawUTF8(),
                                             (jack_options_t) (JackNoStartServer | JackServerName), &status, name.toRawUTF8()))
        {
            // JUCE lists devices by the clients that own ports: the driver's must be there.
            ready = hasPorts (client, JackPortIsOutput) && hasPorts (client, JackPortIsInput);
            jack_client_close (client);
        }
    }
}

JackServer::~JackServer()
{
    process.stop();
    ::setenv ("JACK_DEFAULT_SERVER", "ka-test-no-server", 1);

    if (lockFd >= 0)
        ::close (lockFd);   // the next holder starts only once this server is gone
}
} // namespace KA::Test
