#pragma once

#include <juce_events/juce_events.h>

#include <sys/socket.h>

namespace KA::Test
{
struct ReceivedRequest
{
    juce::String method, path, body;
    juce::StringPairArray headers; // names compared without case
};

/** HTTP on 127.0.0.1 answering by path. With N: /status/N, and any path whose
    last segment is sN. "See there" answers: /redirect/N a 302 to /status/N;
    /loop a 302 to itself; /temporary a 307 to /status/200; /permanent/N a 308 to
    /status/N; /elsewhere a 307 to /status/200 by the name "localhost" (another
    host); /relative/N a 303 to "sN" (relative, no leading "/"); /dots/a/b a 303
    to "../../status/204"; /first-header/N a 302 whose Location is the first
    header line; /no-location a 302 without one; /ftp-location a 302 to an ftp
    address. Others: /garbage no HTTP; /stall nothing ever; /trickle a status
    line, then a header line every 20 ms for ever. */
class LoopbackHttpServer : private juce::Thread
{
public:
    LoopbackHttpServer() : juce::Thread ("Loopback HTTP") { listener.createListener (0, "127.0.0.1"); startThread(); }
    ~LoopbackHttpServer() override { stopThread (5000); }

    juce::String urlFor (const juce::String& path) const { return "http://127.0.0.1:" + juce::String (listener.getBoundPort()) + path; }
    juce::Array<ReceivedRequest> getRequests() const { const juce::ScopedLock sl (lock); return requests; }

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

    static bool send (juce::StreamingSocket& s, const juce::String& text) // no SIGPIPE once the client has gone
    {
        return ::send (s.getRawSocketHandle(), text.toRawUTF8(), text.getNumBytesAsUTF8(), MSG_NOSIGNAL) > 0;
    }

    static juce::String read (juce::StreamingSocket& s, const std::function<bool (const std::string&)>& done) // bytewise: takes nothing more
    {
        std::string text;
        for (char c; ! done (text) && s.waitUntilReady (true, 3000) == 1 && s.read (&c, 1, false) == 1;)
            text += c;
        return juce::String::fromUTF8 (text.data(), (int) text.size());
    }

    void serve (std::unique_ptr<juce::StreamingSocket> client)
    {
        ReceivedRequest r;
        const auto lines = juce::StringArray::fromLines (read (*client, [] (auto& t) { return juce::String (t).endsWith ("\r\n\r\n"); }));
        r.method = lines[0].upToFirstOccurrenceOf (" ", false, false);
        r.path = lines[0].fromFirstOccurrenceOf (" ", false, false).upToFirstOccurrenceOf (" ", false, false);

        for (int i = 1; i < lines.size(); ++i)
            if (lines[i].contains (":"))
                r.headers.set (lines[i].upToFirstOccurrenceOf (":", false, false).trim(), lines[i].fromFirstOccurrenceOf (":", false, false).trim());

        const auto length = (size_t) r.headers["Content-Length"].getIntValue();
        r.body = read (*client, [length] (auto& t) { return t.size() >= length; });
        { const juce::ScopedLock sl (lock); requests.add (r); }

        // A header before Location, as servers send, unless it is to come first.
        const auto reply = [] (const juce::String& status, const juce::String& location = {}, bool locationFirst = false)
        {
            const auto where = location.isEmpty() ? juce::String() : "Location: " + location + "\r\n";
            return "HTTP/1.1 " + status + " Test\r\n" + (locationFirst ? where + "Server: loopback\r\n" : "Server: loopback\r\n" + where)
                   + "Content-Length: 0\r\nConnection: close\r\n\r\n";
        };
        const auto last = r.path.fromLastOccurrenceOf ("/", false, false);
        const auto port = juce::String (listener.getBoundPort());

        if (r.path == "/stall")
            stalled.add (client.release());
        else if (r.path == "/trickle" && send (*client, "HTTP/1.1 200 OK\r\n"))
            trickling.add (client.release());
        else
            send (*client, r.path == "/garbage" ? "this is not an answer\r\n\r\n"
                           : r.path.startsWith ("/redirect/") ? reply ("302", "/status/" + last)
                           : r.path == "/loop" ? reply ("302", "/loop")
                           : r.path == "/temporary" ? reply ("307", "/status/200")
                           : r.path.startsWith ("/permanent/") ? reply ("308", "/status/" + last)
                           : r.path == "/elsewhere" ? reply ("307", "http://localhost:" + port + "/status/200")
                           : r.path.startsWith ("/relative/") && ! last.startsWithChar ('s') ? reply ("303", "s" + last)
                           : r.path == "/dots/a/b" ? reply ("303", "../../status/204")
                           : r.path.startsWith ("/first-header/") ? reply ("302", "/status/" + last, true)
                           : r.path == "/no-location" ? reply ("302")
                           : r.path == "/ftp-location" ? reply ("302", "ftp://127.0.0.1:" + port + "/status/200")
                           : reply (last.trimCharactersAtStart ("s")));
    }

    juce::StreamingSocket listener;
    juce::OwnedArray<juce::StreamingSocket> stalled, trickling;
    juce::CriticalSection lock;
    juce::Array<ReceivedRequest> requests;
};
} // namespace KA::Test
