#pragma once

#include <juce_events/juce_events.h>

#include <functional>
#include <memory>

namespace KA
{
/** One sign-up POST, made with libcurl on a worker thread of its own so that the
    window never waits for the network. The answer's status comes back on the message
    thread: 0 when no HTTP answer was read in time (no connection, a stalled or
    dropped connection, a reply that is not HTTP, a name that is not found or not
    found in time); a redirect status (MailRedirect::isRedirect) when a redirect could
    not be followed to its end (still one after five hops, or no readable Location);
    otherwise the final answer's status.

    There is one way to stop a request: abandon(), on the message thread. The give-up
    after answerTimeoutMs calls it, so does the destructor (the form closed, the editor
    or the application going) and so does the delivery of the answer. It only marks
    the request abandoned, under a lock that the worker holds for nothing but reading
    that mark, showing its curl handle for the wake-up and posting its answer, and
    wakes the worker's wait on its sockets; from then on the message thread hears
    nothing from the request. The worker sees the mark at its next step and ends by
    itself, cleaning up its curl handles off the message thread. It owns everything it
    touches (shared with this object only through the mark) and nobody ever waits for
    it, so a worker stuck in a name look-up is left behind, to the end of the process
    if need be. */
class MailSignUpRequest : private juce::Timer
{
public:
    /** Called on the message thread with the status, unless abandoned first; the
        request may be deleted from inside it. */
    using Completion = std::function<void (int statusCode)>;

    /** Connecting, the name look-up included, may take this long on each hop. */
    static constexpr int connectionTimeoutMs = 1000;

    /** The answer is given up this long after the start, wherever the worker is: the
        connection time plus a second for the status line. */
    static constexpr int answerTimeoutMs = connectionTimeoutMs + 1000;

    /** "See there" answers followed before a request counts as unanswered. */
    static constexpr int maxRedirects = 5;

    /** The JSON body is posted to the endpoint with the credential header line, which
        goes only to the endpoint's scheme, host and port. */
    MailSignUpRequest (const juce::URL& endpoint, const juce::String& jsonBody, const juce::String& credentialHeader,
                       Completion onMessageThread);

    /** Abandons the request; never waits. */
    ~MailSignUpRequest() override;

    void start();

    /** The one way to stop: see the class comment. */
    void abandon();

    /** The worker's side, defined where it runs. */
    struct Shared;
    struct Job;

private:

    void timerCallback() override;
    void deliver (int statusCode);

    std::unique_ptr<Job> job; // until start() hands it to the worker
    const std::shared_ptr<Shared> shared;
    Completion completion;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MailSignUpRequest)
};
} // namespace KA
