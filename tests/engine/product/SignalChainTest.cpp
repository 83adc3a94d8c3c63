#include "tests/engine/dsp/DspTestHelpers.h"
#include "tests/engine/product/ProductRig.h"

#include <gtest/gtest.h>

#include <complex>

using namespace KA::Test;

namespace
{
/** Amplitude of the component at hz over the second half of a channel. */
double amplitudeAt (const juce::AudioBuffer<float>& buffer, int channel, double rate, double hz)
{
    const std::vector<double> x (buffer.getReadPointer (channel), buffer.getReadPointer (channel) + buffer.getNumSamples());
    return toneAmplitude (x, x.size() / 2, x.size(), 2 * pi * hz / rate);
}

/** |H| at f of the 10 Hz DC blocker with its -1 dB gain, from its bilinear design. */
double dcBlockerMagnitude (double fs, double f)
{
    const double g = std::pow (10.0, -0.05), w = 2.0 * pi * 10.0, k = w / std::tan (pi * 10.0 / fs), d = k + w;
    const auto z1 = std::polar (1.0, -2.0 * pi * f / fs);
    return std::abs ((g * k / d - g * k / d * z1) / (1.0 + (w - k) / d * z1));
}

/** |H| at f of one 20 kHz second-order Butterworth section by the bilinear transform at rate r. */
double butterworthMagnitude (double r, double f)
{
    return 1.0 / std::sqrt (1.0 + std::pow (std::tan (pi * f / r) / std::tan (pi * 20000.0 / r), 4.0));
}

juce::AudioBuffer<float> noise (int frames, int seed)
{
    juce::Random random (seed);
    juce::AudioBuffer<float> buffer (2, frames);
    fillNoise (buffer, random, 0.5f);
    return buffer;
}
} // namespace

TEST (SignalChain, TheLinearPathHasTheSeriesGainsAndTheMetersFollowTheTrims)
{
    for (auto [rate, inTrim, outTrim] : { std::tuple { 44100.0, 0.0f, 0.0f }, { 48000.0, 6.0f, -3.0f }, { 96000.0, 0.0f, 0.0f } })
    {
        RedeVaAudioProcessor p;
        setReal (p, "AnalogPower", 0.0f);
        setReal (p, "InputTrimmer", inTrim);
        setReal (p, "OutputTrimmer", outTrim);
        prepare (p, rate, 512);

        const double amplitude = 0.01;
        const int frames = (int) rate;
        const auto out = runThrough (p, sine (frames, rate, 1000.0, amplitude), 512);

        const int factor = p.getOversamplingFactor();
        // Pre-gain times the linear path's gain and the trims; the DC blocker carries its own gain.
        const double expected = std::pow (10.0, -0.75 + 0.95 + (inTrim + outTrim) / 20.0) * dcBlockerMagnitude (rate, 1000.0)
                                * std::pow (butterworthMagnitude (rate * factor, 1000.0), 2.0 * factor);
        for (int ch = 0; ch < 2; ++ch)
        {
            const double measured = amplitudeAt (out, ch, rate, 1000.0);
            EXPECT_NEAR (toDb (measured / amplitude), toDb (expected), 0.01) << rate << " ch " << ch;
            // The input meter reads after the input trim, the output meter at the end.
            EXPECT_NEAR (p.inputMeter.getLevel (ch), amplitude * std::pow (10.0, inTrim / 20.0), 0.1 * amplitude) << rate;
            EXPECT_NEAR (p.outputMeter.getLevel (ch), measured, 0.1 * measured) << rate;
        }
    }
}

