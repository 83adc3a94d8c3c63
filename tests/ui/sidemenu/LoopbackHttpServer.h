#pragma once

#include <juce_events/juce_events.h>

#include <sys/socket.h>

namespace KA::Test
{
/** A request as the server read it off the socket. */
struct ReceivedRequest
{
    juce::String method, path, body;
    juce::StringPairArray headers; // names compared without case
};

/** A tiny HTTP server on 127.0.0.1, on a port of the system's choice, that
    answers by path: /status/N with status N; /redirect/N with a 302 to
    /status/N; /temporary with a 307 to /status/200; /garbage with text that is
    not HTTP; /drop by closing; /stall by never answering; /trickle with a
    status line and then a header line every 20 ms, for ever. */
class LoopbackHttpServer : private juce::Thread
{
public:
    LoopbackHttpServer() : juce::Thread ("Loopback HTTP")
    {
        listener.createListener (0, "127.0.0.1");
        startThread();
    }

    ~LoopbackHttpServer() override { stopThread (5000); }

    juce::String urlFor (const juce::String& path) const
    {
        return "http://127.0.0.1:" + juce::String (listener.getBoundPort()) + path;
    }

    juce::Array<ReceivedRequest> getRequests() const
    {
        const juce::ScopedLock sl (lock);
        return requests;
    }

    /** A loopback port with nothing listening on it. */
    static int closedPort()
    {
        juce::StreamingSocket probe;
        probe.createListener (0, "127.0.0.1");
        return probe.getBoundPort(); // closed when the probe goes
    }

private:
    void run() override
    {
        while (! threadShouldExit())
        {
            for (int i = trickling.size(); --i >= 0;)
                if (! send (*trickling[i], "X-Wait: 1\r\n"))
                    trickling.remove (i);

            if (listener.waitUntilReady (true, 20) == 1)
                if (auto* client = listener.waitForNextConnection())
                    serve (std::unique_ptr<juce::StreamingSocket> (client));
        }
    }

    /** Without SIGPIPE when the client has gone. */
    static bool send (juce::StreamingSocket& socket, const juce::String& text)
    {
        return ::send (socket.getRawSocketHandle(), text.toRawUTF8(), text.getNumBytesAsUTF8(), MSG_NOSIGNAL) > 0;
    }

    /** One byte at a time, so nothing past the request is taken. */
    static juce::String readUntil (juce::StreamingSocket& socket, const std::function<bool (const juce::MemoryBlock&)>& done)
    {
        juce::MemoryBlock text;
        char c;

        while (! done (text) && socket.waitUntilReady (true, 3000) == 1 && socket.read (&c, 1, false) == 1)
            text.append (&c, 1);

        return text.toString();
    }

    void serve (std::unique_ptr<juce::StreamingSocket> client)
    {
        ReceivedRequest r;
        auto lines = juce::StringArray::fromLines (readUntil (*client, [] (auto& t) { return t.toString().endsWith ("\r\n\r\n"); }));
        r.method = lines[0].upToFirstOccurrenceOf (" ", false, false);
        r.path = lines[0].fromFirstOccurrenceOf (" ", false, false).upToFirstOccurrenceOf (" ", false, false);

        for (int i = 1; i < lines.size(); ++i)
            if (lines[i].contains (":"))
                r.headers.set (lines[i].upToFirstOccurrenceOf (":", false, false).trim(),
                               lines[i].fromFirstOccurrenceOf (":", false, false).trim());

        const auto length = (size_t) r.headers["Content-Length"].getIntValue();
        r.body = readUntil (*client, [length] (auto& t) { return t.getSize() >= length; });

        {
            const juce::ScopedLock sl (lock);
            requests.add (r);
        }

        // A header before Location, as servers send: JUCE's parser drops the
        // first line after the status line.
        const auto reply = [] (int status, const juce::String& location = {})
        {
            return "HTTP/1.1 " + juce::String (status) + " Test\r\nServer: loopback\r\n"
                   + (location.isEmpty() ? juce::String() : "Location: " + location + "\r\n")
                   + "Content-Length: 0\r\nConnection: close\r\n\r\n";
        };
        const auto last = r.path.fromLastOccurrenceOf ("/", false, false);
        juce::String answer;

        if (r.path == "/stall")
            stalled.add (client.release());
        else if (r.path == "/trickle" && send (*client, "HTTP/1.1 200 OK\r\n"))
            trickling.add (client.release());
        else if (r.path == "/garbage")
            answer = "this is not an answer\r\n\r\n";
        else if (r.path.startsWith ("/status/"))
            answer = reply (last.getIntValue());
        else if (r.path.startsWith ("/redirect/"))
            answer = reply (302, "/status/" + last);
        else if (r.path == "/temporary")
            answer = reply (307, "/status/200");
        else if (r.path != "/drop")
            answer = reply (404);

        if (client != nullptr && answer.isNotEmpty())
            send (*client, answer);
    }

    juce::StreamingSocket listener;
    juce::OwnedArray<juce::StreamingSocket> stalled, trickling;
    juce::CriticalSection lock;
    juce::Array<ReceivedRequest> requests;
};
} // namespace KA::Test
