#include "engine/dsp/Oversampler.h"
#include "tests/engine/dsp/DspTestHelpers.h"

#include <gtest/gtest.h>

using namespace KA;
using namespace KA::Test;

namespace
{
    /** Zero-stuffing by M, the cascade of M second-order 20 kHz sections (clamped below
        Nyquist) and keeping every M-th sample: impulse response M g[Mn]. */
    double predictedGain (double fs, int factor, double toneHz)
    {
        const auto section = butterworthLowPass (fs * factor, std::min (20000.0, 0.9975 * fs / 2));
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

TEST (Oversampler, UpThenDownHasTheCascadeGain)
{
    // At 8 kHz the design is clamped: stable, and the 7 kHz image of 1 kHz does not fold back.
    const struct { double fs; int factor; double tone; } cases[] { { 48000, 4, 1000 }, { 48000, 4, 10000 }, { 96000, 2, 10000 }, { 8000, 4, 1000 } };
    for (auto c : cases)
        EXPECT_NEAR (toDb (measuredGain (c.fs, c.factor, c.tone)), toDb (predictedGain (c.fs, c.factor, c.tone)), 0.01) << c.fs << " " << c.tone;
    EXPECT_LT (std::abs (toDb (measuredGain (8000, 4, 1000))), 1.0);

    Oversampler one (1);
    one.prepare (48000.0, 256);
    EXPECT_EQ (one.getNumStages(), 0);
    auto run = whiteNoise (512, 1.0f, 1);
    const auto copy = run;
    one.upsample (run.data(), 256);
    one.downsample (run.data(), 256);
    EXPECT_EQ (run, copy);
}

TEST (Oversampler, EveryRateAndFactorStaysFiniteOnNoise)
{
    const auto noise = whiteNoise (2 * 4096, 1.0f, 21);
    for (double fs : { 8000.0, 11025.0, 16000.0, 22050.0, 32000.0, 44100.0, 88200.0, 176400.0, 192000.0 })
        for (int factor : { 1, 2, 4 })
        {
            Oversampler os (factor);
            os.prepare (fs, 4096);
            for (int done = 0; done < (int) (2 * fs); done += 4096)
            {
                auto run = noise;
                os.process (run.data(), 4096, [] (StereoPair x) { return x; });
                for (auto v : run)
                    ASSERT_LT (std::abs (v), 8.0f) << fs << " x" << factor;
            }
        }
}

TEST (Oversampler, FusedPassEqualsTheThreeStepsAndNonFiniteInputIsSilence)
{
    auto shaper = [] (StereoPair x) { return x * splat (0.5f) + x * x * splat (0.25f); };

    for (int factor : { 1, 2, 4 })
    {
        Oversampler fused (factor), stepwise (factor);
        fused.prepare (44100.0, 300);
        stepwise.prepare (44100.0, 300);

        auto a = whiteNoise (2 * 900, 0.8f, 4);
        auto b = a;
        a[10] = a[77] = 0.0f;
        b[10] = NAN;
        b[77] = -INFINITY;
        for (int start = 0; start < 900; start += 300)
        {
            fused.process (a.data() + 2 * start, 300, shaper);

            stepwise.upsample (b.data() + 2 * start, 300);
            auto* work = stepwise.getWorkBuffer();
            for (int i = 0; i < factor * 300; ++i)
                storePair (work + 2 * i, shaper (loadPair (work + 2 * i)));
            stepwise.downsample (b.data() + 2 * start, 300);
        }
        ASSERT_EQ (a, b) << "x" << factor;
    }
}
