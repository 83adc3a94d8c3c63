#include "ui/sidemenu/MailSignUpRequest.h"

#include <algorithm>
#include <vector>

namespace KA
{
namespace
{
/** Requests whose owners went away, kept until their workers end. JUCE deletes
    it when it shuts down, after the windows and before the message manager. */
class AbandonedRequests : public juce::DeletedAtShutdown
{
public:
    AbandonedRequests() = default;

    // Each request waits for its worker as the list goes.
    ~AbandonedRequests() override { clearSingletonInstance(); }

    void keep (std::unique_ptr<MailSignUpRequest> request)
    {
        requests.erase (std::remove_if (requests.begin(), requests.end(),
                                        [] (const auto& r) { return r->hasFinished(); }),
                        requests.end());
        requests.push_back (std::move (request));
    }

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL (AbandonedRequests)

private:
    std::vector<std::unique_ptr<MailSignUpRequest>> requests;
};

JUCE_IMPLEMENT_SINGLETON (AbandonedRequests)
} // namespace

MailSignUpRequest::MailSignUpRequest (juce::URL u, juce::String h, Completion onMessageThread)
    : juce::Thread ("Mail sign-up"),
      url (std::move (u)),
      headers (std::move (h)),
      completion (std::move (onMessageThread))
{
}

MailSignUpRequest::~MailSignUpRequest()
{
    cancel();
    stopThread (-1);
}

void MailSignUpRequest::start()
{
    startTimer (answerTimeoutMs);
    startThread();
}

void MailSignUpRequest::cancel()
{
    wanted->store (false);
    stopTimer();
    cancelStream();
}

void MailSignUpRequest::timerCallback()
{
    stopTimer();

    if (! wanted->exchange (false))
        return;

    cancelStream();

    if (completion)
        completion (0); // may delete this request
}

void MailSignUpRequest::cancelStream()
{
    signalThreadShouldExit();

    const juce::ScopedLock sl (streamLock);
    cancelled = true;

    if (activeStream != nullptr)
        activeStream->cancel();
}

void MailSignUpRequest::abandon (std::unique_ptr<MailSignUpRequest> request)
{
    if (request == nullptr)
        return;

    request->cancel();

    if (! request->hasFinished())
        AbandonedRequests::getInstance()->keep (std::move (request));
}

void MailSignUpRequest::run()
{
    const auto status = exchange();

    juce::MessageManager::callAsync ([wantedFlag = wanted, onDone = completion, status]
    {
        if (wantedFlag->exchange (false) && onDone)
            onDone (status);
    });
}

int MailSignUpRequest::exchange()
{
    juce::String location;
    auto target = url;
    auto status = fetch (target, headers, location);

    // curl would follow a redirect itself, but its GET to the new place keeps
    // the POST's length header without a body, so the server there waits for
    // a body that never comes. A "see there" answer is followed here with a
    // plain GET; a 307 or 308 asks to repeat the POST, which is not done.
    for (int hop = 0; hop < maxRedirects && (status == 301 || status == 302 || status == 303); ++hop)
    {
        const auto next = resolveLocation (target, location);

        if (next.isEmpty())
            break;

        target = juce::URL (next);
        status = fetch (target, {}, location);
    }

    return status;
}

int MailSignUpRequest::fetch (const juce::URL& target, const juce::String& extraHeaders, juce::String& location)
{
    juce::WebInputStream stream (target, target.getPostData().isNotEmpty());
    stream.withExtraHeaders (extraHeaders)
          .withConnectionTimeout (connectionTimeoutMs)
          .withNumRedirectsToFollow (0);

    {
        const juce::ScopedLock sl (streamLock);

        if (cancelled)
            return 0;

        activeStream = &stream;
    }

    // connect also answers true when the exchange failed before any status
    // line arrived; the status then stays 0.
    const auto connected = stream.connect (nullptr);
    const auto status = connected ? stream.getStatusCode() : 0;
    // Without a Location the answer is taken as it is.
    location = connected ? stream.getResponseHeaders()["Location"] : juce::String();

    const juce::ScopedLock sl (streamLock);
    activeStream = nullptr;
    return status;
}

juce::String MailSignUpRequest::resolveLocation (const juce::URL& base, const juce::String& location)
{
    if (location.startsWithIgnoreCase ("http://") || location.startsWithIgnoreCase ("https://"))
        return location;

    if (! location.startsWithChar ('/') || location.startsWith ("//"))
        return {};

    const auto full = base.toString (false);
    auto origin = full.dropLastCharacters (base.getSubPath (false).length());

    while (origin.endsWithChar ('/'))
        origin = origin.dropLastCharacters (1);

    return origin + location;
}
} // namespace KA
