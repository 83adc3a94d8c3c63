#include "engine/RedeVaAudioProcessor.h"
#include "shell/MainContentComponent.h"
#include "shell/NotificationArea.h"
#include "tests/common/ProbeProcessor.h"
#include "tests/shell/support/JackProbe.h"
#include "tests/shell/support/MessageLoop.h"
#include "tests/shell/support/TestServers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace KA::Test;
using Window = KA::StandaloneFilterWindow;

namespace
{
float peak (const std::vector<float>& v)
{
    float p = 0.0f;
    for (auto s : v)
        p = std::max (p, std::abs (s));
    return p;
}

/** The level 99 % of the frames stay within. A dummy-driver xrun under load can put an
    isolated burst of doubled samples into one period of a recording (seen once in
    several dozen loaded runs); the level of the signal is what is checked here, and
    matchedShare checks that it is the processed signal. */
float typicalPeak (std::vector<float> v)
{
    if (v.empty())
        return 0.0f;

    for (auto& s : v)
        s = std::abs (s);

    const auto at = v.begin() + (std::ptrdiff_t) ((v.size() - 1) * 99 / 100);
    std::nth_element (v.begin(), at, v.end());
    return *at;
}

/** Share of the received frames equal (within 1e-5) to gain * sent[n - lag] at the best
    lag. The probe and the program feed each other, so one side hears the other a period
    or more late; a dummy-driver xrun under load can shift the lag once mid-recording,
    which is why a share and not every frame is asked for. */
double matchedShare (const JackProbe::Recording& r, double gain, int maxLag)
{
    size_t best = 0;
    const auto n = r.received.size();

    for (int lag = 0; lag <= maxLag; ++lag)
    {
        size_t matched = 0;

        for (size_t i = (size_t) maxLag; i < n; ++i)
            matched += std::abs ((double) r.received[i] - gain * (double) r.sent[i - (size_t) lag]) < 1.0e-5 ? 1 : 0;

        best = std::max (best, matched);
    }

    return n > (size_t) maxLag ? (double) best / (double) (n - (size_t) maxLag) : 0.0;
}

class JackAudioPath : public ::testing::Test
{
protected:
    void SetUp() override { start(); }

    /** A server with monitored playback ports when they are given, and the holder sized
        from the channel configurations given (none: from the processor's buses). */
    void start (int monitoredPlaybackPorts = 0, const juce::Array<KA::SettingsPluginInOuts>& channels = {})
    {
        ASSERT_TRUE (ensureVirtualDisplay().isNotEmpty());
        jack = std::make_unique<JackServer> (256, 48000, 2, monitoredPlaybackPorts);
        ASSERT_TRUE (jack->isRunning()) << "jackd with the dummy driver did not start:\n" << jack->getLog();

        settings.setValue ("audioSetup", "<DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"system\""
                                         " audioInputDeviceName=\"system\"/>");

        window = std::make_unique<Window> ("JACK test", juce::Colours::black, &settings, false,
                                           juce::String(), nullptr, channels, false,
                                           [this]
                                           {
                                               processor = new ProbeProcessor();
                                               processor->hook = [] (float x) { return gain * x; };
                                               processor->lastInputFeedsEveryOutput = true;
                                               return processor;
                                           });
        window->setVisible (true);
        holder = window->getPluginHolder();
        content = window->getMainContent();
        ASSERT_NE (content, nullptr);
    }

    void TearDown() override
    {
        probe = nullptr;
        window = nullptr;
        jack = nullptr;
    }

    void connectProbe (const juce::StringArray& portsToRecord = {})
    {
        probe = std::make_unique<JackProbe> (jack->getName());
        ASSERT_TRUE (probe->isOpen());
        ASSERT_TRUE (probe->connectTo ("JUCEJack", portsToRecord)) << probe->describeConnections();
    }

    void unmuteWithTheBarButton()
    {
        content->getNotificationArea().getButton().triggerClick();
        ASSERT_TRUE (runUntil ([this] { return ! holder->muteInput.load() && ! content->isShowingNotification(); }, 3000));
    }

