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

TEST (LatticeBand, UnpreparedBandPassesThroughPrepareSetsTheRampAndResetClearsEverything)
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
    b.prepare (44100.0);
    EXPECT_EQ (b.getRampSteps(), 2205); // floor of 50 ms; the ramps themselves are checked against JUCE's below
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
    // ramps that land on different frames for different bands or restart mid-way.
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
            ASSERT_LT (std::abs (v), 30.0f); // hard switches between stable sets stay stable
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
