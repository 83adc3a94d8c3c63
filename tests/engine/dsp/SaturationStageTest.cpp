#include "engine/dsp/InterleaveGain.h"
#include "engine/dsp/LevelMeasurement.h"
#include "engine/dsp/SaturationCurve.h"
#include "engine/dsp/SaturationStage.h"
#include "tests/engine/dsp/DspTestHelpers.h"

#include <gtest/gtest.h>

using namespace KA;
using namespace KA::Test;

TEST (DcBlocker, RemovesDcAndKeepsItsGainAtHighFrequencies)
{
    const double g = std::pow (10.0, -0.05);
    for (double fs : { 8000.0, 44100.0, 192000.0 })
    {
        auto c = SaturationStage::designDcBlocker (fs, (float) g);
        const auto response = [&c] (double omega)
        {
            const auto z1 = std::polar (1.0, -omega);
            return std::abs (((double) c->coefficients[0] + (double) c->coefficients[1] * z1) / (1.0 + (double) c->coefficients[2] * z1));
        };
        EXPECT_NEAR (response (0.0), 0.0, 1e-6);
        EXPECT_NEAR (response (pi), g, 1e-5);
        // Pre-warped at 10 Hz: 3 dB below its gain there.
        EXPECT_NEAR (toDb (response (2 * pi * 10 / fs)), toDb (g / std::sqrt (2.0)), 0.01) << fs;

        // Run as the stage runs it, interleaved: alternating samples keep gain g.
        InterleaveIIR blocker;
        blocker.setCoefficients (*c);
        blocker.prepare();
        std::vector<float> run (2 * 4096);
        for (size_t i = 0; i < run.size(); ++i)
            run[i] = (i / 2) % 2 == 0 ? 0.25f : -0.25f;
        blocker.process (run.data(), 4096);
        EXPECT_NEAR (run[run.size() - 1], -0.25 * g, 1e-3) << fs;
    }

    auto identity = SaturationStage::designDcBlocker (0.0, (float) g);
    EXPECT_EQ (identity->coefficients[0], 1.0f);
    EXPECT_EQ (identity->coefficients[1] + identity->coefficients[2], 0.0f);
}

TEST (SaturationCurve, RisesToOneMaximumClampsAndInterpolatesLinearly)
{
    const float low = saturationCurveTable[0], high = saturationCurveTable[saturationCurveSize - 1];
    EXPECT_TRUE (low == -0.902147f && saturationCurveTable[511] == 0.0f && high == 0.903517f);
    // Steep through zero.
    EXPECT_NEAR ((saturationCurveTable[512] - saturationCurveTable[510]) / (4.0 / 1022.0), 10.1, 0.5);
    float peak = -1;
    int peakAt = 0;
    for (int k = 1; k < saturationCurveSize; ++k)
        if (saturationCurveTable[k] > peak)
            peak = saturationCurveTable[k], peakAt = k;
    EXPECT_EQ (peakAt, 644);
    EXPECT_EQ (peak, 1.0000001f);
    for (int k = 1; k < peakAt; ++k)
        ASSERT_GE (saturationCurveTable[k], saturationCurveTable[k - 1]);

    SaturationStage stage;
    for (auto [x, y] : { std::pair { -7.0f, low }, { -1.0f, low }, { 1.0f, high }, { 3.0f, high } })
        EXPECT_TRUE (saturationCurve (x) == y && stage.shape (x) == y) << x;
    EXPECT_EQ (saturationCurve (0.0f), 0.0f);
    EXPECT_TRUE (std::isfinite (saturationCurve (NAN)));
    EXPECT_EQ (stage.shape (NAN), low);
    EXPECT_EQ (stage.shape (INFINITY), high);
    EXPECT_EQ (stage.shapePair (splat (NAN))[0], low);

    // The paired lookup used while processing is the waveshaper's own arithmetic.
    for (float x = -1.25f; x <= 1.25f; x += 0.000731f)
    {
        const auto pair = stage.shapePair (StereoPair { x, -x, 0.0f, 0.0f });
        ASSERT_EQ (pair[0], stage.getWaveshaper().processSample (x)) << x;
        ASSERT_EQ (pair[1], stage.getWaveshaper().processSample (-x)) << x;
    }

    // 1024 points over [-1, 1]: between two points the value is their straight line.
    for (int i : { 0, 100, 511, 512, 700, 1022 })
    {
        const double x0 = -1.0 + 2.0 * i / 1023, x1 = -1.0 + 2.0 * (i + 1) / 1023;
        EXPECT_NEAR (stage.shape ((float) (0.5 * (x0 + x1))), 0.5 * (saturationCurve ((float) x0) + saturationCurve ((float) x1)), 1e-5);
    }
}

