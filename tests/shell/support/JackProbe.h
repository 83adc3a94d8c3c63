#pragma once

#include "tests/shell/support/JackLibrary.h"

#include <atomic>
#include <vector>

namespace KA::Test
{
/** A second JACK client that plays a known sine into the program's first input and
    records the program's first output, frame-aligned with what it sent. */
class JackProbe
{
public:
    static constexpr float amplitude = 0.25f;
    static constexpr double frequency = 441.0;

    explicit JackProbe (const juce::String& serverName);
    ~JackProbe();

    bool isOpen() const noexcept { return client != nullptr; }

    /** Connects to the client whose ports start with clientName + ":". */
    bool connectTo (const juce::String& clientName);

    struct Recording
    {
        std::vector<float> sent, received;
    };

    /** Records numFrames frames after skipping settleFrames; empty on timeout. */
    Recording record (int numFrames, int settleFrames, int timeoutMs);

    bool setBufferSize (int newSize);
    int getBufferSize() const;
    double getSampleRate() const;

private:
    static int processCallback (jack_nframes_t numFrames, void* arg);
    int process (jack_nframes_t numFrames);

    jack_client_t* client = nullptr;
    jack_port_t* output = nullptr;
    jack_port_t* input = nullptr;

    juce::uint64 frameCounter = 0;
    std::vector<float> sentStore, receivedStore;
    std::atomic<int> framesToSkip { 0 }, framesWanted { 0 }, framesRecorded { 0 };
};
} // namespace KA::Test
