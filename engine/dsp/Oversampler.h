#pragma once

#include "engine/dsp/InterleaveIIR.h"
#include "engine/dsp/Simd.h"

#include <juce_dsp/juce_dsp.h>

#include <vector>

namespace KA
{

/** Zero-stuffing oversampler for interleaved stereo runs, with factor/2
    cascaded second-order Butterworth low-pass sections each way. */
class Oversampler
{
public:
    /** factor 1, 2 or 4 (other values are treated as 1). */
    explicit Oversampler (int factor);

    /** Designs the sections, sizes the work buffer for maximumBlockSize frames
        and clears everything. Not on the audio thread. */
    void prepare (double sampleRate, int maximumBlockSize);

    void reset() noexcept;

    /** n frames from run, zero-stuffed (with gain factor) and filtered into the work buffer. */
    void upsample (const float* run, int numFrames) noexcept;

    /** The work buffer filtered and decimated (first frame of each group) back into run. */
    void downsample (float* run, int numFrames) noexcept;

    /** upsample, shape every oversampled frame, downsample, all in one pass
        with the same arithmetic as the three steps in turn. shape takes and
        returns a StereoPair. */
    template <typename Shaper>
    void process (float* run, int numFrames, Shaper&& shape) noexcept;

    /** process() with per-frame steps around it: frame j enters as source (j)
        and each result goes to sink (j, frame). Frame j is read only after
        every frame before it has gone to the sink, so both may work on one
        run in place. */
    template <typename Shaper, typename Source, typename Sink>
    void process (int numFrames, Shaper&& shape, Source&& source, Sink&& sink) noexcept;

    int getFactor() const noexcept                   { return factor; }
    int getNumStages() const noexcept                { return (int) upStages.size(); }
    float* getWorkBuffer() noexcept                  { return workBuffer.data(); }

    /** The stages' cut-off: 20 kHz, lowered to just below the device rate's
        Nyquist frequency when that is lower. */
    static float designFrequency (double sampleRate) noexcept;

    /** Zeroes any stage whose state overflowed. */
    void clearIfNotFinite() noexcept;

private:
    template <int Stages, typename Shaper, typename Source, typename Sink>
    void processFused (int numFrames, Shaper& shape, Source& source, Sink& sink) noexcept;

   #if KA_SIMD
    template <typename Shaper, typename Source, typename Sink>
    void processPackedTwo (int numFrames, Shaper& shape, Source& source, Sink& sink) noexcept;

    template <typename Shaper, typename Source, typename Sink>
    void processPackedFour (int numFrames, Shaper& shape, Source& source, Sink& sink) noexcept;
   #endif

    int factor;
    std::vector<InterleaveIIR> upStages, downStages;
    std::vector<float> workBuffer;
    int capacity = 0;
};

template <int Stages, typename Shaper, typename Source, typename Sink>
void Oversampler::processFused (int numFrames, Shaper& shape, Source& source, Sink& sink) noexcept
{
    constexpr int F = Stages == 0 ? 1 : 2 * Stages;
    // Local copies of the sections let the compiler keep every state in registers.
    constexpr std::size_t slots = Stages > 0 ? (std::size_t) Stages : 1;
    IIRSection up[slots], down[slots];

    for (int s = 0; s < Stages; ++s)
    {
        up[s] = upStages[(size_t) s].getSection();
        down[s] = downStages[(size_t) s].getSection();
    }

    const auto gain = splat ((float) F);

    for (int j = 0; j < numFrames; ++j)
    {
        const auto in = gain * source (j);
        StereoPair kept {};

        for (int p = 0; p < F; ++p)
        {
            auto x = p == 0 ? in : StereoPair {};

            for (int s = 0; s < Stages; ++s)
                x = up[s].tick2 (x);

            x = shape (x);

            for (int s = 0; s < Stages; ++s)
                x = down[s].tick2 (x);

            if (p == 0)
                kept = x;
        }

        sink (j, kept);
    }

    for (int s = 0; s < Stages; ++s)
    {
        upStages[(size_t) s].getSection() = up[s];
        downStages[(size_t) s].getSection() = down[s];
    }
}

#if KA_SIMD
//==============================================================================
/*  The packed forms below hold two sections in one register: lanes 0-1 (left,
    right) for the later section of a pair, lanes 2-3 for the earlier one, the
    later section running one or two oversampled frames behind. Each lane does the
    arithmetic of its own section exactly as tick2() does, so the results are
    bit for bit those of processFused(); a shuffle passes each section's output
    on to the next. A section whose frame lies outside the run at the first and
    last steps keeps its state (masked), and the shaper runs once per
    oversampled frame, in order, as before.
*/
namespace PackedSections
{
    inline StereoPair pairLanes (StereoPair later, StereoPair earlier) noexcept
    {
        return StereoPair { later[0], later[1], earlier[0], earlier[1] };
    }

