#include "tests/engine/product/ProductRig.h"

#include <gtest/gtest.h>

#include <complex>
#include <functional>

using namespace KA::Test;

namespace
{
constexpr double pi = juce::MathConstants<double>::pi;

/** |H| of the 10 Hz DC blocker with its gain at f, from its bilinear design. */
double dcBlockerMagnitude (double fs, double f)
{
    const double g = std::pow (10.0, -0.05);
    const double fc = 10.0;
    const double k = 2.0 * pi * fc / std::tan (pi * fc / fs);
    const double d = k + 2.0 * pi * 10.0;
    const double b0 = g * k / d, b1 = -g * k / d, a1 = (2.0 * pi * 10.0 - k) / d;
    const auto z1 = std::polar (1.0, -2.0 * pi * f / fs);
    return std::abs ((b0 + b1 * z1) / (1.0 + a1 * z1));
}

/** |H| of one 20 kHz second-order Butterworth section by the bilinear transform at rate r. */
double butterworthMagnitude (double r, double f)
{
    const double ratio = std::tan (pi * f / r) / std::tan (pi * 20000.0 / r);
    return 1.0 / std::sqrt (1.0 + std::pow (ratio, 4.0));
}

double toDb (double x) { return 20.0 * std::log10 (x); }
} // namespace

TEST (SignalChain, NeutralSettingsGiveTheSeriesGainsOnASine)
{
    for (double rate : { 44100.0, 48000.0, 96000.0 })
    {
        RedeVaAudioProcessor p;
        setReal (p, "AnalogPower", 0.0f);
        prepare (p, rate, 512);

        const double amplitude = std::pow (10.0, -40.0 / 20.0);
        const int frames = (int) rate;
        const auto out = runThrough (p, sine (2, frames, rate, 1000.0, amplitude), 512);

        const int factor = p.getOversamplingFactor();
        // Pre-gain times the linear path's gain; the DC blocker carries its own gain.
        const double expected = std::pow (10.0, -0.75) * std::pow (10.0, 0.95) * dcBlockerMagnitude (rate, 1000.0)
                                * std::pow (butterworthMagnitude (rate * factor, 1000.0), 2.0 * factor);

        const int from = frames / 2, length = (int) (rate / 1000.0) * 400;
        for (int ch = 0; ch < 2; ++ch)
        {
            const double measured = amplitudeAt (out, ch, from, length, rate, 1000.0);
            EXPECT_NEAR (toDb (measured / amplitude), toDb (expected), 0.01) << rate << " ch " << ch;
        }
        EXPECT_NEAR (toDb (expected), 3.0, 0.02);
    }
}

TEST (SignalChain, TrimsChangedWhileRunningScaleTheOutputAndTheMetersFollow)
{
    // The linear path, so the trims' gains show as they are.
    const double rate = 48000.0, amplitude = 0.1;
    RedeVaAudioProcessor neutral, trimmed;
    for (auto* p : { &neutral, &trimmed })
    {
        setReal (*p, "AnalogPower", 0.0f);
        prepare (*p, rate, 512);
    }
    setReal (trimmed, "InputTrimmer", 6.0f);
    setReal (trimmed, "OutputTrimmer", -3.0f);

    const auto input = sine (2, 24000, rate, 1000.0, amplitude);
    const auto a = runThrough (neutral, input, 512), b = runThrough (trimmed, input, 512);
    EXPECT_NEAR (toDb (amplitudeAt (b, 0, 12000, 9600, rate, 1000.0) / amplitudeAt (a, 0, 12000, 9600, rate, 1000.0)), 3.0, 0.01);

    // The input meter reads after the input trim, the output meter at the end.
    EXPECT_NEAR (trimmed.inputMeter.getLevel (0), amplitude * std::pow (10.0, 6.0 / 20.0), 0.01);
    EXPECT_NEAR (trimmed.outputMeter.getLevel (1), amplitudeAt (b, 1, 12000, 9600, rate, 1000.0), 0.01);
}

