// What the trusted validators of audio processors check, run in-process against
// the product processor.

#include "tests/engine/product/ProductRig.h"
#include "tests/engine/product/AllocationCounter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cfloat>
#include <thread>

using namespace KA::Test;

namespace
{
void fillNoise (juce::AudioBuffer<float>& buffer, juce::Random& random, float amplitude = 1.0f)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, (random.nextFloat() * 2.0f - 1.0f) * amplitude);
}

/** No NaN, no infinity, no subnormal. */
::testing::AssertionResult allClean (const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            const float x = buffer.getSample (ch, i);
            if (! std::isfinite (x))
                return ::testing::AssertionFailure() << "non-finite " << x << " at " << ch << "/" << i;
            if (x != 0.0f && std::abs (x) < FLT_MIN)
                return ::testing::AssertionFailure() << "subnormal " << x << " at " << ch << "/" << i;
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

TEST (Reliability, RandomProgramSwitchingWhileProcessing)
{
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 256);
    juce::Random random (1);
    juce::AudioBuffer<float> buffer (2, 256);

    for (int i = 0; i < 300; ++i)
    {
        p.setCurrentProgram (random.nextInt ({ -2, p.getNumPrograms() + 2 }));
        ASSERT_GE (p.getProgramName (p.getCurrentProgram()).length(), 1);
        ASSERT_TRUE (processNoise (p, buffer, random));
    }
}

TEST (Reliability, SaveRandomiseRestoreGivesTheSameBytes)
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
        for (auto* parameter : p.getParameters())
        {
            const auto& id = dynamic_cast<juce::RangedAudioParameter*> (parameter)->paramID;
            ASSERT_EQ (getReal (fresh, id), getReal (p, id)) << id;
        }
    }
}

TEST (Reliability, EveryParameterTextToValueAndBack)
{
    RedeVaAudioProcessor p;
    juce::Random random (3);

    for (auto* parameter : p.getParameters())
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter);
        ASSERT_NE (ranged, nullptr);

        std::vector<float> positions { 0.0f, 1.0f, ranged->getDefaultValue() };
        for (int i = 0; i < 200; ++i)
            positions.push_back (random.nextFloat());

        for (float v : positions)
        {
            const auto text = ranged->getText (v, 1024);
            ASSERT_TRUE (text.isNotEmpty());
            const float back = ranged->getValueForText (text);
            ASSERT_TRUE (std::isfinite (back));
            ASSERT_GE (back, 0.0f);
            ASSERT_LE (back, 1.0f);
            EXPECT_EQ (ranged->getText (back, 1024), text) << ranged->paramID << " at " << v;
        }

        // Whatever is typed stays inside the range.
        for (const char* typed : { "nan", "inf", "-inf", "1e30", "-1e30", "hello", "" })
        {
            const float value = ranged->getValueForText (typed);
            EXPECT_TRUE (std::isfinite (value)) << typed;
            EXPECT_GE (value, 0.0f) << typed;
            EXPECT_LE (value, 1.0f) << typed;
        }
    }

    // "-oo" is the bottom of Level's travel, not 0 dB.
    auto* level = p.parameters.getParameter ("Level");
    EXPECT_EQ (level->getValueForText ("-oo"), 0.0f);
}

TEST (Reliability, EveryRateAndBlockSizeGivesCleanOutput)
{
    juce::Random random (4);

    for (double rate : { 8000.0, 11025.0, 16000.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 })
    {
        for (int block : { 1, 7, 64, 512, 4096, 8192 })
        {
            RedeVaAudioProcessor p;
            randomiseParameters (p, random);
            prepare (p, rate, block);

            const int total = juce::jmax (3 * block, (int) (rate * 0.1));
            juce::AudioBuffer<float> buffer (2, block);
            for (int done = 0; done < total; done += block)
            {
                ASSERT_TRUE (processNoise (p, buffer, random)) << rate << " Hz, block " << block;
            }
        }
    }
}

TEST (Reliability, ParametersAutomatedEveryThirtyTwoFrames)
{
    RedeVaAudioProcessor p;
    prepare (p, 44100.0, 512);
    juce::Random random (5);
    juce::AudioBuffer<float> buffer (2, 32);

    for (int i = 0; i < 44100 / 32 * 2; ++i)
    {
        p.getParameters()[random.nextInt (12)]->setValueNotifyingHost (random.nextFloat());
        ASSERT_TRUE (processNoise (p, buffer, random));
    }
}

TEST (Reliability, BlocksLargerThanPreparedAndRateChangesWithoutRelease)
{
    RedeVaAudioProcessor p;
    juce::Random random (6);
    juce::MidiBuffer midi;

    prepare (p, 48000.0, 64);
    juce::AudioBuffer<float> big (2, 8192);
    fillNoise (big, random);
    p.processBlock (big, midi);
    EXPECT_TRUE (allClean (big));

    for (double rate : { 96000.0, 44100.0, 192000.0, 8000.0 })
    {
        prepare (p, rate, 300);
        juce::AudioBuffer<float> buffer (2, 1000);
        fillNoise (buffer, random);
        p.processBlock (buffer, midi);
        EXPECT_TRUE (allClean (buffer)) << rate;
    }
}