TEST (SignalChain, MonoInputIsDuplicatedAndProcessedIdentically)
{
    RedeVaAudioProcessor mono, stereo;
    for (auto* p : { &mono, &stereo })
    {
        setReal (*p, "120Hz", 9.0f);
        prepare (*p, 48000.0, 256, p == &mono ? 1 : 2, 2);
    }
    ASSERT_EQ (mono.getTotalNumInputChannels(), 1);

    auto input = noise (4800, 7);
    const auto reference = runThrough (stereo, input, 256);
    for (int i = 0; i < 4800; ++i)
        input.setSample (1, i, 0.9f); // must be ignored: it is an output-only channel
    const auto out = runThrough (mono, input, 256);

    // Channel 1 has no dry input to fade from, so once the power fade is over it
    // carries the same processed signal, up to the rounding of the mix.
    for (int i = 0; i < 4800; ++i)
    {
        ASSERT_EQ (out.getSample (0, i), reference.getSample (0, i)) << i;
        if (i >= 2400)
        {
            ASSERT_NEAR (out.getSample (1, i), out.getSample (0, i), 1e-6f) << i;
        }
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

TEST (SignalChain, SingleOutputChannelHoldsTheRightChannelAndAMonoInputFeedsBothSides)
{
    ChainProbe p;
    prepare (p, 48000.0, 128, 1, 1);
    const float run[] { 1.0f, -1.0f, 2.0f, -2.0f, 3.0f, -3.0f };
    juce::AudioBuffer<float> buffer (1, 3);
    juce::dsp::AudioBlock<float> block (buffer);
    p.deinterleave (run, block, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (buffer.getSample (0, i), -(float) (i + 1));

    float back[6] {};
    buffer.setSample (0, 1, 7.0f);
    p.interleave (block, back, 3);
    EXPECT_TRUE (back[2] == 7.0f && back[3] == 7.0f);
}

TEST (SignalChain, OversamplingFactorByRateIsSticky)
{
    // Two between 50 and 100 kHz, one above 100 kHz; other rates keep the factor they find, four at first.
    const std::pair<std::vector<double>, int> cases[] = {
        { { 50000.0 }, 4 }, { { 50001.0 }, 2 }, { { 99999.0 }, 2 }, { { 100000.0 }, 4 }, { { 100001.0 }, 1 },
        { { 96000.0, 48000.0 }, 2 }, { { 192000.0, 44100.0 }, 1 }, { { 192000.0, 96000.0, 44100.0 }, 2 },
    };
    for (auto& [rates, factor] : cases)
    {
        RedeVaAudioProcessor p;
        for (double rate : rates)
            prepare (p, rate, 256);
        EXPECT_EQ (p.getOversamplingFactor(), factor) << rates.back();
    }
}

TEST (SignalChain, SaturationMixRampsOverFiftyMillisecondsOfOversampledFrames)
{
    RedeVaAudioProcessor p;
    prepare (p, 48000.0, 512);
    const auto& mix = p.getSaturationStage().getMix();
    runThrough (p, sine (4800, 48000.0, 100.0, 0.1), 512);
    ASSERT_EQ (mix.getCurrentValue(), 1.0f);

    // Four oversampled steps a frame out of 9600: one frame short of 2400 it is still moving.
    setReal (p, "AnalogPower", 0.0f);
    runThrough (p, sine (1, 48000.0, 100.0, 0.1), 512);
    EXPECT_EQ (mix.getTargetValue(), 0.0f);
    EXPECT_NEAR (mix.getCurrentValue(), 1.0f - 4.0f / 9600.0f, 1e-6);
    runThrough (p, sine (2398, 48000.0, 100.0, 0.1), 512);
    EXPECT_TRUE (mix.isSmoothing());
    runThrough (p, sine (1, 48000.0, 100.0, 0.1), 512);
    EXPECT_FALSE (mix.isSmoothing());
    EXPECT_EQ (mix.getCurrentValue(), 0.0f);
}

TEST (SignalChain, LevelAtOrBelowMinusHundredIsSilence)
{
    for (float level : { -120.0f, -100.0f })
    {
        RedeVaAudioProcessor p;
        setReal (p, "Level", level);
        prepare (p, 48000.0, 256);
        const auto out = runThrough (p, sine (9600, 48000.0, 1000.0, 0.5), 256);
        // After the power fade-in (whose dry share is the input).
        for (int i = 2400; i < 9600; ++i)
            ASSERT_EQ (out.getSample (0, i), 0.0f) << level << " at " << i;
    }
}

namespace
{
void moveControls (RedeVaAudioProcessor& p)
{
    for (auto [id, value] : { std::pair { "50Hz", 6.0f }, { "400Hz", -9.0f }, { "10kHz", 4.5f }, { "Level", -6.0f }, { "InputTrimmer", 3.0f }, { "OutputTrimmer", -2.0f } })
        setReal (p, id, value);
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
        runThrough (p, signal (4800, [] (int) { return 0.0f; }), 256);
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
        const float share = frames == 1 ? 1.0f / 2400.0f : 1.0f;
        for (int b = 0; b < RedeVaAudioProcessor::numBands; ++b)
            for (int j = 0; j < KA::LatticeBand::numCoefficients; ++j)
            {
                const auto target = settled.getBand (b).getCurrentValue (j);
                ASSERT_EQ (p.getBand (b).getTargetValue (j), target) << b << "/" << j;
                ASSERT_NEAR (p.getBand (b).getCurrentValue (j), share * target, frames == 1 ? 1e-6f : 0.0f) << b << "/" << j;
            }
    }
    EXPECT_EQ (p.getLevelGain().getSmoother().getCurrentValue(), settled.getLevelGain().getSmoother().getCurrentValue());

    // Without a state, Level too fades in from silence.
    RedeVaAudioProcessor fresh;
    prepare (fresh, 48000.0, 64);
    runThrough (fresh, noise (1, 1), 64);
    EXPECT_NEAR (fresh.getLevelGain().getSmoother().getCurrentValue(), 1.0f / 2400.0f, 1e-7);
}
