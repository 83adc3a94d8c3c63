#include "engine/dsp/InterleaveGain.h"
#include "engine/dsp/LevelMeasurement.h"
#include "engine/dsp/SaturationCurve.h"
#include "engine/dsp/SaturationStage.h"
#include "tests/engine/dsp/DspTestHelpers.h"

#include <gtest/gtest.h>

using namespace KA;
using namespace KA::Test;

namespace
{
    const float preGain = std::pow (10.0f, -0.75f);
    const float dcGain = std::pow (10.0f, -0.05f);
    const float linearGain = std::pow (10.0f, 0.95f);

    Complex sectionResponse (const juce::dsp::IIR::Coefficients<float>& c, double omega)
    {
        const auto z1 = std::polar (1.0, -omega);
        return ((double) c.coefficients[0] + (double) c.coefficients[1] * z1) / (1.0 + (double) c.coefficients[2] * z1);
    }
}

TEST (DcBlocker, RemovesDcAndKeepsItsGainAtHighFrequencies)
{
    const double g = std::pow (10.0, -0.05);

    for (double fs : { 8000.0, 44100.0, 48000.0, 192000.0 })
    {
        auto c = SaturationStage::designDcBlocker (fs, dcGain);
        ASSERT_EQ (c->coefficients.size(), 3);

        EXPECT_NEAR (std::abs (sectionResponse (*c, 0.0)), 0.0, 1e-6);
        EXPECT_NEAR (std::abs (sectionResponse (*c, pi)), g, 1e-5);
        // Pre-warped at 10 Hz: exactly g / sqrt(2) there, i.e. 3 dB below its gain.
        EXPECT_NEAR (toDb (std::abs (sectionResponse (*c, 2 * pi * 10 / fs))), toDb (g) - toDb (std::sqrt (2.0)), 0.01) << fs;

        // Run it: a constant settles to 0, alternating samples keep gain g.
        InterleaveIIR blocker;
        blocker.setCoefficients (*c);
        blocker.prepare();
        std::vector<float> run (2 * (size_t) fs, 0.0f);
        for (size_t i = 0; i < run.size(); ++i)
            run[i] = 0.5f + ((i / 2) % 2 == 0 ? 0.25f : -0.25f);
        blocker.process (run.data(), (int) fs);
        const auto last = run.size() - 4;
        EXPECT_NEAR (run[last] + run[last + 2], 0.0, 1e-4);
        EXPECT_NEAR (std::abs (run[last] - run[last + 2]) / 0.5, g, 1e-4);
    }

    auto identity = SaturationStage::designDcBlocker (0.0, dcGain);
    EXPECT_EQ (identity->coefficients[0], 1.0f);
    EXPECT_EQ (identity->coefficients[1], 0.0f);
    EXPECT_EQ (identity->coefficients[2], 0.0f);
}

TEST (SaturationCurve, TableEndsAndCentre)
{
    EXPECT_EQ (saturationCurveTable[0], -0.902147f);
    EXPECT_EQ (saturationCurveTable[511], 0.0f);
    EXPECT_EQ (saturationCurveTable[1022], 0.903517f);
    EXPECT_EQ (saturationCurveTable[644], 1.0000001f);

    EXPECT_EQ (saturationCurve (-1.0f), -0.902147f);
    EXPECT_EQ (saturationCurve (-7.0f), -0.902147f);
    EXPECT_EQ (saturationCurve (1.0f), 0.903517f);
    EXPECT_EQ (saturationCurve (3.0f), 0.903517f);
    EXPECT_EQ (saturationCurve (0.0f), 0.0f);
    EXPECT_TRUE (std::isfinite (saturationCurve (std::numeric_limits<float>::quiet_NaN())));

    // Steep through zero, a single maximum of 1 near x = 0.26.
    EXPECT_NEAR ((saturationCurveTable[512] - saturationCurveTable[510]) / (4.0 / 1022.0), 10.1, 0.5);
    float peak = -1;
    int peakAt = 0;
    for (int k = 0; k < saturationCurveSize; ++k)
        if (saturationCurveTable[k] > peak)
            peak = saturationCurveTable[k], peakAt = k;
    EXPECT_EQ (peakAt, 644);
    for (int k = 1; k < 644; ++k)
        EXPECT_GE (saturationCurveTable[k], saturationCurveTable[k - 1]);
}

