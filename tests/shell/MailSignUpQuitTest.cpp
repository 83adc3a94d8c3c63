// The sign-up form in the real application with its request stuck in the name look-up:
// the application runs in a network of its own, loopback only, whose /etc/resolv.conf
// names a server on 127.0.0.1:53 that takes every question and never answers (a UDP
// socket that nobody reads), so the C library's look-up of the shipped address hangs
// for its 10 s. A quit then still ends the process at once, the settings saved first.
// Making the network and the mount of resolv.conf needs root, as CI runs.

#include "tests/shell/support/ApplicationRun.h"
#include "tests/shell/support/PointerDriver.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace KA::Test;

namespace
{
/** A network namespace with loopback only and a name server in it that swallows every
    question; commands run inside through wrapper(), with its network as their fd 3. */
class SilentNameServer
{
public:
    explicit SilentNameServer (const juce::File& folder) : resolvConf (folder.getChildFile ("resolv.conf"))
    {
        // A thread of its own moves to the new network and leaves the test's where it was.
        std::thread ([this]
        {
            if (::unshare (CLONE_NEWNET) != 0)
                return;

            const auto control = ::socket (AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            ifreq lo {};
            std::strcpy (lo.ifr_name, "lo");
            const auto up = ::ioctl (control, SIOCGIFFLAGS, &lo) == 0 && (lo.ifr_flags |= IFF_UP, ::ioctl (control, SIOCSIFFLAGS, &lo) == 0);
            ::close (control);

            sockaddr_in address {};
            address.sin_family = AF_INET;
            address.sin_port = htons (53);
            address.sin_addr.s_addr = htonl (INADDR_LOOPBACK);
            questions = ::socket (AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            if (! up || ::bind (questions, reinterpret_cast<sockaddr*> (&address), sizeof (address)) != 0)
                return;

            network = ::open ("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        }).join();

        resolvConf.replaceWithText ("nameserver 127.0.0.1\n");
    }

    ~SilentNameServer()
    {
        for (auto fd : { questions, network })
            if (fd >= 0)
                ::close (fd);
    }

    bool isReady() const { return questions >= 0 && network >= 0; }
    int getNetwork() const { return network; }

    /** Whether a question came within the time. */
    bool waitForQuestion (int timeoutMs) const
    {
        pollfd p { questions, POLLIN, 0 };
        return ::poll (&p, 1, timeoutMs) == 1;
    }

    /** Into the network (fd 3), then a mount namespace of its own where resolv.conf is ours. */
    juce::StringArray wrapper() const
    {
        return { "nsenter", "--net=/proc/self/fd/3", "unshare", "--mount", "--", "sh", "-c",
                 "mount --bind \"$0\" /etc/resolv.conf && exec \"$@\"", resolvConf.getFullPathName() };
    }

private:
    int questions = -1, network = -1;
    juce::File resolvConf;
};

struct Quit
{
    const char* name;
    int afterQuestionMs; // from the first question to the name server
};

void PrintTo (const Quit& q, std::ostream* os) { *os << q.name; }

class QuitWhileTheNameIsLookedUp : public ::testing::TestWithParam<Quit> {};
} // namespace

TEST_P (QuitWhileTheNameIsLookedUp, EndsTheProcessWithinASecondWithTheSettingsSaved)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a network and a mount namespace of its own need root";

    ApplicationRun run; // no "showMailForm": the form opens at start-up; the shipped addresses
    const SilentNameServer names (run.home);
    ASSERT_TRUE (names.isReady());
    X11Session x (ensureVirtualDisplay());
    ASSERT_TRUE (x.isOpen());
    ASSERT_TRUE (run.launch ({}, names.wrapper(), names.getNetwork()));
    const auto window = run.waitUntilShown (x);
    ASSERT_NE (window, 0ul) << run.getLog();

    // The form's field and "Submit" in its dialog's 600 x 250 panel, centred in the editor:
    // the content 16 in from the panel's corner, 568 x 177.
    const auto e = EditorOnScreen::locate (window);
    const auto panel = e.at ((e.w - 600) / 2 + 16, (e.h - 250) / 2 + 16);
    PointerDriver pointer (x, window);
    pointer.settle();
    pointer.clickAt (panel + juce::Point<int> (170 + 398 / 2, 71 + 30 / 2));
    xdotool ({ "type", "user@example.com" });
    pointer.clickAt (panel + juce::Point<int> (454 + 114 / 2, 105 + 35 / 2));
    ASSERT_TRUE (names.waitForQuestion (10000)) << "the sign-up looks up the service's name\n" << run.getLog();

    juce::Thread::sleep (GetParam().afterQuestionMs);
    ASSERT_TRUE (run.process.isRunning()) << run.getLog();
    const auto quit = juce::Time::getMillisecondCounter();
    ASSERT_TRUE (x.pressControlQ());
    while (run.process.isRunning() && juce::Time::getMillisecondCounter() - quit < 20000)
        if (run.process.waitForExit (20) == -1)
            x.sendIgnoredMessage (window);

    const auto tookMs = (int) (juce::Time::getMillisecondCounter() - quit);
    std::cout << "[ quit    ] " << GetParam().name << ": the process ended " << tookMs << " ms after Ctrl+Q" << std::endl;
    EXPECT_EQ (run.process.waitForExit (0), 0) << run.getLog();
    EXPECT_LT (tookMs, 1000);

    const auto settings = run.openSettings();
    EXPECT_TRUE (settings->containsKey ("filterState")); // written by the quit request
    EXPECT_TRUE (settings->containsKey ("audioSetup"));  // written at the shut-down
    EXPECT_FALSE (run.openSettings (true)->containsKey ("showMailForm")) << "no answer, nothing stored";
}

INSTANTIATE_TEST_SUITE_P (
    MailSignUp, QuitWhileTheNameIsLookedUp,
    ::testing::Values (Quit { "BeforeTheGiveUp", 300 },  // the request itself waits for the name
                       Quit { "AfterTheGiveUp", 2500 }), // given up at 2 s, the look-up still hangs
    [] (const auto& p) { return std::string (p.param.name); });
