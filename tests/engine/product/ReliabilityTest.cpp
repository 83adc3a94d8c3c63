// What the trusted validators of audio processors check, run in-process against
// the product processor.

#include "tests/engine/product/ProductRig.h"
#include "tests/engine/product/AllocationCounter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cfloat>
#include <cstring>
#include <thread>

using namespace KA::Test;

namespace
{
/** No NaN, no infinity, no subnormal. */
::testing::AssertionResult allClean (const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            const float x = buffer.getSample (ch, i);
            if (! std::isfinite (x) || (x != 0.0f && std::abs (x) < FLT_MIN))
                return ::testing::AssertionFailure() << x << " at " << ch << "/" << i;
        }
    return ::testing::AssertionSuccess();
}

void randomiseParameters (RedeVaAudioProcessor& p, juce::Random& random)
{
    for (auto* parameter : p.getParameters())
        parameter->setValueNotifyingHost (random.nextFloat());
}

/** One block of fresh noise through the processor, then the output check. */
::testing::AssertionResult processNoise (RedeVaAudioProcessor& p, juce::AudioBuffer<float>& buffer, juce::Random& random)
{
    juce::MidiBuffer midi;
    fillNoise (buffer, random);
    p.processBlock (buffer, midi);
    return allClean (buffer);
}

juce::MemoryBlock stateOf (RedeVaAudioProcessor& p)
{
    juce::MemoryBlock block;
    p.getStateInformation (block);
    return block;
}
} // namespace

TEST (Reliability, SaveRandomiseRestoreGivesTheSameBytesAndValues)
{
    RedeVaAudioProcessor p;
    juce::Random random (2);
    for (int round = 0; round < 20; ++round)
    {
        randomiseParameters (p, random);
        const auto saved = stateOf (p);
        randomiseParameters (p, random);
        p.setStateInformation (saved.getData(), (int) saved.getSize());
        ASSERT_EQ (stateOf (p), saved) << "round " << round;

        RedeVaAudioProcessor fresh;
        fresh.setStateInformation (saved.getData(), (int) saved.getSize());
        ASSERT_EQ (stateOf (fresh), saved) << "round " << round;
    }
}

TEST (Reliability, EveryParameterTextToValueAndBackAndTypedTextStaysInRange)
{
    RedeVaAudioProcessor p;
    juce::Random random (3);
    for (auto* parameter : p.getParameters())
    {
        auto& ranged = dynamic_cast<juce::RangedAudioParameter&> (*parameter);
        std::vector<float> positions { 0.0f, 1.0f, ranged.getDefaultValue() };
        for (int i = 0; i < 200; ++i)
            positions.push_back (random.nextFloat());

        for (float v : positions)
        {
            const auto text = ranged.getText (v, 1024);
            const float back = ranged.getValueForText (text);
            ASSERT_TRUE (text.isNotEmpty() && back >= 0.0f && back <= 1.0f) << ranged.paramID << " " << text;
            EXPECT_EQ (ranged.getText (back, 1024), text) << ranged.paramID << " at " << v;
        }
        for (const char* typed : { "nan", "inf", "-inf", "1e30", "-1e30", "hello", "" })
        {
            const float value = ranged.getValueForText (typed);
            EXPECT_TRUE (value >= 0.0f && value <= 1.0f) << ranged.paramID << " " << typed;
        }
    }
    // "-oo" is the bottom of Level's travel, not 0 dB.
    EXPECT_EQ (p.parameters.getParameter ("Level")->getValueForText ("-oo"), 0.0f);
}

