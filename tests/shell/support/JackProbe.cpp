#include "tests/shell/support/JackProbe.h"

#include <cmath>
#include <unistd.h>

namespace KA::Test
{
JackProbe::JackProbe (const juce::String& serverName)
{

    jack_status_t status {};
    // libjack keys a client's notification socket by client name and user only, not by
    // server: a name shared with a probe in another test process would cross the wires.
    const auto name = "ka-probe-" + juce::String (::getpid());
    client = jack_client_open (name.toRawUTF8(), (jack_options_t) (JackNoStartServer | JackServerName),
                               &status, serverName.toRawUTF8());

    if (client == nullptr)
        return;

    output = jack_port_register (client, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    inputs[0] = jack_port_register (client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    inputs[1] = jack_port_register (client, "in2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);

    for (auto* store : { &sentStore, &receivedStore, &secondReceivedStore })
        store->resize (1 << 18);

    jack_set_process_callback (client, processCallback, this);
    jack_activate (client);
}

JackProbe::~JackProbe()
{
    if (client != nullptr)
    {
        jack_deactivate (client);
        jack_client_close (client);
    }
}

namespace
{
    juce::StringArray takePortNames (const char** ports)
    {
        juce::StringArray names;

        if (ports != nullptr)
        {
            for (auto** p = ports; *p != nullptr; ++p)
                names.add (*p);

            jack_free (ports);
        }

        return names;
    }

    juce::StringArray connectionsOf (jack_client_t* client, jack_port_t* port)
    {
        return takePortNames (jack_port_get_all_connections (client, port));
    }
} // namespace

bool JackProbe::connectTo (const juce::String& clientName, const juce::StringArray& portsToRecord)
{
    if (client == nullptr)
        return false;
    const auto pattern = "^" + clientName + ":";
    const auto clientInputs = takePortNames (jack_get_ports (client, pattern.toRawUTF8(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput));
    const auto clientOutputs = takePortNames (jack_get_ports (client, pattern.toRawUTF8(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput));

    if (clientInputs.isEmpty() || clientOutputs.isEmpty())
        return false;

    targetInput = clientInputs[0];
    recordedPorts = portsToRecord.isEmpty() ? juce::StringArray (clientOutputs[0]) : portsToRecord;
    recordedPorts.removeEmptyStrings();
    recordedPorts.removeRange (2, recordedPorts.size());
    const juce::String ourOutput (jack_port_name (output));

    if (! connectionsOf (client, output).contains (targetInput)
        && jack_connect (client, ourOutput.toRawUTF8(), targetInput.toRawUTF8()) != 0)
        return false;

    for (auto& other : connectionsOf (client, output))
        if (other != targetInput)
            jack_disconnect (client, ourOutput.toRawUTF8(), other.toRawUTF8());

    for (int i = 0; i < 2; ++i)
    {
        const juce::String ourInput (jack_port_name (inputs[i]));
        const auto source = recordedPorts[i];

        if (source.isNotEmpty() && ! connectionsOf (client, inputs[i]).contains (source)
            && jack_connect (client, source.toRawUTF8(), ourInput.toRawUTF8()) != 0)
            return false;

        for (auto& other : connectionsOf (client, inputs[i]))
            if (other != source)
                jack_disconnect (client, other.toRawUTF8(), ourInput.toRawUTF8());
    }

    return isWiredOnlyToTarget();
}

bool JackProbe::isWiredOnlyToTarget() const
{
    if (client == nullptr || targetInput.isEmpty() || connectionsOf (client, output) != juce::StringArray (targetInput))
        return false;

    for (int i = 0; i < 2; ++i)
        if (connectionsOf (client, inputs[i]) != (i < recordedPorts.size() ? juce::StringArray (recordedPorts[i]) : juce::StringArray()))
            return false;

    return true;
}

juce::String JackProbe::describeConnections() const
{
    if (client == nullptr)
        return "probe not open";
    auto text = juce::String (jack_port_name (output)) + " -> [" + connectionsOf (client, output).joinIntoString (", ") + "]";

    for (auto* port : inputs)
        text << ", " << jack_port_name (port) << " <- [" << connectionsOf (client, port).joinIntoString (", ") << "]";

    return text;
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
    r.secondReceived.assign (secondReceivedStore.begin(), secondReceivedStore.begin() + numFrames);
    return r;
}

bool JackProbe::setBufferSize (int newSize)
{
    return client != nullptr && jack_set_buffer_size (client, (jack_nframes_t) newSize) == 0;
}

int JackProbe::getBufferSize() const
{
    return client != nullptr ? (int) jack_get_buffer_size (client) : 0;
}

int JackProbe::processCallback (jack_nframes_t numFrames, void* arg)
{
    return static_cast<JackProbe*> (arg)->process (numFrames);
}

int JackProbe::process (jack_nframes_t numFrames)
{
    auto* out = static_cast<float*> (jack_port_get_buffer (output, numFrames));
    const auto* in = static_cast<const float*> (jack_port_get_buffer (inputs[0], numFrames));
    const auto* in2 = static_cast<const float*> (jack_port_get_buffer (inputs[1], numFrames));
    const auto rate = (double) jack_get_sample_rate (client);

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
            secondReceivedStore[(size_t) index] = in2[i];
            framesRecorded.store (index + 1, std::memory_order_release);
        }
    }

    return 0;
}
} // namespace KA::Test