TEST (SignalChain, MonoInputIsDuplicatedAndProcessedIdentically)
{
    RedeVaAudioProcessor mono;
    setReal (mono, "120Hz", 9.0f);
    prepare (mono, 48000.0, 256, 1, 2);
    ASSERT_EQ (mono.getTotalNumInputChannels(), 1);

    juce::AudioBuffer<float> input (2, 4800);
    juce::Random random (7);
    for (int i = 0; i < 4800; ++i)
    {
        input.setSample (0, i, random.nextFloat() * 0.5f - 0.25f);
        input.setSample (1, i, 0.9f); // must be ignored: it is an output-only channel
    }
    const auto out = runThrough (mono, input, 256);

    RedeVaAudioProcessor stereo;
    setReal (stereo, "120Hz", 9.0f);
    prepare (stereo, 48000.0, 256, 2, 2);
    juce::AudioBuffer<float> duplicated (2, 4800);
    duplicated.copyFrom (0, 0, input, 0, 0, 4800);
    duplicated.copyFrom (1, 0, input, 0, 0, 4800);
    const auto reference = runThrough (stereo, duplicated, 256);

    // Channel 0 matches the duplicated stereo run bit for bit. Channel 1 has no dry
    // input to fade from, so once the power fade is over it carries the same
    // processed signal, up to the rounding of the mix.
    for (int i = 0; i < 4800; ++i)
        ASSERT_EQ (out.getSample (0, i), reference.getSample (0, i)) << i;
    for (int i = 2400; i < 4800; ++i)
    {
        ASSERT_NEAR (out.getSample (1, i), out.getSample (0, i), 1e-6f) << i;
        ASSERT_NEAR (reference.getSample (1, i), reference.getSample (0, i), 1e-6f) << i;
    }
}

namespace
{
struct ChainProbe : RedeVaAudioProcessor
{
    using DRBaseAudioProcessor::deinterleave;
    using DRBaseAudioProcessor::interleave;
};
} // namespace

TEST (SignalChain, SingleOutputChannelHoldsTheRightChannel)
{
    ChainProbe p;
    prepare (p, 48000.0, 128, 1, 1);
    ASSERT_EQ (p.getTotalNumOutputChannels(), 1);

    const float run[] { 1.0f, -1.0f, 2.0f, -2.0f, 3.0f, -3.0f };
    juce::AudioBuffer<float> buffer (1, 3);
    juce::dsp::AudioBlock<float> block (buffer);
    p.deinterleave (run, block, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (buffer.getSample (0, i), -(float) (i + 1));

    // And a mono input feeds both sides of the run.
    float back[6] {};
    buffer.setSample (0, 1, 7.0f);
    p.interleave (block, back, 3);
    EXPECT_EQ (back[2], 7.0f);
    EXPECT_EQ (back[3], 7.0f);
}

TEST (SignalChain, FirstPrepareFadesTheChainInFromSilence)
{
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 64);

    juce::AudioBuffer<float> one (2, 1);
    one.setSample (0, 0, 0.5f);
    one.setSample (1, 0, 0.5f);
    juce::MidiBuffer midi;
    p.processBlock (one, midi);

    // One frame into the 2400-frame ramps from 0.
    EXPECT_NEAR (p.getLevelGain().getSmoother().getCurrentValue(), 1.0f / 2400.0f, 1e-7);
    EXPECT_FLOAT_EQ (p.getLevelGain().getSmoother().getTargetValue(), 1.0f);
    EXPECT_EQ (p.getBand (0).getRampSteps(), 2400);
    EXPECT_TRUE (p.getBand (0).isSmoothing());

    // A second preparation jumps to the targets: no new fade.
    p.prepareToPlay (48000.0, 64);
    EXPECT_FALSE (p.getBand (0).isSmoothing());
}

TEST (SignalChain, OversamplingFactorByRateIsSticky)
{
    auto factorAfter = [] (const std::vector<double>& rates)
    {
        RedeVaAudioProcessor p;
        for (double rate : rates)
            prepare (p, rate, 256);
        return p.getOversamplingFactor();
    };

    // Two between 50 and 100 kHz, one above 100 kHz; other rates keep the factor they find, four at first.
    const std::pair<std::vector<double>, int> cases[] = {
        { { 50000.0 }, 4 }, { { 50001.0 }, 2 }, { { 99999.0 }, 2 }, { { 100000.0 }, 4 }, { { 100001.0 }, 1 },
        { { 96000.0, 48000.0 }, 2 }, { { 192000.0, 44100.0 }, 1 }, { { 192000.0, 96000.0, 44100.0 }, 2 },
    };
    for (auto& [rates, factor] : cases)
        EXPECT_EQ (factorAfter (rates), factor) << rates.back();
}

TEST (SignalChain, SaturationMixRampsOverFiftyMillisecondsOfOversampledFrames)
{
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 512);
    EXPECT_EQ (p.getOversamplingFactor(), 4);

    auto out = runThrough (p, sine (2, 4800, 48000.0, 100.0, 0.1), 512);
    ASSERT_FLOAT_EQ (p.getSaturationStage().getMix().getCurrentValue(), 1.0f);

    setReal (p, "AnalogPower", 0.0f);
    juce::AudioBuffer<float> block (2, 1);
    block.clear();
    juce::MidiBuffer midi;
    p.processBlock (block, midi);

    const auto& mix = p.getSaturationStage().getMix();
    EXPECT_EQ (mix.getTargetValue(), 0.0f);
    // One frame of four oversampled steps has run out of 9600.
    EXPECT_NEAR (mix.getCurrentValue(), 1.0f - 4.0f / 9600.0f, 1e-6);

    out = runThrough (p, sine (2, 2398, 48000.0, 100.0, 0.1), 512);
    EXPECT_TRUE (mix.isSmoothing());
    juce::AudioBuffer<float> last (2, 1);
    last.clear();
    p.processBlock (last, midi);
    EXPECT_FALSE (mix.isSmoothing());
    EXPECT_EQ (mix.getCurrentValue(), 0.0f);
}