TEST (Reliability, EveryRateBlockSizeAutomationAndProgramChangeGivesCleanOutput)
{
    juce::Random random (4);
    // Degenerate rates included: whatever the host announces, the output stays finite.
    for (double rate : { 8000.0, 11025.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0, 1.0, 7.0, 19.0, 0.0, -48000.0 })
        for (int block : { 1, 7, 64, 512, 8192 })
        {
            RedeVaAudioProcessor p;
            randomiseParameters (p, random);
            setReal (p, "power", 1.0f);
            prepare (p, rate, block);

            juce::AudioBuffer<float> buffer (2, block);
            for (int done = 0; done < juce::jmax (3 * block, (int) (std::abs (rate) * 0.1)); done += block)
            {
                if (block <= 64)
                    p.getParameters()[random.nextInt (12)]->setValueNotifyingHost (random.nextFloat());
                else
                    p.setCurrentProgram (random.nextInt ({ -2, p.getNumPrograms() + 2 }));
                ASSERT_TRUE (processNoise (p, buffer, random)) << rate << " Hz, block " << block;
            }
            for (int c = 0; c < 2; ++c)
                ASSERT_TRUE (std::isfinite (p.inputMeter.getLevel (c)) && std::isfinite (p.outputMeter.getLevel (c))) << rate;
        }

    // Blocks larger than announced, and new rates without a release in between.
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 64);
    for (double rate : { 48000.0, 96000.0, 44100.0, 192000.0, 8000.0 })
    {
        juce::AudioBuffer<float> buffer (2, 8192);
        EXPECT_TRUE (processNoise (p, buffer, random)) << rate;
        prepare (p, rate, 300);
    }
}

TEST (Reliability, NonFiniteInputNeverReachesTheOutputWhileTheChainRuns)
{
    // Fading in (the dry copy still has a share), then on and settled.
    for (int settledFrames : { 0, 4800 })
    {
        RedeVaAudioProcessor p;
        prepare (p, 48000.0, 256);
        juce::Random random (8);
        juce::MidiBuffer midi;
        juce::AudioBuffer<float> buffer (2, 256);
        for (int done = 0; done < settledFrames; done += 256)
            processNoise (p, buffer, random);

        fillNoise (buffer, random);
        for (auto [ch, i, bad] : { std::tuple { 0, 10, NAN }, { 1, 20, INFINITY }, { 0, 30, -INFINITY }, { 1, 40, 1.0e-42f } })
            buffer.setSample (ch, i, bad);
        p.processBlock (buffer, midi);
        ASSERT_TRUE (allClean (buffer)) << settledFrames;
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE (processNoise (p, buffer, random)) << settledFrames << ", block " << i;

        // Off and settled, the block leaves exactly as it came, bad samples included.
        setReal (p, "power", 0.0f);
        for (int i = 0; i < 20; ++i)
            processNoise (p, buffer, random);
        buffer.setSample (0, 10, NAN);
        const juce::AudioBuffer<float> input (buffer);
        p.processBlock (buffer, midi);
        for (int ch = 0; ch < 2; ++ch)
            ASSERT_EQ (std::memcmp (buffer.getReadPointer (ch), input.getReadPointer (ch), 256 * sizeof (float)), 0);
    }
}

TEST (Reliability, PreparedAndProcessedOnOneThreadWhileParametersChangeOnAnother)
{
    // A device restart prepares on its own thread while the user keeps moving
    // controls; the band designs read the prepared rate (the ThreadSanitizer build checks).
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 64);
    std::atomic<bool> running { true };
    std::thread device ([&]
    {
        juce::Random random (14);
        juce::AudioBuffer<float> buffer (2, 64);
        for (int i = 0; running.load(); ++i)
        {
            if (i % 16 == 15)
                prepare (p, i % 32 == 15 ? 44100.0 : 48000.0, 64);
            ASSERT_TRUE (processNoise (p, buffer, random));
        }
    });

    juce::Random random (15);
    for (int i = 0; i < 4000; ++i)
        p.getParameters()[random.nextInt (12)]->setValueNotifyingHost (random.nextFloat());
    running.store (false);
    device.join();
}

TEST (Reliability, ProcessBlockDoesNotAllocate)
{
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 512);
    juce::Random random (11);
    juce::AudioBuffer<float> buffer (2, 512), big (2, 2048);
    juce::MidiBuffer midi;
    fillNoise (big, random);
    ASSERT_TRUE (AllocationCounter::isAvailable());

    for (int i = 0; i < 200; ++i)
    {
        if (i % 10 == 0)
            setReal (p, "120Hz", random.nextFloat() * 30.0f - 15.0f); // outside the counted region
        if (i == 100)
            setReal (p, "power", 0.0f);
        fillNoise (buffer, random);
        const AllocationCounter counter;
        p.processBlock (buffer, midi);
        p.processBlock (big, midi);
        ASSERT_EQ (counter.count(), 0) << "block " << i;
    }

    // The counter does see allocations when there are some.
    const AllocationCounter counter;
    delete new std::vector<int> (100);
    EXPECT_GE (counter.count(), 1);
}

