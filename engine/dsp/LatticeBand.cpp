#include "engine/dsp/LatticeBand.h"
#include "engine/dsp/RampSteps.h"

#include "engine/dsp/BandDesign.h"
#include "engine/dsp/VectorOps.h"

#include <algorithm>
#include <cmath>

#if defined (__SSE2__)
 #include <emmintrin.h>
#endif

namespace KA
{

namespace
{
    const StereoPair noStep = splat (-0.0f);
}

LatticeBand::LatticeBand() noexcept
{
    for (int i = 0; i < numCoefficients; ++i)
    {
        current[i] = splat (0.0f);
        step[i] = noStep;
    }
}

void LatticeBand::resetSmoothers (int steps) noexcept
{
    rampSteps = steps;

    for (int i = 0; i < numCoefficients; ++i)
    {
        current[i] = splat (target[i]);
        step[i] = noStep;
        countdown[i] = 0;
    }
}

void LatticeBand::setTargetValue (int index, float value) noexcept
{
    if (value == target[index])
        return;

    target[index] = value;

    if (rampSteps <= 0)
    {
        current[index] = splat (value);
        step[index] = noStep;
        countdown[index] = 0;
        return;
    }

    countdown[index] = rampSteps;
    step[index] = splat ((value - current[index][0]) / (float) rampSteps);
}

void LatticeBand::clearState() noexcept
{
    g0 = splat (0.0f);
    g1 = splat (0.0f);
}

void LatticeBand::setRampSeconds (double seconds) noexcept
{
    if (seconds == rampSeconds)
        return;

    rampSeconds = seconds;

    if (sampleRate > 0.0)
        resetSmoothers (KA::rampSteps (sampleRate, seconds));

    if (hasState)
        clearState();
}

void LatticeBand::prepare (double newSampleRate) noexcept
{
    // A band that was already prepared keeps the targets handed over since its
    // last block, so they are in place below; before the first preparation only
    // their order counts, and the parameter sweep that follows supplies them.
    if (sampleRate > 0.0)
    {
        applyPendingTargets();
    }
    else
    {
        Pending pending;
        if (handover.fetch (pending))
            activeOrder = pending.order;
    }

    sampleRate = newSampleRate;
    designRate.store (newSampleRate, std::memory_order_release);
    hasState = true;

    if (sampleRate > 0.0)
        resetSmoothers (KA::rampSteps (sampleRate, rampSeconds));

    clearState();
}

void LatticeBand::reset() noexcept
{
    applyPendingTargets();

    if (sampleRate > 0.0)
        resetSmoothers (KA::rampSteps (sampleRate, rampSeconds));

    if (hasState)
        clearState();
}

void LatticeBand::setTargets (const CoeffLattice<float>& lattice) noexcept
{
    Pending pending {};
    pending.order = lattice.getOrder();

    const auto count = std::min (lattice.coefficients.size(), numCoefficients);
    for (int i = 0; i < count; ++i)
        pending.values[i] = lattice.coefficients.getUnchecked (i);

    order.store (pending.order, std::memory_order_relaxed);
    handover.post (pending);
}

void LatticeBand::update (int bandIndex, float decibels, float normalisedValue, double rate)
{
    if (bandIndex < 0 || bandIndex >= numBands || ! std::isfinite (decibels) || ! std::isfinite (normalisedValue))
        return;

    const auto& info = bandCoefficientTable[bandIndex];
    const auto q = bandQ (bandIndex, normalisedValue);
    const auto gain = decibelsToGain (decibels);

    auto lattice = makePeakLattice (rate, info.centreHz, q, gain);
    setTargets (*lattice);
}

void LatticeBand::update (int bandIndex, float decibels, double rate)
{
    update (bandIndex, decibels, bandNormalisedValue (decibels), rate);
}

void LatticeBand::applyPendingTargets() noexcept
{
    Pending pending;

    if (! handover.fetch (pending))
        return;

    activeOrder = pending.order;

    if ((activeOrder == 1 || activeOrder == 2) && sampleRate > 0.0)
        for (int i = 0; i < (int) (activeOrder == 2 ? 5 : 3); ++i)
            setTargetValue (i, pending.values[i]);
}

bool LatticeBand::isSmoothing() const noexcept
{
    for (auto c : countdown)
        if (c > 0)
            return true;

    return false;
}

void LatticeBand::getState (float (&result)[4]) const noexcept
{
    result[0] = g0[0];
    result[1] = g0[1];
    result[2] = g1[0];
    result[3] = g1[1];
}

//==============================================================================
#if defined (__SSE2__)
/*  Second-order bands in series, two bands per SSE register.

    Band i works on frame t - i at step t (a wavefront), so at any step every
    band's input is the previous step's output of the band before it and all
    bands of a step are independent. Each register holds the odd band of a
    pair in lanes 0-1 and the even band in lanes 2-3 (left, right each), so a
    single shuffle hands every pair its next inputs. Every lane does exactly
    the multiplications and additions of the one-band-at-a-time recursion, in
    the same order, so the output is bit for bit the same.

    Bands that are outside the run at a step (the first and last steps of the
    block) are masked: their state and coefficients keep their values. A ramp
    landing on a frame becomes an event at that band's step: the lane takes the
    target and steps by -0 from then on.
*/
struct LatticeWavefront
{
    static constexpr int maxPairs = 8;

