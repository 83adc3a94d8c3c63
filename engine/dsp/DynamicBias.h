#pragma once

#include "engine/dsp/InterleaveIIR.h"
#include "engine/dsp/VectorOps.h"

#include <juce_dsp/juce_dsp.h>

namespace KA
{

/** Adds amount x a low-passed envelope of |x| to each channel, so the
    following asymmetric curve sees an operating point that follows the level. */
template <typename FloatType, int numChannels>
class DynamicBias : public juce::dsp::ProcessorBase
{
    static_assert (std::is_same_v<FloatType, float> && numChannels == 2, "interleaved stereo floats");

public:
    ~DynamicBias() override = default;

    void prepare (const juce::dsp::ProcessSpec& spec) override
    {
        if (spec.sampleRate > 0.0 && cutoff > 0.0f)
        {
            // Below Nyquist, or the envelope filter's pole leaves the unit circle
            // at rates under twice the cutoff.
            const auto designCutoff = juce::jmin (cutoff, (float) (0.9975 * spec.sampleRate * 0.5));
            envelopeFilter.setCoefficients (*juce::dsp::IIR::Coefficients<float>::makeFirstOrderLowPass (spec.sampleRate, designCutoff));
            envelopeFilter.prepare();
        }

        reset();
    }

    void process (const juce::dsp::ProcessContextReplacing<float>& context) override
    {
        auto& block = context.getOutputBlock();

        if (block.getNumChannels() == 0)
            return;

        auto* run = block.getChannelPointer (0);
        const auto n = (int) block.getNumSamples();
        vzeroNonFinite (run, 2 * (size_t) n);
        processUnchecked (run, n);
        envelopeFilter.clearIfNotFinite();
    }

    /** In place over numFrames interleaved frames; the input must be finite. */
    void processUnchecked (float* run, int numFrames) noexcept
    {
        if (! envelopeFilter.isPrepared())
            return;

        const auto scale = splat (amount);

        for (int i = 0; i < numFrames; ++i)
            storePair (run + 2 * i, processFrame (envelopeFilter.getSection(), scale, loadPair (run + 2 * i)));
    }

    /** One frame of processUnchecked(), on a copy of the envelope section that a
        fused loop keeps in registers; scale is splat (amount). */
    static StereoPair processFrame (IIRSection& envelope, StereoPair scale, StereoPair x) noexcept
    {
        const auto magnitude = StereoPair { std::abs (x[0]), std::abs (x[1]), 0.0f, 0.0f };
        const auto level = envelope.tick (magnitude) * scale;
        return level + x;
    }

    /** The envelope filter, for fused loops that run processFrame() themselves. */
    InterleaveIIR& getEnvelopeFilter() noexcept { return envelopeFilter; }

    void reset() override
    {
        envelopeFilter.reset();
    }

    const InterleaveIIR& getEnvelopeFilter() const noexcept { return envelopeFilter; }

    /** Zeroes the envelope state if overflow made it non-finite. */
    void clearIfNotFinite() noexcept { envelopeFilter.clearIfNotFinite(); }

    float amount = 1.0f;
    float cutoff = 0.0f;

private:
    InterleaveIIR envelopeFilter;
};

} // namespace KA
