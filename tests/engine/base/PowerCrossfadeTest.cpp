#include "tests/common/ProbeProcessor.h"

#include <gtest/gtest.h>

#include <cstring>

using KA::Test::ProbeProcessor;

namespace
{
/** Channel 0 carries silence and the hook turns it into 1, so its output is the
    cross-fade gain itself; channel 1 carries noise, and every frame of it is checked
    bit for bit against dry + gain * (processed - dry). */
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
                const float g = buffer.getSample (0, i), dry = input.getSample (1, i);
                const float expected = dry + g * ((dry * 0.5f + 1.0f) - dry), wet = buffer.getSample (1, i);
                ASSERT_EQ (std::memcmp (&expected, &wet, sizeof (float)), 0) << "frame " << gains.size();
                gains.push_back (g);
            }
        }
    }

    void expectRamp (size_t from, float start, float end, int length) const
    {
        for (int i = 0; i < length; ++i)
            ASSERT_NEAR (gains[from + (size_t) i], start + (end - start) * (double) (i + 1) / length, 1e-4) << "step " << i;
        // The last step lands exactly on the target, and the gain then stays there.
        EXPECT_EQ (gains[from + (size_t) length - 1], end);
        EXPECT_EQ (gains[from + (size_t) length], end);
    }

    ProbeProcessor processor;
    juce::Random random { 42 };
    std::vector<float> gains;
};
} // namespace

TEST (PowerCrossfade, FirstPrepareFadesInOverFiftyMillisecondsEvenInLongBlocks)
{
    // Blocks longer than prepared, or than the dry copy, run in pieces that fit both.
    for (auto [rate, length, prepared, block] : { std::tuple { 48000.0, 2400, 512, 333 }, { 44100.0, 2205, 512, 512 },
                                                  { 48000.0, 2400, 512, 8192 }, { 48000.0, 2400, 8192, 8192 } })
    {
        Rig rig (rate, prepared);
        rig.run (8192, block);
        rig.expectRamp (0, 0.0f, 1.0f, length);
        EXPECT_LE (rig.processor.largestHookBlock, std::min (prepared, KA::PluginProcessor::dryCopyFrames));
    }
}

TEST (PowerCrossfade, SwitchOffRampsDownThenPassesThroughWithoutTheHook)
{
    Rig rig (48000.0);
    rig.run (2400);
    rig.processor.setParameter ("power", 0.0f);
    rig.run (2400 + 1024);
    rig.expectRamp (2400, 1.0f, 0.0f, 2400);

    const int calls = rig.processor.hookCalls;
    rig.run (2048);
    EXPECT_EQ (rig.processor.hookCalls, calls);
}

TEST (PowerCrossfade, AReversalRestartsFromTheCurrentValueHalfCountsAsOnAndAChangeWhileStoppedSettles)
{
    Rig rig (48000.0);
    rig.run (2400);
    rig.processor.setParameter ("power", 0.0f);
    rig.run (1200);
    EXPECT_NEAR (rig.gains.back(), 0.5f, 1e-4);
    rig.processor.setParameter ("power", 1.0f);
    rig.run (2500);
    rig.expectRamp (3600, rig.gains[3599], 1.0f, 2400);

    // The switch reads the stored value; 0.5 is the threshold.
    auto* stored = rig.processor.parameters.getRawParameterValue ("power");
    for (auto [value, gain] : { std::pair { 0.5f, 1.0f }, { 0.4999f, 0.0f }, { 1.0f, 1.0f } })
    {
        stored->store (value);
        rig.processor.parameterChanged ("power", value);
        rig.run (2400);
        EXPECT_EQ (rig.gains.back(), gain) << value;
    }

    rig.processor.setParameter ("power", 0.0f);
    rig.processor.prepareToPlay (48000.0, 512);
    const int calls = rig.processor.hookCalls;
    rig.run (512);
    EXPECT_EQ (rig.processor.hookCalls, calls);
    EXPECT_EQ (rig.gains[rig.gains.size() - 512], 0.0f);
}

TEST (PowerCrossfade, OffOrBypassedAMonoInputIsClearedOrCopiedToTheOtherOutput)
{
    for (bool bypassed : { false, true })
    {
        ProbeProcessor processor (ProbeProcessor::monoInStereoOutBuses());
        processor.setParameter ("power", 0.0f);
        processor.setPlayConfigDetails (1, 2, 48000.0, 256);
        processor.prepareToPlay (48000.0, 256);

        juce::AudioBuffer<float> buffer (2, 256);
        for (int i = 0; i < 256; ++i)
        {
            buffer.setSample (0, i, (float) i);
            buffer.setSample (1, i, -1.0f);
        }
        juce::MidiBuffer midi;
        if (bypassed)
            processor.processBlockBypassed (buffer, midi);
        else
            processor.processBlock (buffer, midi);

        EXPECT_EQ (processor.hookCalls, 0);
        for (int i = 0; i < 256; ++i)
            ASSERT_TRUE (buffer.getSample (0, i) == (float) i && buffer.getSample (1, i) == (bypassed ? (float) i : 0.0f)) << bypassed << " " << i;
    }
}

TEST (BlockFraming, ABlockWithoutFramesReachesTheHookButNotTheRampAndUnpreparedPassesThrough)
{
    Rig rig (48000.0);
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> noFrames (2, 0), noChannels (0, 128);
    rig.processor.processBlock (noFrames, midi);
    EXPECT_EQ (rig.processor.hookCalls, 1);
    EXPECT_EQ (rig.processor.largestHookBlock, 0);
    rig.processor.processBlock (noChannels, midi);
    rig.run (1);
    EXPECT_NEAR (rig.gains[0], 1.0f / 2400.0f, 1e-7);

    ProbeProcessor unprepared;
    juce::AudioBuffer<float> buffer (2, 32);
    buffer.clear();
    buffer.setSample (0, 3, 0.5f);
    unprepared.processBlock (buffer, midi);
    EXPECT_EQ (unprepared.hookCalls, 0);
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

    using Changes = std::vector<std::pair<juce::String, float>>;
    EXPECT_EQ (processor.changes, (Changes { { "gain", 7.5f }, { "toggle", 1.0f }, { "power", 1.0f } }));
}