    struct Packed
    {
        __m128 current[maxPairs][LatticeBand::numCoefficients];
        __m128 step[maxPairs][LatticeBand::numCoefficients];
        __m128 g0[maxPairs], g1[maxPairs], out[maxPairs];
    };

    struct Event
    {
        int time, band, index;
        float target;
    };

    static __m128 lanes (float odd, float even) noexcept   { return _mm_set_ps (even, even, odd, odd); }
    static float oddLane (__m128 v) noexcept              { return _mm_cvtss_f32 (v); }
    static float evenLane (__m128 v) noexcept             { return _mm_cvtss_f32 (_mm_movehl_ps (v, v)); }

    static __m128 select (__m128 mask, __m128 a, __m128 b) noexcept
    {
        return _mm_or_ps (_mm_and_ps (mask, a), _mm_andnot_ps (mask, b));
    }

    // Lanes 0-1 true when band 2p + 1 is inside the run at step t, lanes 2-3 for band 2p.
    static __m128 activeMask (int p, int t, int count, int numFrames) noexcept
    {
        auto inside = [&] (int band) { return band < count && t - band >= 0 && t - band < numFrames ? -1 : 0; };
        const auto odd = inside (2 * p + 1), even = inside (2 * p);
        return _mm_castsi128_ps (_mm_set_epi32 (even, even, odd, odd));
    }

