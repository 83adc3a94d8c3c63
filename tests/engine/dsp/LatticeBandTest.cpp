#include "engine/dsp/BandDesign.h"
#include "engine/dsp/LatticeBand.h"
#include "tests/engine/dsp/DspTestHelpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace KA;
using namespace KA::Test;

namespace
{
    const double centres[] = { 50, 120, 400, 500, 800, 4500, 10000 };
    const double qMin[] = { 0.6, 0.6, 0.5, 0.1, 0.1, 0.1, 0.1 };
    const double qMax[] = { 3.0, 2.1, 1.56, 0.94, 0.54, 0.54, 0.83 };

    Biquad referenceBand (int band, double dB, double fs)
    {
        const double q = qMin[band] + (qMax[band] - qMin[band]) * std::abs (dB) / 15.0;
        return digitalPeak (fs, centres[band], q, std::pow (10.0, dB / 20.0));
    }

    void processRun (LatticeBand& band, std::vector<float>& run)
    {
        processLatticeBands (&band, 1, run.data(), (int) run.size() / 2);
    }
}

TEST (LatticeBand, ImpulseResponseMatchesDirectFormInDouble)
{
    for (double fs : { 44100.0, 48000.0 })
    {
        for (int band = 0; band < numBands; ++band)
        {
            for (double dB : { -15.0, -3.0, 6.0, 15.0 })
            {
                LatticeBand b;
                b.prepare (fs);
                b.update (band, (float) dB, fs);
                ASSERT_EQ (b.getOrder(), 2u);

                const int n = 8192;
                std::vector<float> run (2 * n, 0.0f);
                run[0] = 1.0f;
                run[1] = -0.5f;
                processRun (b, run);

                const auto expected = referenceBand (band, dB, fs).impulse (n);
                double peak = 0;
                for (auto v : expected)
                    peak = std::max (peak, std::abs (v));

                for (int i = 0; i < n; ++i)
                {
                    ASSERT_NEAR (run[2 * (size_t) i], expected[(size_t) i], 2e-4 * peak) << "band " << band << " dB " << dB << " i " << i;
                    ASSERT_NEAR (run[2 * (size_t) i + 1], -0.5 * expected[(size_t) i], 1e-4 * peak);
                }
            }
        }
    }
}

TEST (LatticeBand, UnpreparedBandOnlyTakesTheOrder)
{
    LatticeBand b;
    EXPECT_EQ (b.getOrder(), 0u);

    std::vector<float> run { 0.25f, -0.5f, 1.0f, 2.0f };
    auto copy = run;
    processRun (b, run);
    EXPECT_EQ (run, copy);

    b.update (0, 6.0f, 48000.0);
    EXPECT_EQ (b.getOrder(), 2u);

    b.setRampSeconds (0.05);
    b.prepare (48000.0);
    b.reset();
    for (int i = 0; i < LatticeBand::numCoefficients; ++i)
        EXPECT_EQ (b.getTargetValue (i), 0.0f);
}

TEST (LatticeBand, CoefficientsRampOverFloorOfFiftyMillisecondsAndLandExactly)
{
    const double fs = 44100.0;
    const int steps = (int) std::floor (0.05 * fs);
    ASSERT_EQ (steps, 2205);

    LatticeBand b;
    b.setRampSeconds (0.05);
    b.prepare (fs);
    b.reset();
    EXPECT_EQ (b.getRampSteps(), steps);

    b.update (2, 9.0f, fs);
    auto lattice = makePeakLattice (fs, 400.0f, bandQ (2, bandNormalisedValue (9.0f)), std::pow (10.0f, 9.0f * 0.05f));

    std::vector<float> run (2 * (size_t) (steps - 1), 0.0f);
    processRun (b, run);

    for (int i = 0; i < 5; ++i)
    {
        const double target = lattice->coefficients[i];
        EXPECT_EQ (b.getTargetValue (i), (float) target);
        // One frame short of the end: 2204/2205 of the way, not yet landed.
        // A float value stepped 2204 times may drift by a rounding per step.
        EXPECT_NEAR (b.getCurrentValue (i), target * (steps - 1) / steps, steps * 1.2e-7 * std::max (1.0, std::abs (target)));
        EXPECT_NE (b.getCurrentValue (i), (float) target);
    }

    std::vector<float> one (2, 0.0f);
    processRun (b, one);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (b.getCurrentValue (i), (float) lattice->coefficients[i]);
    EXPECT_FALSE (b.isSmoothing());
}

