#include "engine/dsp/LatticeWavefront.h"

#include "engine/dsp/Simd.h"

#include <algorithm>

#if KA_SIMD

namespace KA
{

/*  Second-order bands in series, two bands per register.

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
        StereoPair current[maxPairs][LatticeBand::numCoefficients];
        StereoPair step[maxPairs][LatticeBand::numCoefficients];
        StereoPair g0[maxPairs], g1[maxPairs], out[maxPairs];
    };

    struct Event
    {
        int time, band, index;
        float target;
    };

    static StereoPair lanes (float odd, float even) noexcept   { return StereoPair { odd, odd, even, even }; }

    // Lanes 0-1 true when band 2p + 1 is inside the run at step t, lanes 2-3 for band 2p.
    static StereoPair activeMask (int p, int t, int count, int numFrames) noexcept
    {
        auto inside = [&] (int band) { return band < count && t - band >= 0 && t - band < numFrames; };
        return Simd::pairMask (inside (2 * p + 1), inside (2 * p));
    }

    template <int Pairs, bool Step, bool Masked>
    static void steps (Packed& k, int count, float* data, int numFrames, int t0, int t1) noexcept
    {
        const int last = count - 1;
        constexpr auto size = (std::size_t) Pairs;
        StereoPair g0[size], g1[size], out[size];

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
                StereoPair x;

                if (p > 0)
                    x = Simd::handOn (out[p], out[p - 1]);
                else if (! Masked || t < numFrames)
                    x = Simd::handOn (out[0], data + 2 * t);
                else
                    x = Simd::handOn (out[0], StereoPair {});

                auto* c = k.current[p];
                StereoPair mask {};

                if constexpr (Masked)
                    mask = activeMask (p, t, count, numFrames);

                if constexpr (Step)
                {
                    for (int j = 0; j < LatticeBand::numCoefficients; ++j)
                    {
                        const auto stepped = c[j] + k.step[p][j];
                        c[j] = Masked ? Simd::select (mask, stepped, c[j]) : stepped;
                    }
                }

                const auto s0 = g0[p], s1 = g1[p];
                const auto k1 = c[2], k2 = c[4];
                const auto f1 = x - k2 * s1;
                const auto f0 = f1 - k1 * s0;
                const auto gg2 = s1 + k2 * f1;
                const auto gg1 = s0 + k1 * f0;
                const auto y = c[0] * f0 + (c[3] * gg2 + c[1] * gg1);

                if constexpr (Masked)
                {
                    g0[p] = Simd::select (mask, f0, s0);
                    g1[p] = Simd::select (mask, gg1, s1);
                    out[p] = Simd::keepMasked (mask, y);
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
                if (last % 2 == 1)
                    Simd::storeLowPair (data + 2 * frame, out[last / 2]);
                else
                    Simd::storeHighPair (data + 2 * frame, out[last / 2]);
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
        const auto noStep = LatticeBand::noStep();
        int t = 0, e = 0;

        while (t < totalSteps)
        {
            for (; e < numEvents && events[e].time == t; ++e)
            {
                const auto& ev = events[e];
                auto& c = k.current[ev.band / 2][ev.index];
                auto& s = k.step[ev.band / 2][ev.index];
                const auto mine = Simd::pairMask (ev.band % 2 == 1, ev.band % 2 == 0);
                c = Simd::select (mine, splat (ev.target), c);
                s = Simd::select (mine, noStep, s);
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
            k.g0[p] = Simd::lowPairs (o0, even.g0);
            k.g1[p] = Simd::lowPairs (o1, even.g1);
            k.out[p] = zero;
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
            const int lane = i % 2 == 1 ? 0 : 2;

            for (int j = 0; j < n; ++j)
            {
                b.current[j] = splat (k.current[p][j][lane]);
                b.step[j] = splat (k.step[p][j][lane]);

                if (b.countdown[j] > 0)
                    b.countdown[j] = b.countdown[j] > numFrames ? b.countdown[j] - numFrames : 0;
            }

            b.g0 = StereoPair { k.g0[p][lane], k.g0[p][lane + 1], 0.0f, 0.0f };
            b.g1 = StereoPair { k.g1[p][lane], k.g1[p][lane + 1], 0.0f, 0.0f };
        }
    }
};

void runLatticeWavefront (LatticeBand* const* bands, int count, float* data, int numFrames) noexcept
{
    LatticeWavefront::run (bands, count, data, numFrames);
}

} // namespace KA

#endif
