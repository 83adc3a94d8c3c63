#include "tests/common/ProbeProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using KA::Test::ProbeProcessor;

namespace
{
/** Runs blocks through the processor. Channel 0 carries silence and the hook turns
    it into 1, so channel 0's output is the cross-fade gain itself; channel 1 carries
    noise for the bit-exact check of the mix. */
struct Rig
{
    explicit Rig (double rate, int block = 512)
    {
        processor.hook = [] (float x) { return x * 0.5f + 1.0f; };
        processor.setPlayConfigDetails (2, 2, rate, block);
        processor.prepareToPlay (rate, block);
    }

    void run (int frames, int block = 512)
    {
        juce::MidiBuffer midi;
        for (int done = 0; done < frames; done += block)
        {
            const int n = std::min (block, frames - done);
            juce::AudioBuffer<float> buffer (2, n);
            for (int i = 0; i < n; ++i)
            {
                buffer.setSample (0, i, 0.0f);
                buffer.setSample (1, i, random.nextFloat() * 2.0f - 1.0f);
            }
            const juce::AudioBuffer<float> input (buffer);
            processor.processBlock (buffer, midi);
            for (int i = 0; i < n; ++i)
            {
                gains.push_back (buffer.getSample (0, i));
                dry.push_back (input.getSample (1, i));
                wet.push_back (buffer.getSample (1, i));
            }
        }
    }

    ProbeProcessor processor;
    juce::Random random { 42 };
    std::vector<float> gains, dry, wet;
};

void expectRamp (const std::vector<float>& g, size_t from, float start, float end, int length)
{
    for (int i = 0; i < length; ++i)
    {
        const double expected = start + (end - start) * (double) (i + 1) / length;
        ASSERT_NEAR (g[from + (size_t) i], expected, 1e-4) << "step " << i;
    }
    // The last step lands exactly on the target, and the gain then stays there.
    EXPECT_EQ (g[from + (size_t) length - 1], end);
    EXPECT_EQ (g[from + (size_t) length], end);
}
} // namespace

TEST (PowerCrossfade, FirstPrepareFadesInOverFiftyMilliseconds)
{
    for (auto [rate, length] : { std::pair { 48000.0, 2400 }, std::pair { 44100.0, 2205 } })
    {
        Rig rig (rate);
        rig.run (3000);
        expectRamp (rig.gains, 0, 0.0f, 1.0f, length);
    }
}

TEST (PowerCrossfade, MixIsDryPlusGainTimesDifferenceBitForBit)
{
    Rig rig (48000.0);
    rig.run (4000, 333);

    for (size_t i = 0; i < rig.gains.size(); ++i)
    {
        const float processed = rig.dry[i] * 0.5f + 1.0f;
        const float expected = rig.dry[i] + rig.gains[i] * (processed - rig.dry[i]);
        ASSERT_EQ (std::memcmp (&expected, &rig.wet[i], sizeof (float)), 0) << "frame " << i;
    }
}

TEST (PowerCrossfade, SwitchOffRampsDownThenPassesThroughUntouched)
{
    Rig rig (48000.0);
    rig.run (2400);
    rig.processor.setParameter ("power", 0.0f);
    const int callsBefore = rig.processor.hookCalls;
    rig.run (2400 + 1024);

    expectRamp (rig.gains, 2400, 1.0f, 0.0f, 2400);

    // The last ramp step uses the dry copy alone.
    EXPECT_EQ (rig.wet[4799], rig.dry[4799]);

    // Off and settled: bit-exact pass-through and no hook call.
    const int callsAfterRamp = rig.processor.hookCalls;
    EXPECT_GT (callsAfterRamp, callsBefore);
    rig.run (2048);
    EXPECT_EQ (rig.processor.hookCalls, callsAfterRamp);
    for (size_t i = rig.dry.size() - 2048; i < rig.dry.size(); ++i)
    {
        ASSERT_EQ (rig.wet[i], rig.dry[i]);
        ASSERT_EQ (rig.gains[i], 0.0f);
    }
}

TEST (PowerCrossfade, ReversalMidRampTakesTheFullLengthFromTheCurrentValue)
{
    Rig rig (48000.0);
    rig.run (2400);
    rig.processor.setParameter ("power", 0.0f);
    rig.run (1200);
    EXPECT_NEAR (rig.gains.back(), 0.5f, 1e-4);

    rig.processor.setParameter ("power", 1.0f);
    rig.run (2500);
    expectRamp (rig.gains, 3600, rig.gains[3599], 1.0f, 2400);
}

TEST (PowerCrossfade, HalfCountsAsOn)
{
    Rig rig (48000.0);
    rig.run (2400);

    // The switch reads the stored value; 0.5 is the threshold and counts as on.
    auto* stored = rig.processor.parameters.getRawParameterValue ("power");
    stored->store (0.5f);
    rig.processor.parameterChanged ("power", 0.5f);
    rig.run (512);
    for (size_t i = 2400; i < rig.gains.size(); ++i)
        ASSERT_EQ (rig.gains[i], 1.0f);

    stored->store (0.4999f);
    rig.processor.parameterChanged ("power", 0.4999f);
    rig.run (2400);
    EXPECT_EQ (rig.gains.back(), 0.0f);
}