    /** Both sections' coefficients and state in one section of four lanes. */
    inline IIRSection pack (const IIRSection& later, const IIRSection& earlier) noexcept
    {
        IIRSection s;
        s.b0 = pairLanes (later.b0, earlier.b0);
        s.b1 = pairLanes (later.b1, earlier.b1);
        s.b2 = pairLanes (later.b2, earlier.b2);
        s.a1 = pairLanes (later.a1, earlier.a1);
        s.a2 = pairLanes (later.a2, earlier.a2);
        s.s1 = pairLanes (later.s1, earlier.s1);
        s.s2 = pairLanes (later.s2, earlier.s2);
        return s;
    }

    inline void unpack (const IIRSection& packed, IIRSection& later, IIRSection& earlier) noexcept
    {
        later.s1 = StereoPair { packed.s1[0], packed.s1[1], 0.0f, 0.0f };
        later.s2 = StereoPair { packed.s2[0], packed.s2[1], 0.0f, 0.0f };
        earlier.s1 = StereoPair { packed.s1[2], packed.s1[3], 0.0f, 0.0f };
        earlier.s2 = StereoPair { packed.s2[2], packed.s2[3], 0.0f, 0.0f };
    }

    /** [a2, a3, b0, b1]: the earlier section's output moves on to the later one,
        b's lanes 0-1 feed the earlier section. */
    inline StereoPair handOn (StereoPair a, StereoPair b) noexcept   { return Simd::handOn (a, b); }

    /** tick2() where only the lanes of the mask take the new state. */
    inline StereoPair tickMasked (IIRSection& s, StereoPair x, StereoPair mask) noexcept
    {
        const auto s1 = s.s1, s2 = s.s2;
        const auto y = s.tick2 (x);
        s.s1 = Simd::select (mask, s.s1, s1);
        s.s2 = Simd::select (mask, s.s2, s2);
        return y;
    }