TEST (SaturationCurve, WaveshaperClampsAndInterpolates)
{
    SaturationStage stage;
    EXPECT_EQ (stage.shape (1.0f), 0.903517f);
    EXPECT_EQ (stage.shape (5.0f), 0.903517f);
    EXPECT_EQ (stage.shape (-1.0f), -0.902147f);
    EXPECT_EQ (stage.shape (-5.0f), -0.902147f);
    EXPECT_EQ (stage.shape (std::numeric_limits<float>::quiet_NaN()), -0.902147f);
    EXPECT_EQ (stage.shape (std::numeric_limits<float>::infinity()), 0.903517f);

    // The paired lookup used while processing is the waveshaper's own arithmetic.
    for (float x = -1.25f; x <= 1.25f; x += 0.000731f)
    {
        const auto pair = stage.shapePair (StereoPair { x, -x, 0.0f, 0.0f });
        ASSERT_EQ (pair[0], stage.getWaveshaper().processSample (x)) << x;
        ASSERT_EQ (pair[1], stage.getWaveshaper().processSample (-x)) << x;
    }
    EXPECT_EQ (stage.shapePair (splat (std::numeric_limits<float>::quiet_NaN()))[0], -0.902147f);

    // 1024 points over [-1, 1]: between two points the value is their straight line.
    for (int i : { 0, 100, 511, 512, 700, 1022 })
    {
        const double x0 = -1.0 + 2.0 * i / 1023, x1 = -1.0 + 2.0 * (i + 1) / 1023;
        const double y0 = saturationCurve ((float) x0), y1 = saturationCurve ((float) x1);
        EXPECT_NEAR (stage.shape ((float) (0.5 * (x0 + x1))), 0.5 * (y0 + y1), 1e-5);
    }
}

TEST (DynamicBias, ConstantInputSettlesAtValuePlusTenthOfMagnitude)
{
    for (float v : { 0.5f, -0.5f, 0.2f })
    {
        DynamicBias<float, 2> bias;
        bias.amount = 0.1f;
        bias.cutoff = 5.0f;
        bias.prepare ({ 48000.0, 4800, 2 });

        std::vector<float> run (2 * 4800);
        for (int block = 0; block < 20; ++block)
        {
            std::fill (run.begin(), run.end(), v);
            float* channel = run.data();
            juce::dsp::AudioBlock<float> audioBlock (&channel, 1, 4800);
            bias.process (juce::dsp::ProcessContextReplacing<float> (audioBlock));
        }
        EXPECT_NEAR (run.back(), v + 0.1 * std::abs (v), 1e-5);
        EXPECT_NEAR (run[run.size() - 2], v + 0.1 * std::abs (v), 1e-5);
    }
}

TEST (LevelMeasurement, ReleasesByDecayAndIgnoresNegativeSamples)
{
    LevelMeasurement<float, 2> meter (0.1);
    meter.prepare ({ 48000.0, 512, 2 });
    EXPECT_NEAR (meter.getDecay(), std::exp (-1.0 / 4800.0), 1e-7);

    std::vector<float> negative (2 * 100, -0.7f);
    meter.processInterleaved (negative.data(), 100);
    EXPECT_EQ (meter.getLevel (0), 0.0f);
    EXPECT_EQ (meter.getLevel (1), 0.0f);

    std::vector<float> run (2 * 4801, 0.0f);
    run[0] = 1.0f;
    run[1] = 0.5f;
    meter.processInterleaved (run.data(), 4801);
    EXPECT_NEAR (meter.getLevel (0), std::exp (-1.0), 1e-4);
    EXPECT_NEAR (meter.getLevel (1), 0.5 * std::exp (-1.0), 1e-4);

    float inf[] = { std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN() };
    meter.processInterleaved (inf, 1);
    EXPECT_TRUE (std::isfinite (meter.getLevel (0)));
    EXPECT_TRUE (std::isfinite (meter.getLevel (1)));

    // A new preparation starts both channels from silence.
    float half[] = { 0.5f, 0.5f };
    meter.processInterleaved (half, 1);
    ASSERT_GT (meter.getLevel (1), 0.0f);
    meter.prepare ({ 48000.0, 512, 2 });
    EXPECT_EQ (meter.getLevel (0) + meter.getLevel (1), 0.0f);
}

