#pragma once

#include <atomic>
#include <jack/jack.h>
#include <juce_core/juce_core.h>
#include <vector>

namespace KA::Test
{
/** A second JACK client that plays a known sine into the program's first input and
    records the program's first output (or up to two ports it is told to record),
    frame-aligned with what it sent. */
class JackProbe
{
public:
    static constexpr float amplitude = 0.25f;
    static constexpr double frequency = 441.0;

    explicit JackProbe (const juce::String& serverName);
    ~JackProbe();

    bool isOpen() const noexcept { return client != nullptr; }

    /** Wires the probe to the first input of the named client and records its first
        output, or the given ports (one per probe input, two at most); to nothing else: a
        connection made by anyone else (an auto-connection to the server's physical
        ports, say) is removed, so the probe only ever hears what went through that client. */
    bool connectTo (const juce::String& clientName, const juce::StringArray& portsToRecord = {});

    /** True while the probe's ports are wired exactly as connectTo left them. */
    bool isWiredOnlyToTarget() const;

    /** Every connection of the probe's ports, for failure messages. */
    juce::String describeConnections() const;

    struct Recording
    {
        std::vector<float> sent, received, secondReceived;
    };

    /** Records numFrames frames after skipping settleFrames; empty on timeout. */
    Recording record (int numFrames, int settleFrames, int timeoutMs);

    bool setBufferSize (int newSize);
    int getBufferSize() const;

private:
    static int processCallback (jack_nframes_t numFrames, void* arg);
    int process (jack_nframes_t numFrames);

    jack_client_t* client = nullptr;
    jack_port_t* output = nullptr;
    jack_port_t* inputs[2] {};
    juce::String targetInput;
    juce::StringArray recordedPorts;

    juce::uint64 frameCounter = 0;
    std::vector<float> sentStore, receivedStore, secondReceivedStore;
    std::atomic<int> framesToSkip { 0 }, framesWanted { 0 }, framesRecorded { 0 };
};
} // namespace KA::Test
