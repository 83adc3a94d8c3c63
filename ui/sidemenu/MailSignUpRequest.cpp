#include "ui/sidemenu/MailSignUpRequest.h"

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

    ~AbandonedRequests() override
    {
        requests.clear(); // each one waits for its worker
        clearSingletonInstance();
    }

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
    startThread();
}

void MailSignUpRequest::cancel()
{
    wanted->store (false);

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
        if (wantedFlag->load() && onDone)
            onDone (status);
    });
}

int MailSignUpRequest::exchange()
{
    juce::WebInputStream stream (url, true);
    stream.withExtraHeaders (headers).withConnectionTimeout (connectionTimeoutMs);

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

    const juce::ScopedLock sl (streamLock);
    activeStream = nullptr;
    return status;
}
} // namespace KA