TEST (InterleaveGain, RampsPerFrameAndLandsExactly)
{
    InterleaveGain<float, 2> gain;
    gain.setRampSeconds (0.05);
    gain.prepare ({ 44100.0, 1000, 2 }); // shorter than the run: it is processed in pieces
    gain.setGainDecibels (0.0f);
    gain.reset();

    gain.setGainDecibels (20.0f * std::log10 (2.0f));
    std::vector<float> run (2 * 2205, 1.0f);
    gain.process (run.data(), run.data(), 2205);

    for (int i = 0; i < 2205; ++i)
    {
        ASSERT_EQ (run[2 * (size_t) i], run[2 * (size_t) i + 1]);
        EXPECT_NEAR (run[2 * (size_t) i], 1.0 + (i + 1) / 2205.0, 2205 * 2.4e-7);
    }
    EXPECT_LT (run[2 * 2203], 2.0f);
    EXPECT_EQ (run[2 * 2204], std::pow (10.0f, 20.0f * std::log10 (2.0f) * 0.05f));

    // Exactly 0 at or below -100 dB.
    gain.setGainDecibels (-100.0f);
    gain.reset();
    std::fill (run.begin(), run.end(), 1.0f);
    gain.process (run.data(), run.data(), 16);
    EXPECT_EQ (run[0], 0.0f);
    EXPECT_EQ (run[31], 0.0f);
}

TEST (InterleaveGain, WithoutARampTheGainJumps)
{
    InterleaveGain<float, 2> gain;
    gain.setGainDecibels (6.0f);
    std::vector<float> run (4, 1.0f);
    gain.process (run.data(), run.data(), 2);
    EXPECT_NEAR (run[0], std::pow (10.0, 0.3), 1e-6);
    EXPECT_EQ (run[3], run[0]);
}

TEST (SaturationStage, LinearPathHasTheProductOfTheGains)
{
    SaturationStage stage;
    stage.setGains (preGain, dcGain, linearGain);
    stage.setMixTarget (0.0f);
    stage.prepare (48000.0, 480, 4);

    const double fs = 48000.0, tone = 1000.0, amplitude = 0.1;
    const int frames = 24000;
    std::vector<float> run (2 * frames);
    for (int i = 0; i < frames; ++i)
        run[2 * (size_t) i] = run[2 * (size_t) i + 1] = (float) (amplitude * std::sin (2 * pi * tone * i / fs));

    for (int start = 0; start < frames; start += 480)
        stage.process (run.data() + 2 * start, 480);

    std::vector<double> left (frames);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = run[2 * i];

    // 10^0.15 in the pass band, times the oversampling filters' and the blocker's
    // responses at 1 kHz, both within a few thousandths of a dB of 1 there.
    const double measured = toneAmplitude (left, frames / 2, frames, 2 * pi * tone / fs) / amplitude;
    EXPECT_NEAR (toDb (measured), 20.0 * 0.15, 0.01);
}

TEST (SaturationStage, MixRampsOverFiftyMillisecondsOfOversampledFrames)
{
    SaturationStage stage;
    stage.setGains (preGain, dcGain, linearGain);
    stage.prepare (48000.0, 512, 4);
    EXPECT_EQ (stage.getMix().getCurrentValue(), 0.0f);

    stage.setMixTarget (1.0f);
    std::vector<float> run (2 * 512, 0.0f);
    int frames = 0;
    while (stage.getMix().isSmoothing() || frames == 0)
    {
        stage.process (run.data(), 512);
        frames += 512;
    }
    // 9600 oversampled steps are 2400 device frames: done within the fifth block.
    EXPECT_EQ (frames, 2560);
    EXPECT_EQ (stage.getMix().getCurrentValue(), 1.0f);
}

TEST (SaturationStage, NonFiniteInputIsSilenceAndNothingSticks)
{
    for (int factor : { 1, 2, 4 })
    {
        SaturationStage clean, dirty;
        for (auto* s : { &clean, &dirty })
        {
            s->setGains (preGain, dcGain, linearGain);
            s->setMixTarget (1.0f);
            s->prepare (16000.0, 256, factor);
        }

        auto a = whiteNoise (512, 2.0f, 6);
        auto d = a;
        a[3] = 0.0f;   d[3] = std::numeric_limits<float>::quiet_NaN();
        a[300] = 0.0f; d[300] = std::numeric_limits<float>::infinity();
        clean.process (a.data(), 256);
        dirty.process (d.data(), 256);
        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_EQ (a[i], d[i]) << i;

        std::vector<float> huge (512, -3.0e38f);
        dirty.process (huge.data(), 256);
        auto after = whiteNoise (512, 0.5f, 7);
        dirty.process (after.data(), 256);
        dirty.process (after.data(), 256);
        for (auto v : after)
            ASSERT_TRUE (std::isfinite (v)) << factor;
    }
}
