#include "engine/dsp/Oversampler.h"
#include "tests/engine/dsp/DspTestHelpers.h"

#include <gtest/gtest.h>

using namespace KA;
using namespace KA::Test;

namespace
{
    auto identity = [] (StereoPair x) { return x; };

    /** Gain of zero-stuffing by M, the cascade, and keeping every M-th sample: the
        chain is time-invariant with impulse response M g[Mn], g the cascade's response. */
    double predictedGain (double fs, int factor, double toneHz)
    {
        if (factor == 1)
            return 1.0;

        const double fd = std::min (20000.0, 0.9975 * fs / 2);
        const auto section = butterworthLowPass (fs * factor, fd);

        // Cascade of factor/2 sections up and factor/2 down.
        const int n = 1 << 15;
        auto g = section.impulse (n);
        for (int s = 1; s < factor; ++s)
            g = section.filter (g);

        std::vector<double> phase0;
        for (int i = 0; i < n; i += factor)
            phase0.push_back (factor * g[(size_t) i]);

        return std::abs (dtft (phase0, 2 * pi * toneHz / fs));
    }

    double measuredGain (double fs, int factor, double toneHz)
    {
        Oversampler os (factor);
        os.prepare (fs, 512);

        const int frames = (int) fs / 2;
        std::vector<float> run (2 * (size_t) frames);
        for (int i = 0; i < frames; ++i)
            run[2 * (size_t) i] = run[2 * (size_t) i + 1] = 0.5f * (float) std::sin (2 * pi * toneHz * i / fs);

        for (int start = 0; start < frames; start += 512)
        {
            const int n = std::min (512, frames - start);
            os.upsample (run.data() + 2 * start, n);
            os.downsample (run.data() + 2 * start, n);
        }

        std::vector<double> left ((size_t) frames);
        for (size_t i = 0; i < left.size(); ++i)
        {
            EXPECT_EQ (run[2 * i], run[2 * i + 1]);
            left[i] = run[2 * i];
        }
        return toneAmplitude (left, (size_t) frames / 2, (size_t) frames, 2 * pi * toneHz / fs) / 0.5;
    }
}

TEST (Oversampler, FactorOnePassesThrough)
{
    Oversampler os (1);
    os.prepare (48000.0, 256);
    EXPECT_EQ (os.getNumStages(), 0);

    auto run = whiteNoise (512, 1.0f, 1);
    auto copy = run;
    os.upsample (run.data(), 256);
    os.downsample (run.data(), 256);
    EXPECT_EQ (run, copy);
}

TEST (Oversampler, UpThenDownHasTheCascadeGain)
{
    for (double tone : { 1000.0, 10000.0 })
    {
        const double expected = predictedGain (48000.0, 4, tone);
        EXPECT_NEAR (toDb (measuredGain (48000.0, 4, tone)), toDb (expected), 0.01) << tone;
    }

    EXPECT_NEAR (toDb (measuredGain (96000.0, 2, 10000.0)), toDb (predictedGain (96000.0, 2, 10000.0)), 0.01);
}

TEST (Oversampler, LowRateToneComesBackAtTheClampedDesignLevel)
{
    // Designing at 20 kHz for 32 kHz would be unstable; the clamped design must be
    // stable and keep the 7 kHz image of a 1 kHz tone from folding back.
    const double expected = predictedGain (8000.0, 4, 1000.0);
    const double measured = measuredGain (8000.0, 4, 1000.0);
    EXPECT_NEAR (toDb (measured), toDb (expected), 0.01);
    EXPECT_LT (std::abs (toDb (measured)), 1.0);
}

TEST (Oversampler, EveryRateAndFactorStaysFiniteOnNoise)
{
    auto noise = whiteNoise (2 * 4096, 1.0f, 21);
    std::vector<float> run (noise.size());

    for (double fs : { 8000.0, 11025.0, 12000.0, 16000.0, 22050.0, 24000.0, 32000.0, 44100.0, 48000.0,
                       88200.0, 96000.0, 176400.0, 192000.0 })
    {
        for (int factor : { 1, 2, 4 })
        {
            Oversampler os (factor);
            os.prepare (fs, 4096);
            float peak = 0;

            for (int done = 0; done < (int) (10 * fs); done += 4096)
            {
                run = noise;
                os.process (run.data(), 4096, identity);
                for (auto v : run)
                    peak = std::max (peak, std::abs (v));
            }

            EXPECT_TRUE (std::isfinite (peak)) << fs << " x" << factor;
            EXPECT_LT (peak, 8.0f) << fs << " x" << factor;
        }
    }
}

TEST (Oversampler, FusedPassEqualsTheThreeSteps)
{
    auto shaper = [] (StereoPair x) { return x * splat (0.5f) + x * x * splat (0.25f); };

    for (int factor : { 1, 2, 4 })
    {
        Oversampler fused (factor), stepwise (factor);
        fused.prepare (44100.0, 300);
        stepwise.prepare (44100.0, 300);

        auto a = whiteNoise (2 * 900, 0.8f, 4);
        auto b = a;

        for (int start = 0; start < 900; start += 300)
        {
            fused.process (a.data() + 2 * start, 300, shaper);

            stepwise.upsample (b.data() + 2 * start, 300);
            auto* work = stepwise.getWorkBuffer();
            for (int i = 0; i < factor * 300; ++i)
                storePair (work + 2 * i, shaper (loadPair (work + 2 * i)));
            stepwise.downsample (b.data() + 2 * start, 300);
        }

        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_EQ (a[i], b[i]) << "x" << factor << " at " << i;
    }
}

TEST (Oversampler, NonFiniteInputIsSilence)
{
    Oversampler clean (4), dirty (4);
    clean.prepare (48000.0, 256);
    dirty.prepare (48000.0, 256);

    auto a = whiteNoise (512, 0.5f, 8);
    auto d = a;
    a[10] = 0.0f;  d[10] = std::numeric_limits<float>::quiet_NaN();
    a[77] = 0.0f;  d[77] = -std::numeric_limits<float>::infinity();

    clean.upsample (a.data(), 256);
    clean.downsample (a.data(), 256);
    dirty.upsample (d.data(), 256);
    dirty.downsample (d.data(), 256);
    for (size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ (a[i], d[i]) << i;
}
