#pragma once

#include <juce_events/juce_events.h>

namespace KA::Test
{
/** A request as the server read it off the socket. */
struct ReceivedRequest
{
    juce::String method, path;
    juce::StringPairArray headers; // names compared without case
    juce::String body;
};

/** A tiny HTTP server on 127.0.0.1, on a port of the system's choice, that
    answers by path:
    - /status/N: status N, no body;
    - /redirect/N: 302 to /status/N;
    - /temporary: 307 to /status/200;
    - /garbage: a reply that is not HTTP, then closes;
    - /drop: closes without a reply;
    - /stall: keeps the connection open and never answers. */
class LoopbackHttpServer : private juce::Thread
{
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer() override;

    juce::String urlFor (const juce::String& path) const;
    juce::Array<ReceivedRequest> getRequests() const;

    /** A loopback port with nothing listening on it. */
    static int closedPort();

private:
    void run() override;
    void serve (std::unique_ptr<juce::StreamingSocket> client);

    juce::StreamingSocket listener;
    juce::OwnedArray<juce::StreamingSocket> stalled;
    juce::CriticalSection lock;
    juce::Array<ReceivedRequest> requests;
};
} // namespace KA::Test
