#pragma once

#include "engine/dsp/StereoPair.h"

#include <juce_dsp/juce_dsp.h>

namespace KA
{

/** The arithmetic of one section: coefficients and state for a stereo pair,
    transposed direct form II. Plain data, cheap to copy into registers. */
struct IIRSection
{
    StereoPair b0 {}, b1 {}, b2 {}, a1 {}, a2 {};
    StereoPair s1 {}, s2 {};
    int order = 2;

    StereoPair tick (StereoPair x) noexcept
    {
        const auto y = b0 * x + s1;

        if (order == 2)
        {
            s1 = (b1 * x - a1 * y) + s2;
            s2 = b2 * x - a2 * y;
        }
        else
        {
            s1 = b1 * x - a1 * y;
        }

        return y;
    }

    /** tick() for a section known to be second order. */
    StereoPair tick2 (StereoPair x) noexcept
    {
        const auto y = b0 * x + s1;
        s1 = (b1 * x - a1 * y) + s2;
        s2 = b2 * x - a2 * y;
        return y;
    }
};

/** One first- or second-order IIR section over an interleaved stereo run,
    both channels advancing together. */
class InterleaveIIR
{
public:
    InterleaveIIR();

    /** Takes 3 values [b0, b1, a1] (first order) or 5 values [b0, b1, b2, a1, a2]
        (second order), normalised by a0 as JUCE stores them. Not on the audio thread. */
    void setCoefficients (const juce::dsp::IIR::Coefficients<float>& newCoefficients);

    const juce::dsp::IIR::Coefficients<float>& getCoefficients() const noexcept { return coefficients; }
    int getOrder() const noexcept { return section.order; }

    /** Creates and zeroes the state; processing needs this first. */
    void prepare() noexcept;

    /** Zeroes the state (when prepared). */
    void reset() noexcept;

    bool isPrepared() const noexcept { return prepared; }

    /** Filters numFrames interleaved frames in place. NaN or infinite samples
        are replaced by 0 first so they cannot enter the state. */
    void process (float* run, int numFrames) noexcept;

    /** The same without the input check, for callers that have already done it. */
    void processUnchecked (float* run, int numFrames) noexcept;

    /** One frame; the caller keeps the section prepared. */
    StereoPair tick (StereoPair x) noexcept { return section.tick (x); }

    /** The section's coefficients and state, for fused loops that keep them in registers. */
    IIRSection& getSection() noexcept { return section; }

    /** Zeroes the state if overflow made it non-finite; true when it did. */
    bool clearIfNotFinite() noexcept;

    /** [s1 left, s1 right, s2 left, s2 right] (first order: s left, s right, 0, 0) */
    void getState (float (&result)[4]) const noexcept;

private:
    template <int Order> void run (float* data, int numFrames) noexcept;

    juce::dsp::IIR::Coefficients<float> coefficients;
    IIRSection section;
    bool prepared = false;
};

} // namespace KA
