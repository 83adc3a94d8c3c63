#include "tests/ui/sidemenu/LoopbackHttpServer.h"

namespace KA::Test
{
namespace
{
constexpr int readTimeoutMs = 3000;

/** Reads until the text holds `wanted` bytes, the peer stops or time runs out. */
bool readInto (juce::StreamingSocket& socket, juce::MemoryBlock& text, size_t wanted)
{
    char buffer[4096];

    while (text.getSize() < wanted)
    {
        if (socket.waitUntilReady (true, readTimeoutMs) != 1)
            return false;

        const auto n = socket.read (buffer, (int) juce::jmin (sizeof (buffer), wanted - text.getSize()), false);

        if (n <= 0)
            return false;

        text.append (buffer, (size_t) n);
    }

    return true;
}

ReceivedRequest readRequest (juce::StreamingSocket& socket)
{
    juce::MemoryBlock raw;
    int headerEnd = -1;

    while (headerEnd < 0 && readInto (socket, raw, raw.getSize() + 1))
        headerEnd = raw.toString().indexOf ("\r\n\r\n");

    ReceivedRequest request;

    if (headerEnd < 0)
        return request;

    auto lines = juce::StringArray::fromLines (raw.toString().substring (0, headerEnd));
    request.method = lines[0].upToFirstOccurrenceOf (" ", false, false);
    request.path = lines[0].fromFirstOccurrenceOf (" ", false, false).upToFirstOccurrenceOf (" ", false, false);

    for (int i = 1; i < lines.size(); ++i)
        request.headers.set (lines[i].upToFirstOccurrenceOf (":", false, false).trim(),
                             lines[i].fromFirstOccurrenceOf (":", false, false).trim());

    const auto bodyStart = (size_t) headerEnd + 4;
    readInto (socket, raw, bodyStart + (size_t) request.headers["Content-Length"].getIntValue());
    request.body = juce::String::fromUTF8 (static_cast<const char*> (raw.getData()) + bodyStart,
                                           (int) (raw.getSize() - bodyStart));
    return request;
}

juce::String reply (int status, const juce::String& location = {})
{
    // A header before Location, as servers send: JUCE's header parser drops
    // the first line after the status line.
    return "HTTP/1.1 " + juce::String (status) + " Test\r\nServer: loopback\r\n"
           + (location.isEmpty() ? juce::String() : "Location: " + location + "\r\n")
           + "Content-Length: 0\r\nConnection: close\r\n\r\n";
}
} // namespace

LoopbackHttpServer::LoopbackHttpServer() : juce::Thread ("Loopback HTTP")
{
    listener.createListener (0, "127.0.0.1");
    startThread();
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stopThread (5000);
}

juce::String LoopbackHttpServer::urlFor (const juce::String& path) const
{
    return "http://127.0.0.1:" + juce::String (listener.getBoundPort()) + path;
}

juce::Array<ReceivedRequest> LoopbackHttpServer::getRequests() const
{
    const juce::ScopedLock sl (lock);
    return requests;
}

int LoopbackHttpServer::closedPort()
{
    juce::StreamingSocket probe;
    probe.createListener (0, "127.0.0.1");
    return probe.getBoundPort(); // closed when the probe goes
}

void LoopbackHttpServer::run()
{
    while (! threadShouldExit())
        if (listener.waitUntilReady (true, 20) == 1)
            if (auto* client = listener.waitForNextConnection())
                serve (std::unique_ptr<juce::StreamingSocket> (client));
}

void LoopbackHttpServer::serve (std::unique_ptr<juce::StreamingSocket> client)
{
    const auto request = readRequest (*client);

    {
        const juce::ScopedLock sl (lock);
        requests.add (request);
    }

    const auto& path = request.path;
    juce::String answer;

    if (path == "/stall")
        stalled.add (client.release());
    else if (path == "/garbage")
        answer = "this is not an answer\r\n\r\n";
    else if (path.startsWith ("/status/"))
        answer = reply (path.fromLastOccurrenceOf ("/", false, false).getIntValue());
    else if (path.startsWith ("/redirect/"))
        answer = reply (302, "/status/" + path.fromLastOccurrenceOf ("/", false, false));
    else if (path == "/temporary")
        answer = reply (307, "/status/200");
    else if (path != "/drop")
        answer = reply (404);

    if (client != nullptr && answer.isNotEmpty())
        client->write (answer.toRawUTF8(), (int) answer.getNumBytesAsUTF8());
}
} // namespace KA::Test