TEST (Reliability, NonFiniteInputDoesNotPoisonLaterOutput)
{
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 256);
    juce::Random random (8);
    juce::MidiBuffer midi;

    juce::AudioBuffer<float> bad (2, 256);
    fillNoise (bad, random);
    bad.setSample (0, 10, std::numeric_limits<float>::quiet_NaN());
    bad.setSample (1, 20, std::numeric_limits<float>::infinity());
    bad.setSample (0, 30, -std::numeric_limits<float>::infinity());
    bad.setSample (1, 40, 1.0e-42f);
    p.processBlock (bad, midi);

    // The dry share of the power fade still carries the bad samples through; once
    // the fade is complete, every later block must be clean.
    juce::AudioBuffer<float> buffer (2, 256);
    for (int i = 0; i < 40; ++i)
    {
        fillNoise (buffer, random);
        p.processBlock (buffer, midi);
        if (i >= 10)
            ASSERT_TRUE (allClean (buffer)) << "block " << i;
    }
}

TEST (Reliability, ParametersSetFromAnotherThreadWhileAudioRuns)
{
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 128);

    std::atomic<bool> running { true };
    std::thread automation ([&]
    {
        juce::Random random (9);
        while (running.load())
        {
            p.getParameters()[random.nextInt (12)]->setValueNotifyingHost (random.nextFloat());
            std::this_thread::yield();
        }
    });

    juce::Random random (10);
    juce::AudioBuffer<float> buffer (2, 128);
    for (int i = 0; i < 48000 / 128; ++i)
    {
        ASSERT_TRUE (processNoise (p, buffer, random));
    }

    running.store (false);
    automation.join();
}

TEST (Reliability, ProcessBlockDoesNotAllocate)
{
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 512);
    juce::Random random (11);
    juce::AudioBuffer<float> buffer (2, 512);
    juce::AudioBuffer<float> big (2, 2048);
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
    auto* probe = new std::vector<int> (100);
    delete probe;
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
            for (int i = 0; i < input.getNumSamples(); ++i)
                ASSERT_EQ (out.getSample (ch, i), reference.getSample (ch, i)) << announced << " at " << i;
    }

    // The chain really ran: +15 dB at 120 Hz changes the noise.
    double difference = 0.0;
    for (int i = 4800; i < input.getNumSamples(); ++i)
        difference += std::abs (reference.getSample (0, i) - input.getSample (0, i));
    EXPECT_GT (difference, 1.0);
}

TEST (Reliability, DegenerateSampleRatesStayFinite)
{
    juce::Random random (13);

    for (double rate : { 1.0, 4.0, 7.0, 9.0, 19.0, 0.0, -48000.0 })
    {
        RedeVaAudioProcessor p;
        randomiseParameters (p, random);
        setReal (p, "power", 1.0f);
        prepare (p, rate, 64);

        juce::AudioBuffer<float> buffer (2, 64);
        for (int block = 0; block < 200; ++block)
        {
            ASSERT_TRUE (processNoise (p, buffer, random)) << rate << " Hz, block " << block;
        }
        for (int c = 0; c < 2; ++c)
        {
            EXPECT_TRUE (std::isfinite (p.inputMeter.getLevel (c))) << rate;
            EXPECT_TRUE (std::isfinite (p.outputMeter.getLevel (c))) << rate;
        }
    }
}

TEST (Reliability, NonFiniteValuesInAStateKeepTheCurrentValues)
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

    EXPECT_EQ (getReal (p, "Level"), -6.0f);
    EXPECT_EQ (getReal (p, "50Hz"), 3.0f);
    EXPECT_EQ (getReal (p, "400Hz"), 2.0f);
    EXPECT_EQ (getReal (p, "power"), 1.0f);
    EXPECT_EQ (getReal (p, "120Hz"), 4.5f);
    EXPECT_FALSE (p.parameters.state.hasProperty ("lastUIWidth"));
    EXPECT_EQ (p.parameters.state.getProperty ("lastUIHeight"), juce::var (300));

    const auto saved = stateOf (p);
    const juce::String text (static_cast<const char*> (saved.getData()) + 8, saved.getSize() - 9);
    EXPECT_FALSE (text.containsIgnoreCase ("nan")) << text;
    EXPECT_FALSE (text.containsIgnoreCase ("inf")) << text;
}

TEST (Reliability, NonFiniteValuesSetOnAParameterAreIgnored)
{
    RedeVaAudioProcessor p;
    juce::Random random (3);
    randomiseParameters (p, random);

    for (auto* parameter : p.getParameters())
    {
        const auto id = dynamic_cast<juce::RangedAudioParameter&> (*parameter).getParameterID();
        const auto value = parameter->getValue();
        const auto raw = getReal (p, id);

        for (auto bad : { std::numeric_limits<float>::quiet_NaN(), INFINITY, -INFINITY })
        {
            parameter->setValue (bad);
            parameter->setValueNotifyingHost (bad);
        }

        EXPECT_EQ (parameter->getValue(), value) << id;
        EXPECT_EQ (getReal (p, id), raw) << id;
    }
}
