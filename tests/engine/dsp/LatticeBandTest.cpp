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
    void processRun (LatticeBand& band, std::vector<float>& run) { processLatticeBands (&band, 1, run.data(), (int) run.size() / 2); }

    CoeffLattice<float>::Ptr latticeFor (int band, float dB, double fs)
    {
        return makePeakLattice (fs, (float) bandCentres[band], bandQ (band, bandNormalisedValue (dB)), decibelsToGain (dB));
    }
}

TEST (LatticeBand, ImpulseResponseMatchesDirectFormInDouble)
{
    for (double fs : { 44100.0, 48000.0 })
        for (int band = 0; band < numBands; ++band)
            for (double dB : { -15.0, -3.0, 6.0, 15.0 })
            {
                LatticeBand b;
                b.prepare (fs);
                b.update (band, (float) dB, fs);

                const int n = 8192;
                std::vector<float> run (2 * n, 0.0f);
                run[0] = 1.0f;
                run[1] = -0.5f;
                processRun (b, run);

                const auto expected = digitalPeak (fs, bandCentres[band], referenceQ (band, dB), std::pow (10.0, dB / 20.0)).impulse (n);
                double peak = 0;
                for (auto v : expected)
                    peak = std::max (peak, std::abs (v));
                for (size_t i = 0; i < (size_t) n; ++i)
                {
                    ASSERT_NEAR (run[2 * i], expected[i], 2e-4 * peak) << "band " << band << " dB " << dB << " i " << i;
                    ASSERT_NEAR (run[2 * i + 1], -0.5 * expected[i], 1e-4 * peak);
                }
            }
}

TEST (LatticeBand, UnpreparedBandPassesThroughAndResetClearsEverything)
{
    LatticeBand b;
    EXPECT_EQ (b.getOrder(), 0u);
    std::vector<float> run { 0.25f, -0.5f, 1.0f, 2.0f };
    const auto copy = run;
    processRun (b, run);
    EXPECT_EQ (run, copy);

    b.update (4, 12.0f, 48000.0);
    EXPECT_EQ (b.getOrder(), 2u);
    b.setRampSeconds (0.05);
    b.prepare (48000.0);
    b.reset();
    for (int i = 0; i < LatticeBand::numCoefficients; ++i)
        EXPECT_EQ (b.getTargetValue (i), 0.0f);

    b.update (4, 12.0f, 48000.0);
    b.reset();
    auto noise = whiteNoise (512, 1.0f, 3);
    processRun (b, noise);
    b.reset();
    float state[4];
    b.getState (state);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (state[i], 0.0f);
    for (int i = 0; i < LatticeBand::numCoefficients; ++i)
        EXPECT_EQ (b.getCurrentValue (i), latticeFor (4, 12.0f, 48000.0)->coefficients[i]);
}

TEST (LatticeBand, RampsOverFloorOfFiftyMillisecondsAndANewTargetRestartsFromWhereItIs)
{
    const double fs = 44100.0;
    const int steps = 2205;
    LatticeBand b;
    b.setRampSeconds (0.05);
    b.prepare (fs);
    b.reset();
    EXPECT_EQ (b.getRampSteps(), steps);

    b.update (2, 9.0f, fs);
    const auto first = latticeFor (2, 9.0f, fs);
    std::vector<float> run (2 * (size_t) (steps - 1), 0.0f), one (2, 0.0f);
    processRun (b, run);
    float before[5];
    for (int i = 0; i < 5; ++i)
    {
        const double target = first->coefficients[i];
        EXPECT_EQ (b.getTargetValue (i), (float) target);
        // One frame short of landing; a float stepped 2204 times may drift by a rounding per step.
        EXPECT_NEAR (b.getCurrentValue (i), target * (steps - 1) / steps, steps * 1.2e-7 * std::max (1.0, std::abs (target)));
        EXPECT_NE (b.getCurrentValue (i), (float) target);
        before[i] = b.getCurrentValue (i);
    }

    // Moved one frame before landing: a full ramp from the current value.
    b.update (2, -15.0f, fs);
    const auto second = latticeFor (2, -15.0f, fs);
    processRun (b, one);
    for (int i = 0; i < 5; ++i)
    {
        const double expected = before[i] + ((double) second->coefficients[i] - before[i]) / steps;
        EXPECT_NEAR (b.getCurrentValue (i), expected, 1e-6 * std::max (1.0, std::abs (expected)));
    }
    std::vector<float> rest (2 * (size_t) (steps - 2), 0.0f);
    processRun (b, rest);
    EXPECT_TRUE (b.isSmoothing());
    processRun (b, one);
    EXPECT_FALSE (b.isSmoothing());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (b.getCurrentValue (i), second->coefficients[i]);
}

TEST (LatticeBand, HardSwitchUnderNoiseStaysBounded)
{
    for (int band = 0; band < numBands; ++band)
    {
        LatticeBand b;
        b.setRampSeconds (0.05);
        b.prepare (48000.0);
        b.update (band, 15.0f, 48000.0);
        b.reset();

        auto run = whiteNoise (2 * 48000, 1.0f, 11u + (unsigned) band);
        for (int block = 0; block < 48000 / 256; ++block)
        {
            if (block == 40)
                b.update (band, -15.0f, 48000.0);
            processLatticeBands (&b, 1, run.data() + 2 * 256 * block, 256);
        }
        // The largest gain is about 5.6; a ramp between two stable sets stays stable.
        for (auto v : run)
            ASSERT_LT (std::abs (v), 30.0f) << "band " << band;
    }
}

namespace
{
/** A band as plain scalar code: five JUCE smoothers stepped once per frame and the
    lattice-ladder recursion per channel. */
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
                const float f1 = x - k[4] * s1, f0 = f1 - k[2] * s0;
                const float g2 = s1 + k[4] * f1, g1 = s0 + k[2] * f0;
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
            const auto lattice = latticeFor (i % numBands, dB, fs);
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
    LatticeBand clean, dirty;
    for (auto* b : { &clean, &dirty })
    {
        b->prepare (48000.0);
        b->update (1, 10.0f, 48000.0);
        b->reset();
    }

    auto a = whiteNoise (2 * 2048, 0.5f, 9);
    auto d = a;
    for (auto [i, bad] : { std::pair { 100, NAN }, { 501, INFINITY }, { 900, -INFINITY } })
    {
        a[(size_t) i] = 0.0f;
        d[(size_t) i] = bad;
    }
    processRun (clean, a);
    processRun (dirty, d);
    ASSERT_EQ (a, d);

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

    for (int block = 0; block < 400; ++block)
    {
        auto run = whiteNoise (2 * 64, 0.5f, (unsigned) block);
        processRun (b, run);
        for (auto v : run)
            ASSERT_TRUE (std::isfinite (v));
    }
    running = false;
    changer.join();

    // One block picks up the last target; a ramp of 480 frames later it has landed.
    std::vector<float> tail (2 * 480);
    processRun (b, tail);
    const auto last = latticeFor (3, 4.5f, fs);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (b.getCurrentValue (i), last->coefficients[i]);
}
