#include "engine/RedeVaAudioProcessor.h"
#include "shell/MainContentComponent.h"
#include "shell/NotificationArea.h"
#include "tests/common/ProbeProcessor.h"
#include "tests/common/MessageLoop.h"
#include "tests/shell/support/TestServers.h"

#include <gtest/gtest.h>
#include <jack/jack.h>

#include <algorithm>
#include <cmath>

using namespace KA::Test;

namespace
{
constexpr float amplitude = 0.25f, gain = -0.5f;

/** A second JACK client: plays a sine into the program's first input and records up to
    two ports, frame-aligned with what it sent. */
struct Probe
{
    explicit Probe (const juce::String& server)
    {
        jack_status_t status {};
        // libjack keys notification sockets by client name and user, not by server.
        client = jack_client_open (("ka-probe-" + juce::String (::getpid())).toRawUTF8(),
                                   (jack_options_t) (JackNoStartServer | JackServerName), &status, server.toRawUTF8());
        if (client == nullptr)
            return;

        out = jack_port_register (client, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        for (auto* p : { &in[0], &in[1] })
            *p = jack_port_register (client, p == in ? "in" : "in2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        for (auto* store : { &sent, &received[0], &received[1] })
            store->resize (1 << 16);

        jack_set_process_callback (client, [] (jack_nframes_t n, void* self) { return static_cast<Probe*> (self)->process (n); }, this);
        jack_activate (client);
    }

    ~Probe()
    {
        if (client != nullptr)
            jack_client_close (client);
    }

    static juce::String firstPort (jack_client_t* c, unsigned long flags)
    {
        const auto** ports = jack_get_ports (c, "^JUCEJack:", JACK_DEFAULT_AUDIO_TYPE, flags);
        const juce::String name (ports != nullptr ? ports[0] : nullptr);
        jack_free (ports);
        return name;
    }

    /** Into the program's first input; records its first output and the second source. */
    bool connect (const juce::String& secondSource)
    {
        return client != nullptr
            && jack_connect (client, jack_port_name (out), firstPort (client, JackPortIsInput).toRawUTF8()) == 0
            && jack_connect (client, firstPort (client, JackPortIsOutput).toRawUTF8(), jack_port_name (in[0])) == 0
            && jack_connect (client, secondSource.toRawUTF8(), jack_port_name (in[1])) == 0;
    }

    bool resize (int frames)
    {
        return jack_set_buffer_size (client, (jack_nframes_t) frames) == 0
            && runUntil ([&] { return (int) jack_get_buffer_size (client) == frames; }, 3000);
    }

    /** sent, then what each recorded port received; empty on timeout. */
    std::vector<std::vector<float>> record (int frames = 24576, int settle = 4096)
    {
        recorded = 0;
        skip = settle;
        wanted = frames;
        for (int waited = 0; recorded.load() < frames; waited += 5, juce::Thread::sleep (5))
            if (waited > 10000)
                return {};
        wanted = 0;

        std::vector<std::vector<float>> r;
        for (auto* store : { &sent, &received[0], &received[1] })
            r.emplace_back (store->begin(), store->begin() + frames);
        return r;
    }

    int process (jack_nframes_t n)
    {
        auto* o = static_cast<float*> (jack_port_get_buffer (out, n));
        const float* i2[] = { static_cast<float*> (jack_port_get_buffer (in[0], n)), static_cast<float*> (jack_port_get_buffer (in[1], n)) };

        for (jack_nframes_t i = 0; i < n; ++i)
        {
            o[i] = amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 441.0 * (double) (frame++) / 48000.0);
            if (skip.load() > 0 && skip-- > 0)
                continue;

            if (const auto k = recorded.load(); k < wanted.load())
            {
                sent[(size_t) k] = o[i];
                received[0][(size_t) k] = i2[0][i];
                received[1][(size_t) k] = i2[1][i];
                recorded = k + 1;
            }
        }
        return 0;
    }

    jack_client_t* client = nullptr;
    jack_port_t* out = nullptr;
    jack_port_t* in[2] {};
    juce::uint64 frame = 0;
    std::vector<float> sent, received[2];
    std::atomic<int> skip { 0 }, wanted { 0 }, recorded { 0 };
};

float peak (std::vector<float> v, int permille = 1000)
{
    // 99 %: a dummy-driver xrun under load can double the samples of one period.
    for (auto& s : v)
        s = std::abs (s);
    const auto at = v.begin() + (std::ptrdiff_t) ((v.size() - 1) * (size_t) permille / 1000u);
    std::nth_element (v.begin(), at, v.end());
    return *at;
}

/** Share of the received frames equal to gain * sent[n - lag] at the best lag: each side
    hears the other a period or more late, and an xrun can shift the lag once. */
double matchedShare (const std::vector<float>& sent, const std::vector<float>& received, int maxLag)
{
    size_t best = 0;
    for (int lag = 0; lag <= maxLag; ++lag)
    {
        size_t matched = 0;
        for (size_t i = (size_t) maxLag; i < received.size(); ++i)
            matched += std::abs (received[i] - gain * sent[i - (size_t) lag]) < 1.0e-5f ? 1u : 0u;
        best = std::max (best, matched);
    }
    return (double) best / (double) (received.size() - (size_t) maxLag);
}
} // namespace

/** The product's channel configurations on a device with one or two playback ports. */
class JackAudioPath : public ::testing::TestWithParam<int> {};

TEST_P (JackAudioPath, MutedUntilUnmutedThenProcessedOnEverySpeakerWhateverTheBufferSize)
{
    ASSERT_TRUE (ensureVirtualDisplay().isNotEmpty());
    JackServer jack (256, 48000, 2, GetParam());
    ASSERT_TRUE (jack.isRunning()) << jack.getLog();

    juce::PropertySet settings;
    settings.setValue ("audioSetup", "<DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"system\" audioInputDeviceName=\"system\"/>");
    ProbeProcessor* processor = nullptr;
    KA::StandaloneFilterWindow window ("JACK test", juce::Colours::black, &settings, false, {}, nullptr,
                                       RedeVaAudioProcessor().getChannelConfigurations(), false, [&]
                                       {
                                           processor = new ProbeProcessor();
                                           processor->hook = [] (float x) { return gain * x; };
                                           processor->lastInputFeedsEveryOutput = true;
                                           return processor;
                                       });
    window.setVisible (true);
    auto& holder = *window.getPluginHolder();
    ASSERT_NE (holder.deviceManager.getCurrentAudioDevice(), nullptr);
    EXPECT_EQ (holder.deviceManager.getCurrentAudioDevice()->getTypeName(), "JACK");
    ASSERT_TRUE (runUntil ([&] { return processor->blocksProcessed.load() > 20; }, 5000)) << "no device callbacks";
    EXPECT_EQ (processor->preparedBlockSize.load(), 256);
    EXPECT_EQ (processor->getMainBusNumInputChannels(), 1);
    EXPECT_EQ (processor->getMainBusNumOutputChannels(), GetParam());

    // The program's first output, and what reaches the last speaker.
    Probe probe (jack.getName());
    ASSERT_TRUE (probe.connect ("system:monitor_" + juce::String (GetParam())));
    const auto muted = probe.record();
    ASSERT_FALSE (muted.empty());
    EXPECT_NEAR (peak (muted[0]), amplitude, 0.01);
    EXPECT_EQ (peak (muted[1]), 0.0f) << "muted input leaked to the output";

    // JACK now delivers four times the announced block.
    ASSERT_TRUE (probe.resize (1024));
    EXPECT_EQ (peak (probe.record()[1]), 0.0f);

    window.getMainContent()->getNotificationArea().getButton().triggerClick();
    ASSERT_TRUE (runUntil ([&] { return ! holder.muteInput.load(); }, 3000));
    auto open = probe.record();
    ASSERT_FALSE (open.empty());
    EXPECT_NEAR (peak (open[1], 990), amplitude * 0.5, 0.01);

    for (size_t port : { 1u, 2u })
        EXPECT_GT (matchedShare (open[0], open[port], 4096), 0.8) << "port " << port;

    // Shrinking is harmless; growing again past the first size still is.
    ASSERT_TRUE (probe.resize (64));
    ASSERT_TRUE (probe.resize (2048));
    open = probe.record();
    EXPECT_GT (matchedShare (open[0], open[1], 6144), 0.8);
    EXPECT_LE (processor->largestBlock.load(), 256);
}

INSTANTIATE_TEST_SUITE_P (MonoAndStereoDevices, JackAudioPath, ::testing::Values (1, 2));
