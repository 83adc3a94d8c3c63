#include "tests/shell/support/JackProbe.h"

#include <cmath>

namespace KA::Test
{
JackProbe::JackProbe (const juce::String& serverName)
{
    auto& jack = JackLibrary::get();

    if (! jack.isLoaded())
        return;

    jack_status_t status {};
    client = jack.client_open ("ka-probe", (jack_options_t) (JackNoStartServer | JackServerName),
                               &status, serverName.toRawUTF8());

    if (client == nullptr)
        return;

    output = jack.port_register (client, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    input = jack.port_register (client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    sentStore.resize (1 << 18);
    receivedStore.resize (1 << 18);

    jack.set_process_callback (client, processCallback, this);
    jack.activate (client);
}

JackProbe::~JackProbe()
{
    if (client != nullptr)
    {
        auto& jack = JackLibrary::get();
        jack.deactivate (client);
        jack.client_close (client);
    }
}

bool JackProbe::connectTo (const juce::String& clientName)
{
    if (client == nullptr)
        return false;

    auto& jack = JackLibrary::get();
    const auto pattern = "^" + clientName + ":";
    bool connected = true;

    const auto connectFirst = [&] (unsigned long flags, bool fromProbe)
    {
        if (const char** ports = jack.get_ports (client, pattern.toRawUTF8(), JACK_DEFAULT_AUDIO_TYPE, flags))
        {
            if (ports[0] != nullptr)
                connected &= fromProbe ? jack.connect (client, jack.port_name (output), ports[0]) == 0
                                       : jack.connect (client, ports[0], jack.port_name (input)) == 0;
            else
                connected = false;

            jack.free (ports);
        }
        else
        {
            connected = false;
        }
    };

    connectFirst (JackPortIsInput, true);
    connectFirst (JackPortIsOutput, false);
    return connected;
}

JackProbe::Recording JackProbe::record (int numFrames, int settleFrames, int timeoutMs)
{
    numFrames = juce::jmin (numFrames, (int) sentStore.size());
    framesRecorded = 0;
    framesWanted = 0;
    framesToSkip = settleFrames;
    framesWanted = numFrames;

    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (framesRecorded.load() < numFrames)
    {
        if (juce::Time::getMillisecondCounter() > end)
            return {};

        juce::Thread::sleep (5);
    }

    framesWanted = 0;
    Recording r;
    r.sent.assign (sentStore.begin(), sentStore.begin() + numFrames);
    r.received.assign (receivedStore.begin(), receivedStore.begin() + numFrames);
    return r;
}

bool JackProbe::setBufferSize (int newSize)
{
    return client != nullptr && JackLibrary::get().set_buffer_size (client, (jack_nframes_t) newSize) == 0;
}

int JackProbe::getBufferSize() const
{
    return client != nullptr ? (int) JackLibrary::get().get_buffer_size (client) : 0;
}

double JackProbe::getSampleRate() const
{
    return client != nullptr ? (double) JackLibrary::get().get_sample_rate (client) : 0.0;
}

int JackProbe::processCallback (jack_nframes_t numFrames, void* arg)
{
    return static_cast<JackProbe*> (arg)->process (numFrames);
}

int JackProbe::process (jack_nframes_t numFrames)
{
    auto& jack = JackLibrary::get();
    auto* out = static_cast<float*> (jack.port_get_buffer (output, numFrames));
    const auto* in = static_cast<const float*> (jack.port_get_buffer (input, numFrames));
    const auto rate = (double) jack.get_sample_rate (client);

    for (jack_nframes_t i = 0; i < numFrames; ++i)
    {
        const auto phase = 2.0 * juce::MathConstants<double>::pi * frequency * (double) (frameCounter++) / rate;
        out[i] = (float) (amplitude * std::sin (phase));

        if (framesToSkip.load (std::memory_order_relaxed) > 0)
        {
            framesToSkip.fetch_sub (1, std::memory_order_relaxed);
            continue;
        }

        const auto index = framesRecorded.load (std::memory_order_relaxed);

        if (index < framesWanted.load (std::memory_order_relaxed))
        {
            sentStore[(size_t) index] = out[i];
            receivedStore[(size_t) index] = in[i];
            framesRecorded.store (index + 1, std::memory_order_release);
        }
    }

    return 0;
}
} // namespace KA::Test
