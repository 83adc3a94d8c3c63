#include "engine/dsp/LatticeBand.h"

#include "engine/dsp/LatticeWavefront.h"
#include "engine/dsp/VectorOps.h"

#include <algorithm>
#include <cmath>

namespace KA
{

/*  The bands frame by frame in plain code: every band of the series advances
    its coefficients and its recursion for a frame before the next frame. Runs
    of frames without a ramp landing are stepped without per-frame checks.
*/
struct LatticeKernel
{
    static constexpr int maxBands = 16;

    template <int Order>
    static StereoPair frame (LatticeBand& b, StereoPair x) noexcept
    {
        if constexpr (Order == 2)
        {
            const auto s0 = b.g0, s1 = b.g1;
            const auto k1 = b.current[2], k2 = b.current[4];
            const auto f1 = x - k2 * s1;
            const auto f0 = f1 - k1 * s0;
            const auto gg2 = s1 + k2 * f1;
            const auto gg1 = s0 + k1 * f0;
            b.g1 = gg1;
            b.g0 = f0;
            return b.current[0] * f0 + (b.current[3] * gg2 + b.current[1] * gg1);
        }
        else
        {
            const auto s = b.g0;
            const auto k1 = b.current[2];
            const auto f0 = x - k1 * s;
            b.g0 = f0;
            return b.current[0] * f0 + b.current[1] * (s + k1 * f0);
        }
    }

    template <int Order, bool Step>
    static void frames (LatticeBand* const* bands, int count, float* run, int begin, int end) noexcept
    {
        constexpr int lanes = Order == 2 ? 5 : 3;

        for (int f = begin; f < end; ++f)
        {
            auto x = loadPair (run + 2 * f);

            for (int i = 0; i < count; ++i)
            {
                auto& b = *bands[i];

                if constexpr (Step)
                    for (int j = 0; j < lanes; ++j)
                        b.current[j] += b.step[j];

                x = frame<Order> (b, x);
            }

            storePair (run + 2 * f, x);
        }
    }

    template <int Order>
    static void run (LatticeBand* const* bands, int count, float* data, int numFrames) noexcept
    {
        constexpr int lanes = Order == 2 ? 5 : 3;
        int pos = 0;

        while (pos < numFrames)
        {
            // The segment ends at the frame on which the next ramp lands.
            int length = numFrames - pos;
            bool ramping = false;

            for (int i = 0; i < count; ++i)
                for (int j = 0; j < lanes; ++j)
                    if (bands[i]->countdown[j] > 0)
                    {
                        length = std::min (length, bands[i]->countdown[j]);
                        ramping = true;
                    }

            if (! ramping)
            {
                frames<Order, false> (bands, count, data, pos, numFrames);
                return;
            }

            frames<Order, true> (bands, count, data, pos, pos + length - 1);

            for (int i = 0; i < count; ++i)
            {
                auto& b = *bands[i];

                for (int j = 0; j < lanes; ++j)
                {
                    if (b.countdown[j] <= 0)
                        continue;

                    b.countdown[j] -= length;

                    if (b.countdown[j] == 0)
                    {
                        b.current[j] = splat (b.target[j]);
                        b.step[j] = LatticeBand::noStep();
                    }
                    else
                    {
                        b.current[j] += b.step[j];
                    }
                }
            }

            frames<Order, false> (bands, count, data, pos + length - 1, pos + length);
            pos += length;
        }
    }

    static void clearIfNotFinite (LatticeBand& b) noexcept
    {
        float s[4];
        b.getState (s);

        if (! (std::isfinite (s[0]) && std::isfinite (s[1]) && std::isfinite (s[2]) && std::isfinite (s[3])))
            b.clearState();
    }

    static void process (LatticeBand* bands, int bandCount, float* data, int numFrames) noexcept
    {
        if (numFrames <= 0 || bandCount <= 0)
            return;

        vzeroNonFinite (data, 2 * (size_t) numFrames);

        LatticeBand* active[maxBands];
        int numActive = 0;
        bool allSecondOrder = true;

        for (int i = 0; i < bandCount; ++i)
        {
            auto& b = bands[i];
            b.applyPendingTargets();

            if (b.hasState && (b.activeOrder == 1 || b.activeOrder == 2))
            {
                active[numActive++] = &b;
                allSecondOrder = allSecondOrder && b.activeOrder == 2;
            }
        }

        if (numActive == 0)
            return;

        if (allSecondOrder)
        {
           #if KA_SIMD
            runLatticeWavefront (active, numActive, data, numFrames);
           #else
            run<2> (active, numActive, data, numFrames);
           #endif
        }
        else
        {
            for (int i = 0; i < numActive; ++i)
            {
                if (active[i]->activeOrder == 2)
                    run<2> (active + i, 1, data, numFrames);
                else
                    run<1> (active + i, 1, data, numFrames);
            }
        }

        // Only overflow from absurdly large input can get here; it must not stick.
        for (int i = 0; i < numActive; ++i)
            clearIfNotFinite (*active[i]);
    }
};

void processLatticeBands (LatticeBand* bands, int bandCount, float* run, int numFrames) noexcept
{
    // More than maxBands bands are run in batches, which gives the same result.
    for (int start = 0; start < bandCount; start += LatticeKernel::maxBands)
        LatticeKernel::process (bands + start, std::min (LatticeKernel::maxBands, bandCount - start), run, numFrames);
}

void processLatticeBands (LatticeBand* bands, int bandCount,
                          const juce::dsp::ProcessContextReplacing<float>& context) noexcept
{
    auto& block = context.getOutputBlock();

    if (block.getNumChannels() == 0)
        return;

    processLatticeBands (bands, bandCount, block.getChannelPointer (0), (int) block.getNumSamples());
}

void processLatticeBand (LatticeBand& band, const juce::dsp::ProcessContextReplacing<float>& context) noexcept
{
    processLatticeBands (&band, 1, context);
}

} // namespace KA