    inline StereoPair laterLanes() noexcept   { return Simd::pairMask (true, false); }
    inline StereoPair earlierLanes() noexcept { return Simd::pairMask (false, true); }
}

template <typename Shaper, typename Source, typename Sink>
void Oversampler::processPackedTwo (int numFrames, Shaper& shape, Source& source, Sink& sink) noexcept
{
    using namespace PackedSections;

    // Lanes 0-1: the down section at frame k - 2; lanes 2-3: the up section at frame k.
    // The shaper's result waits a step, so its latency overlaps the next step's section.
    auto& upSection = upStages[0].getSection();
    auto& downSection = downStages[0].getSection();
    auto v = pack (downSection, upSection);
    const auto gain = splat (2.0f);
    const StereoPair zero {};

    auto upOutput = [] (StereoPair y) { return Simd::highPair (y); };
    auto join = [] (StereoPair down, StereoPair up) { return Simd::lowPairs (down, up); };

    // Steps 0 and 1: the up section alone takes frames 0 and 1.
    auto y = tickMasked (v, join (zero, gain * source (0)), earlierLanes());
    auto shapedEven = shape (upOutput (y));
    y = tickMasked (v, zero, earlierLanes());

    for (int j = 0; j < numFrames; ++j)
    {
        const auto shapedOdd = shape (upOutput (y));
        const bool more = j + 1 < numFrames;

        // Step 2j + 2: frame j comes out of the down section, the next frame goes up.
        if (more)
            y = v.tick2 (join (shapedEven, gain * source (j + 1)));
        else
            y = tickMasked (v, join (shapedEven, zero), laterLanes());

        sink (j, y);

        // Step 2j + 3: a zero frame goes up.
        if (more)
        {
            shapedEven = shape (upOutput (y));
            y = v.tick2 (join (shapedOdd, zero));
        }
        else
        {
            tickMasked (v, join (shapedOdd, zero), laterLanes());
        }
    }

    unpack (v, downSection, upSection);
}

template <typename Shaper, typename Source, typename Sink>
void Oversampler::processPackedFour (int numFrames, Shaper& shape, Source& source, Sink& sink) noexcept
{
    using namespace PackedSections;

    // u: lanes 0-1 the second up section at frame k - 1, lanes 2-3 the first at frame k.
    // d: lanes 0-1 the second down section at frame k - 2, lanes 2-3 the first at frame k - 1.
    auto u = pack (upStages[1].getSection(), upStages[0].getSection());
    auto d = pack (downStages[1].getSection(), downStages[0].getSection());
    const auto gain = splat (4.0f);
    const StereoPair zero {};

    // Step 0: only the first up section has a frame.
    auto uy = tickMasked (u, handOn (zero, gain * source (0)), earlierLanes());
    // Step 1: the second down section has none yet.
    uy = u.tick2 (handOn (uy, zero));
    auto dy = tickMasked (d, handOn (zero, shape (uy)), earlierLanes());

    for (int j = 0; j < numFrames; ++j)
    {
        // Step 4j + 2 brings frame j out of the second down section.
        uy = u.tick2 (handOn (uy, zero));
        dy = d.tick2 (handOn (dy, shape (uy)));
        sink (j, dy);

        uy = u.tick2 (handOn (uy, zero));
        dy = d.tick2 (handOn (dy, shape (uy)));

        if (j + 1 < numFrames)
        {
            uy = u.tick2 (handOn (uy, gain * source (j + 1)));
            dy = d.tick2 (handOn (dy, shape (uy)));
            uy = u.tick2 (handOn (uy, zero));
            dy = d.tick2 (handOn (dy, shape (uy)));
        }
        else
        {
            // The last two steps drain the pipeline without a new frame.
            uy = tickMasked (u, handOn (uy, zero), laterLanes());
            dy = d.tick2 (handOn (dy, shape (uy)));
            tickMasked (d, handOn (dy, zero), laterLanes());
        }
    }

    unpack (u, upStages[1].getSection(), upStages[0].getSection());
    unpack (d, downStages[1].getSection(), downStages[0].getSection());
}
#endif

template <typename Shaper>
void Oversampler::process (float* run, int numFrames, Shaper&& shape) noexcept
{
    process (numFrames, shape,
             [run] (int j) { return loadPair (run + 2 * j); },
             [run] (int j, StereoPair frame) { storePair (run + 2 * j, frame); });
}

template <typename Shaper, typename Source, typename Sink>
void Oversampler::process (int numFrames, Shaper&& shape, Source&& source, Sink&& sink) noexcept
{
    if (numFrames <= 0)
        return;

    // The constructor allows only factors 1, 2 and 4, so there are at most two stages.
    switch (upStages.size())
    {
        case 0:  processFused<0> (numFrames, shape, source, sink); break;
       #if KA_SIMD
        case 1:  processPackedTwo (numFrames, shape, source, sink); break;
        case 2:  processPackedFour (numFrames, shape, source, sink); break;
       #else
        case 1:  processFused<1> (numFrames, shape, source, sink); break;
        case 2:  processFused<2> (numFrames, shape, source, sink); break;
       #endif
    }
}

} // namespace KA