    template <int Pairs, bool Step, bool Masked>
    static void steps (Packed& k, int count, float* data, int numFrames, int t0, int t1) noexcept
    {
        const int last = count - 1;
        constexpr auto size = (std::size_t) Pairs;
        __m128 g0[size], g1[size], out[size];

        for (int p = 0; p < Pairs; ++p)
        {
            g0[p] = k.g0[p];
            g1[p] = k.g1[p];
            out[p] = k.out[p];
        }

        for (int t = t0; t < t1; ++t)
        {
            // Pairs run last to first, so each takes its inputs before they change:
            // its even band's last output goes to its odd band, the previous pair's
            // odd band output (or the run) to its even band.
            for (int p = Pairs - 1; p >= 0; --p)
            {
                __m128 x;

                if (p > 0)
                    x = _mm_shuffle_ps (out[p], out[p - 1], _MM_SHUFFLE (1, 0, 3, 2));
                else if (! Masked || t < numFrames)
                    x = _mm_loadh_pi (_mm_movehl_ps (out[0], out[0]), reinterpret_cast<const __m64*> (data + 2 * t));
                else
                    x = _mm_movelh_ps (_mm_movehl_ps (out[0], out[0]), _mm_setzero_ps());

                auto* c = k.current[p];
                __m128 mask {};

                if constexpr (Masked)
                    mask = activeMask (p, t, count, numFrames);

                if constexpr (Step)
                {
                    for (int j = 0; j < LatticeBand::numCoefficients; ++j)
                    {
                        const auto stepped = _mm_add_ps (c[j], k.step[p][j]);
                        c[j] = Masked ? select (mask, stepped, c[j]) : stepped;
                    }
                }

                const auto s0 = g0[p], s1 = g1[p];
                const auto k1 = c[2], k2 = c[4];
                const auto f1 = _mm_sub_ps (x, _mm_mul_ps (k2, s1));
                const auto f0 = _mm_sub_ps (f1, _mm_mul_ps (k1, s0));
                const auto gg2 = _mm_add_ps (s1, _mm_mul_ps (k2, f1));
                const auto gg1 = _mm_add_ps (s0, _mm_mul_ps (k1, f0));
                const auto y = _mm_add_ps (_mm_mul_ps (c[0], f0),
                                           _mm_add_ps (_mm_mul_ps (c[3], gg2), _mm_mul_ps (c[1], gg1)));

                if constexpr (Masked)
                {
                    g0[p] = select (mask, f0, s0);
                    g1[p] = select (mask, gg1, s1);
                    out[p] = _mm_and_ps (mask, y);
                }
                else
                {
                    g0[p] = f0;
                    g1[p] = gg1;
                    out[p] = y;
                }
            }

            const int frame = t - last;

            if (! Masked || (frame >= 0 && frame < numFrames))
            {
                auto* dest = reinterpret_cast<__m64*> (data + 2 * frame);

                if (last % 2 == 1)
                    _mm_storel_pi (dest, out[last / 2]);
                else
                    _mm_storeh_pi (dest, out[last / 2]);
            }
        }

        for (int p = 0; p < Pairs; ++p)
        {
            k.g0[p] = g0[p];
            k.g1[p] = g1[p];
            k.out[p] = out[p];
        }
    }

    template <int Pairs, bool Step>
    static void segment (Packed& k, int count, float* data, int numFrames, int t0, int t1) noexcept
    {
        // Every band is inside the run from step count - 1 up to step numFrames - 1.
        const int fullBegin = std::max (t0, count - 1), fullEnd = std::min (t1, numFrames);

        if (fullBegin >= fullEnd)
        {
            steps<Pairs, Step, true> (k, count, data, numFrames, t0, t1);
            return;
        }

        steps<Pairs, Step, true> (k, count, data, numFrames, t0, fullBegin);
        steps<Pairs, Step, false> (k, count, data, numFrames, fullBegin, fullEnd);
        steps<Pairs, Step, true> (k, count, data, numFrames, fullEnd, t1);
    }

    template <int Pairs>
    static void runPacked (Packed& k, const Event* events, int numEvents, bool longRamp,
                           int count, float* data, int numFrames) noexcept
    {
        const int totalSteps = numFrames + count - 1;
        const auto noStep = _mm_set1_ps (-0.0f);
        int t = 0, e = 0;

        while (t < totalSteps)
        {
            for (; e < numEvents && events[e].time == t; ++e)
            {
                const auto& ev = events[e];
                auto& c = k.current[ev.band / 2][ev.index];
                auto& s = k.step[ev.band / 2][ev.index];
                const auto odd = _mm_castsi128_ps (_mm_set_epi32 (0, 0, -1, -1));
                const auto mine = (ev.band % 2 == 1) ? odd : _mm_xor_ps (odd, _mm_castsi128_ps (_mm_set1_epi32 (-1)));
                c = select (mine, _mm_set1_ps (ev.target), c);
                s = select (mine, noStep, s);
            }

            const int end = e < numEvents ? events[e].time : totalSteps;

            if (longRamp || e < numEvents)
                segment<Pairs, true> (k, count, data, numFrames, t, end);
            else
                segment<Pairs, false> (k, count, data, numFrames, t, end);

            t = end;
        }
    }