TEST (PowerCrossfade, ChangeWhileStoppedSettlesAtTheNextPrepare)
{
    Rig rig (48000.0);
    rig.run (2400);
    rig.processor.setParameter ("power", 0.0f);
    rig.processor.prepareToPlay (48000.0, 512);
    const int calls = rig.processor.hookCalls;

    rig.run (512);
    EXPECT_EQ (rig.processor.hookCalls, calls);
    for (size_t i = 2400; i < rig.gains.size(); ++i)
        ASSERT_EQ (rig.wet[i], rig.dry[i]);
}

TEST (PowerCrossfade, ChannelsBeyondTheInputsAreCleared)
{
    ProbeProcessor processor (ProbeProcessor::monoInStereoOutBuses());
    processor.setParameter ("power", 0.0f);
    processor.setPlayConfigDetails (1, 2, 48000.0, 256);
    processor.prepareToPlay (48000.0, 256);

    juce::AudioBuffer<float> buffer (2, 256);
    for (int i = 0; i < 256; ++i)
    {
        buffer.setSample (0, i, 0.25f);
        buffer.setSample (1, i, 0.75f);
    }
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);

    EXPECT_EQ (processor.hookCalls, 0);
    for (int i = 0; i < 256; ++i)
    {
        EXPECT_EQ (buffer.getSample (0, i), 0.25f);
        EXPECT_EQ (buffer.getSample (1, i), 0.0f);
    }
}

TEST (PowerCrossfade, BypassCopiesTheMonoInputToEveryOutput)
{
    ProbeProcessor processor (ProbeProcessor::monoInStereoOutBuses());
    processor.setPlayConfigDetails (1, 2, 48000.0, 64);

    juce::AudioBuffer<float> buffer (2, 64);
    for (int i = 0; i < 64; ++i)
    {
        buffer.setSample (0, i, (float) i);
        buffer.setSample (1, i, -1.0f);
    }
    juce::MidiBuffer midi;
    processor.processBlockBypassed (buffer, midi);

    for (int i = 0; i < 64; ++i)
    {
        EXPECT_EQ (buffer.getSample (0, i), (float) i);
        EXPECT_EQ (buffer.getSample (1, i), (float) i);
    }
    EXPECT_EQ (processor.hookCalls, 0);
}

TEST (BlockFraming, LongBlocksRunInPiecesNoLargerThanPrepared)
{
    Rig rig (48000.0, 512);
    rig.run (8192, 8192);

    EXPECT_LE (rig.processor.largestHookBlock, 512);
    EXPECT_EQ (rig.gains.size(), 8192u);
    expectRamp (rig.gains, 0, 0.0f, 1.0f, 2400);

    for (size_t i = 0; i < rig.gains.size(); ++i)
    {
        const float processed = rig.dry[i] * 0.5f + 1.0f;
        ASSERT_EQ (rig.wet[i], rig.dry[i] + rig.gains[i] * (processed - rig.dry[i])) << i;
    }
}

TEST (BlockFraming, BlocksBeyondTheDryCopyAreSplitEvenWhenAnnouncedLarger)
{
    Rig rig (48000.0, 8192);
    rig.run (8192, 8192);
    EXPECT_LE (rig.processor.largestHookBlock, KA::PluginProcessor::dryCopyFrames);
    EXPECT_EQ (rig.gains[2399], 1.0f);
}

TEST (BlockFraming, ABlockWithoutFramesReachesTheHookButNotTheRamp)
{
    Rig rig (48000.0);
    juce::MidiBuffer midi;

    juce::AudioBuffer<float> noFrames (2, 0);
    rig.processor.processBlock (noFrames, midi);
    EXPECT_EQ (rig.processor.hookCalls, 1);
    EXPECT_EQ (rig.processor.largestHookBlock, 0);

    juce::AudioBuffer<float> noChannels (0, 128);
    rig.processor.processBlock (noChannels, midi);

    rig.run (1);
    EXPECT_NEAR (rig.gains[0], 1.0f / 2400.0f, 1e-7);
}

TEST (BlockFraming, UnpreparedProcessorPassesAudioThrough)
{
    ProbeProcessor processor;
    juce::AudioBuffer<float> buffer (2, 32);
    buffer.clear();
    buffer.setSample (0, 3, 0.5f);
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
    EXPECT_EQ (processor.hookCalls, 0);
    EXPECT_EQ (buffer.getSample (0, 3), 0.5f);
}

TEST (Prepare, EndsBySendingEveryParameterInCreationOrderWithItsRealValue)
{
    ProbeProcessor processor;
    processor.setParameter ("gain", 7.5f);
    processor.setParameter ("toggle", 1.0f);
    processor.changes.clear();

    processor.setPlayConfigDetails (2, 2, 44100.0, 128);
    processor.prepareToPlay (44100.0, 128);

    ASSERT_EQ (processor.changes.size(), 3u);
    EXPECT_EQ (processor.changes[0].first, "gain");
    EXPECT_FLOAT_EQ (processor.changes[0].second, 7.5f);
    EXPECT_EQ (processor.changes[1].first, "toggle");
    EXPECT_FLOAT_EQ (processor.changes[1].second, 1.0f);
    EXPECT_EQ (processor.changes[2].first, "power");
    EXPECT_FLOAT_EQ (processor.changes[2].second, 1.0f);
}