TEST (DynamicBias, ConstantInputSettlesAtValuePlusTenthOfMagnitude)
{
    for (float v : { 0.5f, -0.2f })
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

TEST (LevelMeasurement, ReleasesByDecayIgnoresNegativeAndNonFiniteSamples)
{
    LevelMeasurement<float, 2> meter (0.1);
    meter.prepare ({ 48000.0, 512, 2 });

    std::vector<float> negative (2 * 100, -0.7f);
    meter.processInterleaved (negative.data(), 100);
    EXPECT_EQ (meter.getLevel (0) + meter.getLevel (1), 0.0f);

    // A peak decays by e after 0.1 s.
    std::vector<float> run (2 * 4801, 0.0f);
    run[0] = 1.0f;
    run[1] = 0.5f;
    meter.processInterleaved (run.data(), 4801);
    EXPECT_NEAR (meter.getLevel (0), std::exp (-1.0), 1e-4);
    EXPECT_NEAR (meter.getLevel (1), 0.5 * std::exp (-1.0), 1e-4);

    float bad[] = { INFINITY, NAN };
    meter.processInterleaved (bad, 1);
    EXPECT_TRUE (std::isfinite (meter.getLevel (0)) && std::isfinite (meter.getLevel (1)));

    // A new preparation starts both channels from silence.
    float half[] = { 0.5f, 0.5f };
    meter.processInterleaved (half, 1);
    ASSERT_GT (meter.getLevel (1), 0.0f);
    meter.prepare ({ 48000.0, 512, 2 });
    EXPECT_EQ (meter.getLevel (0) + meter.getLevel (1), 0.0f);
}

TEST (InterleaveGain, RampsPerFrameAndLandsExactlyOrJumpsWithoutARamp)
{
    InterleaveGain<float, 2> gain;
    gain.setRampSeconds (0.05);
    gain.prepare ({ 44100.0, 1000, 2 }); // shorter than the run: it is processed in pieces
    gain.setGainDecibels (0.0f);
    gain.reset();

    const float dB = 20.0f * std::log10 (2.0f);
    gain.setGainDecibels (dB);
    std::vector<float> run (2 * 2205, 1.0f);
    gain.process (run.data(), run.data(), 2205);
    for (size_t i = 0; i < 2205; ++i)
    {
        ASSERT_EQ (run[2 * i], run[2 * i + 1]);
        ASSERT_NEAR (run[2 * i], 1.0 + (double) (i + 1) / 2205.0, 2205 * 2.4e-7);
    }
    EXPECT_LT (run[2 * 2203], 2.0f);
    EXPECT_EQ (run[2 * 2204], std::pow (10.0f, dB * 0.05f));

    InterleaveGain<float, 2> jump;
    jump.setGainDecibels (6.0f);
    std::vector<float> two (4, 1.0f);
    jump.process (two.data(), two.data(), 2);
    EXPECT_NEAR (two[0], std::pow (10.0, 0.3), 1e-6);
    EXPECT_EQ (two[3], two[0]);
}

TEST (SaturationStage, NonFiniteInputIsSilenceAndNothingSticks)
{
    for (int factor : { 1, 2, 4 })
    {
        SaturationStage clean, dirty;
        for (auto* s : { &clean, &dirty })
        {
            s->setGains (std::pow (10.0f, -0.75f), std::pow (10.0f, -0.05f), std::pow (10.0f, 0.95f));
            s->setMixTarget (1.0f);
            s->prepare (16000.0, 256, factor);
        }

        auto a = whiteNoise (512, 2.0f, 6);
        auto d = a;
        a[3] = a[300] = 0.0f;
        d[3] = NAN;
        d[300] = INFINITY;
        clean.process (a.data(), 256);
        dirty.process (d.data(), 256);
        ASSERT_EQ (a, d) << factor;

        // Absurd input on one side only: that side's filters must recover too.
        std::vector<float> huge (512, 0.1f);
        for (size_t i = 0; i < huge.size(); i += 2)
            huge[i] = -3.0e38f;
        dirty.process (huge.data(), 256);
        auto after = whiteNoise (512, 0.5f, 7);
        dirty.process (after.data(), 256);
        dirty.process (after.data(), 256);
        for (auto v : after)
            ASSERT_TRUE (std::isfinite (v)) << factor;
    }
}