    static void run (LatticeBand* const* bands, int count, float* data, int numFrames) noexcept
    {
        if (count <= 0 || numFrames <= 0)
            return;

        constexpr int n = LatticeBand::numCoefficients;
        const int pairs = (count + 1) / 2;
        Packed k;

        // A missing odd band (odd count) gets zero coefficients and state; its lanes are never stored.
        for (int p = 0; p < pairs; ++p)
        {
            const auto& even = *bands[2 * p];
            const auto* odd = 2 * p + 1 < count ? bands[2 * p + 1] : nullptr;

            for (int j = 0; j < n; ++j)
            {
                k.current[p][j] = lanes (odd != nullptr ? odd->current[j][0] : 0.0f, even.current[j][0]);
                k.step[p][j] = lanes (odd != nullptr ? odd->step[j][0] : -0.0f, even.step[j][0]);
            }

            const StereoPair zero {};
            const auto& o0 = odd != nullptr ? odd->g0 : zero;
            const auto& o1 = odd != nullptr ? odd->g1 : zero;
            k.g0[p] = _mm_set_ps (even.g0[1], even.g0[0], o0[1], o0[0]);
            k.g1[p] = _mm_set_ps (even.g1[1], even.g1[0], o1[1], o1[0]);
            k.out[p] = _mm_setzero_ps();
        }

        Event events[maxPairs * 2 * n];
        int numEvents = 0;
        bool longRamp = false;

        for (int i = 0; i < count; ++i)
        {
            for (int j = 0; j < n; ++j)
            {
                const auto c = bands[i]->countdown[j];

                if (c > numFrames)
                {
                    longRamp = true;
                }
                else if (c > 0)
                {
                    // Keeps the events sorted by time.
                    Event ev { c - 1 + i, i, j, bands[i]->target[j] };
                    int pos = numEvents++;

                    for (; pos > 0 && events[pos - 1].time > ev.time; --pos)
                        events[pos] = events[pos - 1];

                    events[pos] = ev;
                }
            }
        }

        switch (pairs)
        {
            case 1:  runPacked<1> (k, events, numEvents, longRamp, count, data, numFrames); break;
            case 2:  runPacked<2> (k, events, numEvents, longRamp, count, data, numFrames); break;
            case 3:  runPacked<3> (k, events, numEvents, longRamp, count, data, numFrames); break;
            case 4:  runPacked<4> (k, events, numEvents, longRamp, count, data, numFrames); break;
            case 5:  runPacked<5> (k, events, numEvents, longRamp, count, data, numFrames); break;
            case 6:  runPacked<6> (k, events, numEvents, longRamp, count, data, numFrames); break;
            case 7:  runPacked<7> (k, events, numEvents, longRamp, count, data, numFrames); break;
            default: runPacked<8> (k, events, numEvents, longRamp, count, data, numFrames); break;
        }

        for (int i = 0; i < count; ++i)
        {
            auto& b = *bands[i];
            const int p = i / 2;
            auto lane = [i] (__m128 v) { return i % 2 == 1 ? oddLane (v) : evenLane (v); };

            for (int j = 0; j < n; ++j)
            {
                b.current[j] = splat (lane (k.current[p][j]));
                b.step[j] = splat (lane (k.step[p][j]));

                if (b.countdown[j] > 0)
                    b.countdown[j] = b.countdown[j] > numFrames ? b.countdown[j] - numFrames : 0;
            }

            const auto pairOf = [i] (__m128 v) { return i % 2 == 1 ? v : _mm_movehl_ps (v, v); };
            const auto s0 = pairOf (k.g0[p]), s1 = pairOf (k.g1[p]);
            b.g0 = StereoPair { _mm_cvtss_f32 (s0), _mm_cvtss_f32 (_mm_shuffle_ps (s0, s0, 1)), 0.0f, 0.0f };
            b.g1 = StereoPair { _mm_cvtss_f32 (s1), _mm_cvtss_f32 (_mm_shuffle_ps (s1, s1, 1)), 0.0f, 0.0f };
        }
    }
};
#endif

//==============================================================================
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
                        b.step[j] = noStep;
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
           #if defined (__SSE2__)
            LatticeWavefront::run (active, numActive, data, numFrames);
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