TEST (LatticeBand, NewTargetMidRampRestartsFromTheCurrentValue)
{
    const double fs = 48000.0;
    const int steps = 2400;

    LatticeBand b;
    b.setRampSeconds (0.05);
    b.prepare (fs);
    b.reset();
    b.update (0, 15.0f, fs);

    std::vector<float> run (2 * 1000, 0.0f);
    processRun (b, run);

    float before[5];
    for (int i = 0; i < 5; ++i)
        before[i] = b.getCurrentValue (i);

    b.update (0, -15.0f, fs);
    auto second = makePeakLattice (fs, 50.0f, 3.0f, std::pow (10.0f, -0.75f));

    std::vector<float> one (2, 0.0f);
    processRun (b, one);
    for (int i = 0; i < 5; ++i)
    {
        const double expected = before[i] + ((double) second->coefficients[i] - before[i]) / steps;
        EXPECT_NEAR (b.getCurrentValue (i), expected, 1e-6 * std::max (1.0, std::abs (expected)));
    }

    // The new ramp is a full ramp long from the change.
    std::vector<float> rest (2 * (size_t) (steps - 2), 0.0f);
    processRun (b, rest);
    EXPECT_TRUE (b.isSmoothing());
    processRun (b, one);
    EXPECT_FALSE (b.isSmoothing());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (b.getCurrentValue (i), second->coefficients[i]);
}

TEST (LatticeBand, ResetJumpsToTargetsAndClearsState)
{
    LatticeBand b;
    b.setRampSeconds (0.05);
    b.prepare (48000.0);
    b.update (4, 12.0f, 48000.0);
    b.reset();

    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (b.getCurrentValue (i), b.getTargetValue (i));

    auto run = whiteNoise (512, 1.0f, 3);
    processRun (b, run);
    b.reset();
    float state[4];
    b.getState (state);
    for (auto s : state)
        EXPECT_EQ (s, 0.0f);
}

TEST (LatticeBand, HardSwitchUnderNoiseStaysBounded)
{
    const double fs = 48000.0;

    for (int band = 0; band < numBands; ++band)
    {
        LatticeBand b;
        b.setRampSeconds (0.05);
        b.prepare (fs);
        b.update (band, 15.0f, fs);
        b.reset();

        auto run = whiteNoise (2 * 48000, 1.0f, 11u + (unsigned) band);
        for (int block = 0; block < 48000 / 256; ++block)
        {
            if (block == 40)
                b.update (band, -15.0f, fs);
            processLatticeBands (&b, 1, run.data() + 2 * 256 * block, 256);
        }

        float peak = 0;
        for (auto v : run)
        {
            ASSERT_TRUE (std::isfinite (v));
            peak = std::max (peak, std::abs (v));
        }
        // The largest gain is 10^(15/20) ~ 5.6; the ramp between two stable sets stays stable.
        EXPECT_LT (peak, 30.0f) << "band " << band;
    }
}

namespace
{
/** A band as plain scalar code: five JUCE smoothers stepped once per frame and
    the lattice-ladder recursion per channel, as the band is meant to compute. */
struct ScalarBand
{
    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> c[5];
    float s[4] {};

    void process (float* run, int numFrames)
    {
        for (int f = 0; f < numFrames; ++f)
        {
            float k[5];
            for (int i = 0; i < 5; ++i)
                k[i] = c[i].getNextValue();

            for (int ch = 0; ch < 2; ++ch)
            {
                const float x = run[2 * f + ch], s0 = s[ch], s1 = s[2 + ch];
                const float f1 = x - k[4] * s1;
                const float f0 = f1 - k[2] * s0;
                const float g2 = s1 + k[4] * f1;
                const float g1 = s0 + k[2] * f0;
                s[2 + ch] = g1;
                s[ch] = f0;
                run[2 * f + ch] = k[0] * f0 + (k[3] * g2 + k[1] * g1);
            }
        }
    }
};
} // namespace