TEST (Reliability, AnnouncedBlockSizeDoesNotChangeTheResult)
{
    juce::Random random (12);
    juce::AudioBuffer<float> input (2, 48000 / 4);
    fillNoise (input, random, 0.25f);
    auto render = [&input] (int announced)
    {
        RedeVaAudioProcessor p;
        setReal (p, "120Hz", 15.0f);
        prepare (p, 48000.0, announced);
        return runThrough (p, input, 512);
    };

    const auto reference = render (512);
    for (int announced : { 0, -5, 1 << 28 })
    {
        const auto out = render (announced);
        for (int ch = 0; ch < 2; ++ch)
            ASSERT_EQ (std::memcmp (out.getReadPointer (ch), reference.getReadPointer (ch), sizeof (float) * (size_t) input.getNumSamples()), 0) << announced;
    }

    // The chain really ran: +15 dB at 120 Hz changes the noise.
    double difference = 0.0;
    for (int i = 4800; i < input.getNumSamples(); ++i)
        difference += std::abs (reference.getSample (0, i) - input.getSample (0, i));
    EXPECT_GT (difference, 1.0);
}

TEST (Reliability, NonFiniteValuesInAStateOrSetOnAParameterKeepTheCurrentValues)
{
    RedeVaAudioProcessor p;
    setReal (p, "Level", -6.0f);
    setReal (p, "50Hz", 3.0f);
    setReal (p, "400Hz", 2.0f);

    // JUCE's own number reader overflows a signed int on the long exponent.
    const juce::String xml ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <DRRoreRurediriz lastUIWidth=\"1e99999999999\" lastUIHeight=\"300\">"
                            "<PARAM id=\"Level\" value=\"nan\"/><PARAM id=\"50Hz\" value=\"-inf\"/><PARAM id=\"400Hz\" value=\"1e99999999999\"/>"
                            "<PARAM id=\"power\" value=\"inf\"/><PARAM id=\"120Hz\" value=\"4.5\"/><EXPARAM id=\"400Hz\" value=\"-1e99999999999\"/>"
                            "</DRRoreRurediriz>");
    juce::MemoryBlock blob;
    juce::AudioProcessor::copyXmlToBinary (*juce::parseXML (xml), blob);
    p.setStateInformation (blob.getData(), (int) blob.getSize());

    for (auto [id, value] : { std::pair { "Level", -6.0f }, { "50Hz", 3.0f }, { "400Hz", 2.0f }, { "power", 1.0f }, { "120Hz", 4.5f } })
        EXPECT_EQ (getReal (p, id), value) << id;
    EXPECT_FALSE (p.parameters.state.hasProperty ("lastUIWidth"));
    EXPECT_EQ (p.parameters.state.getProperty ("lastUIHeight"), juce::var (300));
    const auto saved = stateOf (p);
    const juce::String text (static_cast<const char*> (saved.getData()) + 8, saved.getSize() - 9);
    EXPECT_FALSE (text.containsIgnoreCase ("nan") || text.containsIgnoreCase ("inf")) << text;

    juce::Random random (3);
    randomiseParameters (p, random);
    for (auto* parameter : p.getParameters())
    {
        const auto id = dynamic_cast<juce::RangedAudioParameter&> (*parameter).getParameterID();
        const auto value = parameter->getValue();
        const auto raw = getReal (p, id);
        for (auto bad : { NAN, INFINITY, -INFINITY })
        {
            parameter->setValue (bad);
            parameter->setValueNotifyingHost (bad);
        }
        EXPECT_EQ (parameter->getValue(), value) << id;
        EXPECT_EQ (getReal (p, id), raw) << id;
    }
}