    /** Empty unless the probe heard only the program's output all along. */
    JackProbe::Recording record()
    {
        EXPECT_TRUE (probe->isWiredOnlyToTarget()) << "before recording: " << probe->describeConnections();
        auto r = probe->record (24576, 4096, 10000);
        EXPECT_TRUE (probe->isWiredOnlyToTarget()) << "after recording: " << probe->describeConnections();
        return probe->isWiredOnlyToTarget() ? r : JackProbe::Recording();
    }

    std::unique_ptr<JackServer> jack;
    juce::PropertySet settings;
    std::unique_ptr<Window> window;
    KA::StandalonePluginHolder* holder = nullptr;
    Window::MainContentComponent* content = nullptr;
    static constexpr float gain = -0.5f;
    ProbeProcessor* processor = nullptr;
    std::unique_ptr<JackProbe> probe;
};
} // namespace

TEST_F (JackAudioPath, InputIsMutedUntilUnmutedThenReachesTheOutputProcessedWhateverTheBufferSize)
{
    auto* device = holder->deviceManager.getCurrentAudioDevice();
    ASSERT_NE (device, nullptr);
    EXPECT_EQ (device->getTypeName(), "JACK");
    ASSERT_TRUE (runUntil ([this] { return processor->blocksProcessed.load() > 20; }, 5000)) << "no device callbacks";
    const auto prepared = processor->preparedBlockSize.load();
    EXPECT_EQ (prepared, 256);

    connectProbe();
    const auto muted = record();
    ASSERT_FALSE (muted.sent.empty());
    EXPECT_NEAR (peak (muted.sent), JackProbe::amplitude, 0.01);
    EXPECT_EQ (peak (muted.received), 0.0f) << "muted input leaked to the output";

    // JACK now delivers four times the announced block.
    ASSERT_TRUE (probe->setBufferSize (1024));
    ASSERT_TRUE (runUntil ([this] { return probe->getBufferSize() == 1024; }, 3000));
    EXPECT_EQ (peak (record().received), 0.0f);

    unmuteWithTheBarButton();
    EXPECT_EQ (content->getEditor()->getBounds(), content->getLocalBounds());
    const auto open = record();
    ASSERT_FALSE (open.sent.empty());
    EXPECT_NEAR (typicalPeak (open.received), JackProbe::amplitude * 0.5, 0.01);
    EXPECT_GT (matchedShare (open, gain, 4096), 0.8);

    // Shrinking is harmless; growing again past the first size still is.
    ASSERT_TRUE (probe->setBufferSize (64));
    ASSERT_TRUE (runUntil ([this] { return probe->getBufferSize() == 64; }, 3000));
    ASSERT_TRUE (probe->setBufferSize (2048));
    ASSERT_TRUE (runUntil ([this] { return probe->getBufferSize() == 2048; }, 3000));
    EXPECT_GT (matchedShare (record(), gain, 6144), 0.8);

    EXPECT_LE (processor->largestBlock.load(), prepared);
}

/** The product's channel configurations on a device with this many playback ports. */
class JackPlaybackPorts : public JackAudioPath, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override { start (GetParam(), RedeVaAudioProcessor().getChannelConfigurations()); }
};

TEST_P (JackPlaybackPorts, OneInputPlaysOnEverySpeakerUpToTwo)
{
    ASSERT_TRUE (runUntil ([this] { return processor->blocksProcessed.load() > 20; }, 5000));
    EXPECT_EQ (processor->getMainBusNumInputChannels(), 1);
    EXPECT_EQ (processor->getMainBusNumOutputChannels(), GetParam());

    connectProbe ({ "system:monitor_1", GetParam() > 1 ? "system:monitor_2" : "" });
    unmuteWithTheBarButton();
    auto r = record();
    ASSERT_FALSE (r.sent.empty());
    EXPECT_GT (matchedShare (r, gain, 4096), 0.8);

    if (GetParam() > 1)
    {
        std::swap (r.received, r.secondReceived);
        EXPECT_GT (matchedShare (r, gain, 4096), 0.8) << "second speaker";
    }
}

INSTANTIATE_TEST_SUITE_P (MonoAndStereoDevices, JackPlaybackPorts, ::testing::Values (1, 2));
