#pragma once

#include "engine/dsp/RampSteps.h"
#include "engine/dsp/VectorOps.h"

#include <juce_dsp/juce_dsp.h>

#include <atomic>
#include <cmath>

namespace KA
{

/** A gain ramped linearly per frame over an interleaved stereo run. The
    target may be set from any thread; the audio thread takes it over at the
    start of its next block. */
template <typename FloatType, int numChannels>
class InterleaveGain : public juce::dsp::ProcessorBase
{
    static_assert (std::is_same_v<FloatType, float> && numChannels == 2,
                   "runs are interleaved stereo floats");

public:
    ~InterleaveGain() override = default;

    void prepare (const juce::dsp::ProcessSpec& spec) override
    {
        sampleRate = spec.sampleRate;
        capacity = (int) spec.maximumBlockSize;
        gainBlock.allocate (2 * (size_t) juce::jmax (1, capacity), true);
        reset();
    }

    void process (const juce::dsp::ProcessContextReplacing<float>& context) override
    {
        const auto& in = context.getInputBlock();
        auto& out = context.getOutputBlock();

        if (in.getNumChannels() == 0 || out.getNumChannels() == 0)
            return;

        process (in.getChannelPointer (0), out.getChannelPointer (0), (int) in.getNumSamples());
    }

    /** Interleaved run of numFrames frames; in and out may be the same. */
    void process (const float* in, float* out, int numFrames) noexcept
    {
        if (numFrames <= 0)
            return;

        gain.setTargetValue (pendingTarget.load (std::memory_order_relaxed));

        if (! gain.isSmoothing())
        {
            vsmul (in, gain.getTargetValue(), out, 2 * (size_t) numFrames);
            return;
        }

        for (int done = 0; done < numFrames;)
        {
            const auto n = juce::jmin (numFrames - done, juce::jmax (1, capacity));
            auto* gains = gainBlock.get();

            for (int i = 0; i < n; ++i)
                gains[2 * i] = gains[2 * i + 1] = gain.getNextValue();

            vmul (in + 2 * done, gains, out + 2 * done, 2 * (size_t) n);
            done += n;
        }
    }

    void reset() override
    {
        gain.setTargetValue (pendingTarget.load (std::memory_order_relaxed));

        if (sampleRate > 0.0)
            gain.reset (rampSteps (sampleRate, rampSeconds));
    }

    void setRampSeconds (double seconds)
    {
        if (seconds != rampSeconds)
        {
            rampSeconds = seconds;
            reset();
        }
    }

    /** 10^(dB/20), exactly 0 at or below -100 dB. NaN and +inf are ignored. */
    void setGainDecibels (float decibels) noexcept
    {
        if (std::isnan (decibels) || decibels == std::numeric_limits<float>::infinity())
            return;

        pendingTarget.store (decibels > -100.0f ? std::pow (10.0f, decibels * 0.05f) : 0.0f,
                             std::memory_order_relaxed);
    }

    /** Audio-side view, for inspection while stopped. */
    const juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear>& getSmoother() const noexcept { return gain; }

private:
    double sampleRate = 0.0;
    double rampSeconds = 0.0;
    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> gain { 0.0f };
    juce::HeapBlock<float> gainBlock;
    int capacity = 0;
    std::atomic<float> pendingTarget { 0.0f };
};

} // namespace KA
