// Tests whose suite name starts with "Windowed" put real windows on screen. When
// such a test runs without an X display (CI), this starts a private Xvfb before
// JUCE first opens the display and stops it when the process ends; other test
// processes pay nothing. Xvfb picks a free display number itself, so processes
// running in parallel never collide.

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <csignal>
#include <dlfcn.h>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
// JUCE installs its own X error handlers (which log) in place of Xlib's (which
// exit) only in a process it takes for an application; a bare server without a
// window manager lacks atoms JUCE sets on every window. This must hold before
// JUCE opens the display, hence a static initialiser.
[[maybe_unused]] const bool runsAsApplication = []
{
    if (juce::JUCEApplicationBase::createInstance == nullptr)
        juce::JUCEApplicationBase::createInstance = []() -> juce::JUCEApplicationBase* { return nullptr; };
    return true;
}();

bool windowedTestsSelected()
{
    auto& unitTest = *::testing::UnitTest::GetInstance();

    for (int i = 0; i < unitTest.total_test_suite_count(); ++i)
        if (auto* suite = unitTest.GetTestSuite (i); suite->should_run() && std::string (suite->name()).rfind ("Windowed", 0) == 0)
            return true;

    return false;
}

class VirtualDisplay : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (const char* existing = std::getenv ("DISPLAY"); existing != nullptr && *existing != 0)
            return;

        if (! windowedTestsSelected())
        {
            // Without DISPLAY, JUCE tries ":0"; in a parallel run that may be another
            // test's private server, which ends with that test and takes this process
            // with it. A name no server can have keeps these tests headless.
            ::setenv ("DISPLAY", ":none", 1);
            return;
        }

        // JUCE unloads the X libraries at shutdown; what they keep for the whole process
        // (an alert window's, say) would then read as leaks from an unknown module.
        for (auto* name : { "libX11.so.6", "libXext.so.6", "libXrandr.so.2", "libXinerama.so.1", "libXcursor.so.1" })
            ::dlopen (name, RTLD_LAZY | RTLD_NODELETE);

        int fds[2];
        if (::pipe (fds) != 0)
            return;

        const auto fdText = std::to_string (fds[1]);
        const char* argv[] = { "Xvfb", "-displayfd", fdText.c_str(), "-nolisten", "tcp",
                               "-screen", "0", "1920x1080x24", nullptr };

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init (&actions);
        posix_spawn_file_actions_addclose (&actions, fds[0]);
        posix_spawn_file_actions_addopen (&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

        const auto spawned = posix_spawnp (&pid, "Xvfb", &actions, nullptr, const_cast<char**> (argv), environ);
        posix_spawn_file_actions_destroy (&actions);
        ::close (fds[1]);

        if (spawned != 0)
        {
            pid = 0;
            ::close (fds[0]);
            return;
        }

        // Xvfb writes the display number once it accepts connections.
        std::string number;
        char c = 0;
        while (::read (fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close (fds[0]);

        if (! number.empty())
            ::setenv ("DISPLAY", (":" + number).c_str(), 1);

        std::atexit (stopServer);
    }

private:
    // JUCE closes its display connection only after the tests, when main ends;
    // the server goes after that.
    static void stopServer()
    {
        if (pid > 0)
        {
            ::kill (pid, SIGTERM);
            ::waitpid (pid, nullptr, 0);
            pid = 0;
        }
    }

    static inline pid_t pid = 0;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment (new VirtualDisplay());
} // namespace