TEST (SignalChain, LevelAtOrBelowMinusHundredIsSilence)
{
    for (float level : { -120.0f, -100.0f })
    {
        RedeVaAudioProcessor p;
        setReal (p, "Level", level);
        setReal (p, "power", 1.0f);
        prepare (p, 48000.0, 256);
        const auto out = runThrough (p, sine (2, 9600, 48000.0, 1000.0, 0.5), 256);
        // After the power fade-in (whose dry share is the input) the output is silent.
        for (int i = 2400; i < 9600; ++i)
            ASSERT_EQ (out.getSample (0, i), 0.0f) << level << " at " << i;
    }
}

namespace
{
void moveControls (RedeVaAudioProcessor& p)
{
    const std::pair<const char*, float> moved[] { { "50Hz", 6.0f }, { "400Hz", -9.0f }, { "10kHz", 4.5f },
                                                  { "Level", -6.0f }, { "InputTrimmer", 3.0f }, { "OutputTrimmer", -2.0f } };
    for (auto [id, value] : moved)
        setReal (p, id, value);
}

juce::AudioBuffer<float> noise (int frames, int seed)
{
    juce::AudioBuffer<float> buffer (2, frames);
    juce::Random random (seed);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < frames; ++i)
            buffer.setSample (ch, i, random.nextFloat() - 0.5f);
    return buffer;
}
} // namespace

TEST (SignalChain, APrepareAfterAnotherStartsEverySmootherAtItsTarget)
{
    const auto input = noise (4096, 21);
    auto render = [&input] (const std::function<void (RedeVaAudioProcessor&)>& setUp)
    {
        RedeVaAudioProcessor p;
        setUp (p);
        return runThrough (p, input, 256);
    };

    // One preparation, then silence until every ramp (bands, Level, trims, mix, power)
    // has landed; reset clears the filters, which the curve's offset at 0 has stirred.
    const auto reference = render ([] (auto& p)
    {
        moveControls (p);
        prepare (p, 48000.0, 256);
        juce::AudioBuffer<float> silence (2, 4800);
        silence.clear();
        runThrough (p, silence, 256);
        p.reset();
    });

    const auto twoPrepares = render ([] (auto& p)
    {
        moveControls (p);
        prepare (p, 48000.0, 256);
        prepare (p, 48000.0, 256);
    });

    const auto movedWhileStopped = render ([&input] (auto& p)
    {
        prepare (p, 48000.0, 256);
        runThrough (p, input, 256);
        moveControls (p);
        prepare (p, 48000.0, 256);
    });

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < input.getNumSamples(); ++i)
        {
            ASSERT_EQ (twoPrepares.getSample (ch, i), reference.getSample (ch, i)) << ch << "/" << i;
            ASSERT_EQ (movedWhileStopped.getSample (ch, i), reference.getSample (ch, i)) << ch << "/" << i;
        }
}

TEST (SignalChain, AStateRestoredBeforeTheFirstPrepareIsWhatItFadesInTo)
{
    RedeVaAudioProcessor settled;
    moveControls (settled);
    prepare (settled, 48000.0, 256);
    prepare (settled, 48000.0, 256);
    juce::MemoryBlock state;
    settled.getStateInformation (state);

    RedeVaAudioProcessor p;
    p.setStateInformation (state.getData(), (int) state.getSize());
    prepare (p, 48000.0, 256);

    // One frame into the fade from silence, then landed after 2400 frames.
    for (int frames : { 1, 2399 })
    {
        runThrough (p, noise (frames, frames), 256);
        for (int b = 0; b < RedeVaAudioProcessor::numBands; ++b)
            for (int j = 0; j < KA::LatticeBand::numCoefficients; ++j)
            {
                const auto target = settled.getBand (b).getCurrentValue (j);
                ASSERT_EQ (p.getBand (b).getTargetValue (j), target) << b << "/" << j;
                if (frames == 1)
                    ASSERT_NEAR (p.getBand (b).getCurrentValue (j), target / 2400.0f, 1e-6f) << b << "/" << j;
                else
                    ASSERT_EQ (p.getBand (b).getCurrentValue (j), target) << b << "/" << j;
            }
    }
    EXPECT_EQ (p.getLevelGain().getSmoother().getCurrentValue(), settled.getLevelGain().getSmoother().getCurrentValue());
}
