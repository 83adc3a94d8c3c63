#include "ui/sidemenu/MailSignUpRequest.h"

#include "ui/sidemenu/MailRedirect.h"

#include <curl/curl.h>

#include <cctype>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace KA
{
/** The mark shared by the message thread and the worker (see the class comment). */
struct MailSignUpRequest::Shared
{
    std::mutex lock;
    MailSignUpRequest* owner = nullptr; // guarded by lock; null once abandoned
    CURLM* waitingIn = nullptr;         // guarded by lock: the worker's multi handle while it lives
};

/** Everything the worker needs, its own copies in plain standard strings. */
struct MailSignUpRequest::Job
{
    std::string endpoint, body, credentialHeader;
    std::shared_ptr<Shared> shared;
};

namespace
{
bool isAbandoned (MailSignUpRequest::Shared& shared);

/** The status line and Location of the answer being read; done once the header of a
    final (not 1xx) answer has ended, where the reading stops: the body is not read. */
struct Answer
{
    int status = 0;
    std::string location;
    bool done = false;
};

size_t readHeaderLine (char* data, size_t size, size_t count, void* user)
{
    auto& answer = *static_cast<Answer*> (user);
    const std::string line (data, size * count);
    const auto startsWith = [&line] (const char* prefix)
    {
        for (size_t i = 0; prefix[i] != 0; ++i)
            if (i >= line.size() || std::tolower ((unsigned char) line[i]) != prefix[i])
                return false;
        return true;
    };

    if (startsWith ("http/"))
    {
        // Every line after it counts, the first one included (JUCE's parser drops it).
        answer = {};
        const auto space = line.find (' ');
        answer.status = space != std::string::npos ? std::atoi (line.c_str() + space + 1) : 0;
    }
    else if (startsWith ("location:"))
    {
        const auto value = line.substr (9);
        const auto first = value.find_first_not_of (" \t\r\n");
        answer.location = first == std::string::npos ? std::string() : value.substr (first, value.find_last_not_of (" \t\r\n") - first + 1);
    }
    else if (line.find_first_not_of ("\r\n") == std::string::npos && answer.status >= 200)
    {
        answer.done = true;
        return 0; // stops the transfer here
    }

    return size * count;
}

size_t ignoreBody (char*, size_t size, size_t count, void*) { return size * count; }

/** One HTTP exchange; the answer's status once its header is complete, else 0. */
int exchange (const std::string& url, bool post, const std::string& body, const std::vector<std::string>& headers,
              std::string& location, MailSignUpRequest::Shared& shared)
{
    Answer answer;
    auto* easy = curl_easy_init();
    auto* multi = curl_multi_init();
    curl_slist* headerList = curl_slist_append (nullptr, "Expect:");

    for (auto& h : headers)
        headerList = curl_slist_append (headerList, h.c_str());

    if (easy != nullptr && multi != nullptr && headerList != nullptr)
    {
        curl_easy_setopt (easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt (easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt (easy, CURLOPT_FOLLOWLOCATION, 0L); // followed in work(), with the method each status asks for
        curl_easy_setopt (easy, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt (easy, CURLOPT_CONNECTTIMEOUT_MS, (long) MailSignUpRequest::connectionTimeoutMs);
        // Cleaning up does not wait for a name look-up that hangs (libcurl's resolver thread is left to it).
        curl_easy_setopt (easy, CURLOPT_QUICK_EXIT, 1L);
        curl_easy_setopt (easy, CURLOPT_HTTPHEADER, headerList);
        // Through a proxy, the tunnel's own "200 Connection established" would otherwise
        // reach the header reader and pass for the service's answer before anything is sent.
        curl_easy_setopt (easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        curl_easy_setopt (easy, CURLOPT_HEADERFUNCTION, readHeaderLine);
        curl_easy_setopt (easy, CURLOPT_HEADERDATA, &answer);
        curl_easy_setopt (easy, CURLOPT_WRITEFUNCTION, ignoreBody);

        if (post)
        {
            curl_easy_setopt (easy, CURLOPT_POSTFIELDSIZE, (long) body.size());
            curl_easy_setopt (easy, CURLOPT_POSTFIELDS, body.c_str());
        }

        curl_multi_add_handle (multi, easy);
        auto abandoned = false;

        {
            const std::lock_guard<std::mutex> l (shared.lock);
            abandoned = shared.owner == nullptr;
            shared.waitingIn = multi;
        }

        for (int running = 1; ! abandoned && running > 0;)
        {
            if (curl_multi_perform (multi, &running) != CURLM_OK)
                break;

            if (running > 0)
                curl_multi_poll (multi, nullptr, 0, 1000, nullptr); // abandon() wakes it

            abandoned = isAbandoned (shared);
        }

        {
            const std::lock_guard<std::mutex> l (shared.lock);
            shared.waitingIn = nullptr;
        }

        curl_multi_remove_handle (multi, easy);
    }

    curl_easy_cleanup (easy);
    curl_multi_cleanup (multi);
    curl_slist_free_all (headerList);
    location = answer.location;
    return answer.done ? answer.status : 0;
}

bool isAbandoned (MailSignUpRequest::Shared& shared)
{
    const std::lock_guard<std::mutex> l (shared.lock);
    return shared.owner == nullptr;
}

/** A Location curl would take, resolved against the request's address; empty if none. */
std::string nextAddress (const std::string& current, const std::string& location)
{
    if (location.empty())
        return {};

    auto next = MailRedirect::resolve (current, location);
    next = next.substr (0, next.find ('#'));
    auto* parsed = curl_url();
    const auto readable = parsed != nullptr && curl_url_set (parsed, CURLUPART_URL, next.c_str(), 0) == CURLUE_OK;
    curl_url_cleanup (parsed);
    return readable && MailRedirect::isHttpAddress (next) ? next : std::string();
}
} // namespace

MailSignUpRequest::MailSignUpRequest (const juce::URL& endpoint, const juce::String& jsonBody,
                                      const juce::String& credentialHeader, Completion onMessageThread)
    : job (std::make_unique<Job>()),
      shared (std::make_shared<Shared>()),
      completion (std::move (onMessageThread))
{
    job->endpoint = endpoint.toString (false).toStdString();
    job->body = jsonBody.toStdString();
    job->credentialHeader = credentialHeader.toStdString();
    job->shared = shared;
    shared->owner = this;
}

MailSignUpRequest::~MailSignUpRequest()
{
    abandon();
}

void MailSignUpRequest::start()
{
    if (job == nullptr)
        return;

    {
        // A request abandoned before it started is never heard from either.
        const std::lock_guard<std::mutex> l (shared->lock);

        if (shared->owner == nullptr)
        {
            job.reset();
            return;
        }
    }

    static const auto curlReady = curl_global_init (CURL_GLOBAL_DEFAULT) == CURLE_OK;
    juce::ignoreUnused (curlReady);
    startTimer (answerTimeoutMs);

    auto work = [j = std::move (*job)]
    {
        // 301, 302 and 303 turn the sign-up into a plain GET that carries nothing of it;
        // 307 and 308 repeat the POST, body and all, with the credential only to the
        // endpoint's scheme, host and port.
        auto target = j.endpoint;
        auto post = true;
        auto status = 0;

        for (int hop = 0;; ++hop)
        {
            std::vector<std::string> headers;
            if (post)
                headers.push_back ("Content-Type: application/json");
            if (post && (hop == 0 || MailRedirect::haveSameOrigin (target, j.endpoint)))
                headers.push_back (j.credentialHeader);

            std::string location;
            status = exchange (target, post, j.body, headers, location, *j.shared);

            if (! MailRedirect::isRedirect (status) || hop == maxRedirects || isAbandoned (*j.shared))
                break;

            const auto next = nextAddress (target, location);
            if (next.empty())
                break; // the redirect stands: no answer

            post = post && MailRedirect::keepsMethodAndBody (status);
            target = next;
        }

        const std::lock_guard<std::mutex> l (j.shared->lock);
        if (j.shared->owner != nullptr)
            juce::MessageManager::callAsync ([shared = j.shared, status]
            {
                std::unique_lock<std::mutex> held (shared->lock);
                auto* owner = shared->owner;
                held.unlock();

                if (owner != nullptr)
                    owner->deliver (status);
            });
    };

    job.reset();

    try
    {
        std::thread (std::move (work)).detach();
    }
    catch (const std::system_error&) // no thread to be had: the give-up answers
    {
    }
}

void MailSignUpRequest::abandon()
{
    stopTimer();
    const std::lock_guard<std::mutex> l (shared->lock);
    shared->owner = nullptr;

    if (shared->waitingIn != nullptr)
        curl_multi_wakeup (shared->waitingIn);
}

void MailSignUpRequest::timerCallback()
{
    deliver (0); // given up
}

void MailSignUpRequest::deliver (int statusCode)
{
    abandon();

    if (auto onDone = std::exchange (completion, nullptr))
        onDone (statusCode); // may delete this request
}
} // namespace KA
