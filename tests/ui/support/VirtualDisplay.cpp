// Suites named "Windowed*" open real windows: without a display, a private Xvfb
// (on a free display number of its own choosing) lives as long as the process.

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
// JUCE's logging X error handlers (not Xlib's exiting ones) are installed only in an
// application; a bare server lacks atoms JUCE sets. Needed before the display opens.
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
            // Not ":0", which may be another test's private server in a parallel run.
            ::setenv ("DISPLAY", ":none", 1);
            return;
        }

        // Kept loaded: JUCE unloads them at shutdown and their memory would read as leaks.
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
            pid = 0; // unspecified after a failure: never signalled

        // Xvfb writes the display number once it accepts connections.
        std::string number;
        char c = 0;
        while (spawned == 0 && ::read (fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close (fds[0]);

        if (! number.empty())
            ::setenv ("DISPLAY", (":" + number).c_str(), 1);

        std::atexit (stopServer);
    }

private:
    static void stopServer() // after JUCE closed its connection at the end of main
    {
        if (pid > 0 && ::kill (pid, SIGTERM) == 0)
            ::waitpid (pid, nullptr, 0);
    }

    static inline pid_t pid = 0;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment (new VirtualDisplay());
} // namespace