TEST (LatticeBand, AnyNumberOfBandsEqualsAPlainScalarBandBitForBit)
{
    // Odd and even counts past a full batch, blocks shorter than the count, and
    // ramps that land on different frames for different bands.
    const double fs = 44100.0;
    const int blockSizes[] = { 1, 3, 37, 2, 500, 5, 441, 16, 120 };

    for (int count : { 1, 2, 5, 7, 8, 19 })
    {
        std::vector<LatticeBand> bands ((size_t) count);
        std::vector<ScalarBand> reference ((size_t) count);

        auto move = [&] (int i, float dB)
        {
            bands[(size_t) i].update (i % numBands, dB, fs);
            const auto lattice = makePeakLattice (fs, (float) centres[i % numBands], bandQ (i % numBands, bandNormalisedValue (dB)), decibelsToGain (dB));
            for (int j = 0; j < 5; ++j)
                reference[(size_t) i].c[j].setTargetValue (lattice->coefficients[j]);
        };

        for (int i = 0; i < count; ++i)
        {
            bands[(size_t) i].setRampSeconds (0.01);
            bands[(size_t) i].prepare (fs);
            for (auto& c : reference[(size_t) i].c)
                c.reset (fs, 0.01);
            move (i, (float) (i * 5 % 31 - 15));
        }

        auto a = whiteNoise (2 * 8000, 0.5f, (unsigned) count);
        auto c = a;

        for (int block = 0, start = 0; start < 8000; ++block)
        {
            const int n = std::min (blockSizes[block % 9], 8000 - start);

            if (block % 4 == 1)
                move (block % count, (float) (block % 29 - 14));

            processLatticeBands (bands.data(), count, a.data() + 2 * start, n);
            for (auto& r : reference)
                r.process (c.data() + 2 * start, n);

            start += n;
        }

        ASSERT_EQ (std::memcmp (a.data(), c.data(), a.size() * sizeof (float)), 0) << count << " bands";

        for (int i = 0; i < count; ++i)
        {
            float state[4];
            bands[(size_t) i].getState (state);
            EXPECT_EQ (std::memcmp (state, reference[(size_t) i].s, sizeof (state)), 0) << count << " bands, band " << i;
        }
    }
}

TEST (LatticeBand, NonFiniteInputDoesNotEnterTheState)
{
    const double fs = 48000.0;
    LatticeBand clean, dirty;
    for (auto* b : { &clean, &dirty })
    {
        b->prepare (fs);
        b->update (1, 10.0f, fs);
        b->reset();
    }

    auto a = whiteNoise (2 * 2048, 0.5f, 9);
    auto d = a;
    a[100] = 0.0f;  d[100] = std::numeric_limits<float>::quiet_NaN();
    a[501] = 0.0f;  d[501] = std::numeric_limits<float>::infinity();
    a[900] = 0.0f;  d[900] = -std::numeric_limits<float>::infinity();

    processRun (clean, a);
    processRun (dirty, d);
    for (size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ (a[i], d[i]) << i;

    // Finite but absurd input overflows; the state must recover at the next block.
    std::vector<float> huge (64, 3.0e38f);
    processRun (dirty, huge);
    auto after = whiteNoise (256, 0.5f, 2);
    processRun (dirty, after);
    for (auto v : after)
        ASSERT_TRUE (std::isfinite (v));
}

TEST (LatticeBand, TargetsHandedOverWhileProcessingArriveWithinOneBlock)
{
    const double fs = 48000.0;
    LatticeBand b;
    b.setRampSeconds (0.01);
    b.prepare (fs);
    b.reset();

    std::atomic<bool> running { true };
    std::thread changer ([&]
    {
        for (int i = 0; running.load() && i < 20000; ++i)
            b.update (3, (float) (i % 31) - 15.0f, fs);
        b.update (3, 4.5f, fs);
    });

    std::vector<float> run (2 * 64);
    for (int block = 0; block < 400; ++block)
    {
        run = whiteNoise (run.size(), 0.5f, (unsigned) block);
        processRun (b, run);
        for (auto v : run)
            ASSERT_TRUE (std::isfinite (v));
    }

    running = false;
    changer.join();

    // One block picks up the last target; a ramp of 480 frames later it has landed.
    std::vector<float> tail (2 * 480);
    processRun (b, tail);
    auto last = makePeakLattice (fs, 500.0f, bandQ (3, bandNormalisedValue (4.5f)), std::pow (10.0f, 4.5f * 0.05f));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (b.getCurrentValue (i), last->coefficients[i]);
}
