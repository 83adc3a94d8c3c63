#pragma once

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>
#include <memory>

namespace KA
{
/** One POST to the sign-up service on a worker thread of its own, so the
    window keeps running while the service takes its time. The HTTP status
    comes back on the message thread; 0 means that no HTTP answer was read in
    time (no connection, a stalled or dropped connection, a reply that is not
    HTTP). */
class MailSignUpRequest : private juce::Thread,
                          private juce::Timer
{
public:
    /** Called on the message thread with the reply's status, unless the
        request was cancelled first. */
    using Completion = std::function<void (int statusCode)>;

    /** Connecting may take this long. */
    static constexpr int connectionTimeoutMs = 1000;

    /** Whatever curl's own timers do, the answer is given up this long after
        the start: the connection time plus a second for the status line. */
    static constexpr int answerTimeoutMs = connectionTimeoutMs + 1000;

    /** url carries the POST data; headers are extra request header lines. */
    MailSignUpRequest (juce::URL url, juce::String headers, Completion onMessageThread);

    /** Cancels and waits for the worker, which the cancel cuts short. */
    ~MailSignUpRequest() override;

    void start();

    /** From the message thread: the completion is never called after this, and
        the worker stops waiting for the service as soon as it can. */
    void cancel();

    bool hasFinished() const { return ! isThreadRunning(); }

    /** For an owner that goes away while its request runs: cancels the request
        and keeps it until its worker has ended (at the latest when JUCE shuts
        down), so the owner need not wait for it. */
    static void abandon (std::unique_ptr<MailSignUpRequest> request);

private:
    void run() override;
    void timerCallback() override;
    void cancelStream();
    int exchange();
    int fetch (const juce::URL& target, const juce::String& extraHeaders, juce::String& location);

    /** An absolute address, or an absolute path on the base's server; empty
        for any other form. */
    static juce::String resolveLocation (const juce::URL& base, const juce::String& location);

    /** As many "see there" answers as JUCE itself would follow. */
    static constexpr int maxRedirects = 5;

    const juce::URL url;
    const juce::String headers;
    const Completion completion;

    /** Whether the completion is still to be called: set on the message thread
        only, shared with the message that carries the status, which may
        outlive this object. */
    const std::shared_ptr<std::atomic<bool>> wanted = std::make_shared<std::atomic<bool>> (true);

    juce::CriticalSection streamLock;
    juce::WebInputStream* activeStream = nullptr; // guarded by streamLock
    bool cancelled = false;                       // guarded by streamLock

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MailSignUpRequest)
};
} // namespace KA
