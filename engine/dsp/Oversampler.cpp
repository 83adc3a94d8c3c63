#include "engine/dsp/Oversampler.h"

#include "engine/dsp/VectorOps.h"

namespace KA
{

Oversampler::Oversampler (int f)
    : factor (f == 2 || f == 4 ? f : 1)
{
}

float Oversampler::designFrequency (double sampleRate) noexcept
{
    // Designing at 20 kHz regardless puts the poles outside the unit circle once the
    // oversampled rate drops below about 44 kHz. Keeping to the device rate's Nyquist
    // (rather than the oversampled one) still removes the zero-stuffing images.
    return std::min (20000.0f, 0.9975f * (float) sampleRate * 0.5f);
}

void Oversampler::prepare (double sampleRate, int maximumBlockSize)
{
    const auto oversampledRate = sampleRate * factor;
    upStages.clear();
    downStages.clear();

    if (factor > 1 && sampleRate > 0.0)
    {
        auto design = juce::dsp::IIR::Coefficients<float>::makeLowPass (oversampledRate, designFrequency (sampleRate));

        for (int i = 0; i < factor / 2; ++i)
        {
            upStages.emplace_back();
            downStages.emplace_back();
            upStages.back().setCoefficients (*design);
            downStages.back().setCoefficients (*design);
            upStages.back().prepare();
            downStages.back().prepare();
        }
    }

    capacity = juce::jmax (1, maximumBlockSize);
    workBuffer.assign (2 * (size_t) factor * (size_t) capacity, 0.0f);
    reset();
}

void Oversampler::reset() noexcept
{
    for (auto& s : upStages)   s.reset();
    for (auto& s : downStages) s.reset();
    vclr (workBuffer.data(), workBuffer.size());
}

void Oversampler::upsample (const float* run, int numFrames) noexcept
{
    numFrames = juce::jmin (numFrames, capacity);

    if (numFrames <= 0)
        return;

    auto* work = workBuffer.data();
    vclr (work, 2 * (size_t) factor * (size_t) numFrames);

    for (int j = 0; j < numFrames; ++j)
    {
        work[2 * factor * j]     = (float) factor * run[2 * j];
        work[2 * factor * j + 1] = (float) factor * run[2 * j + 1];
    }

    vzeroNonFinite (work, 2 * (size_t) factor * (size_t) numFrames);

    for (auto& s : upStages)
        s.processUnchecked (work, factor * numFrames);
}

void Oversampler::downsample (float* run, int numFrames) noexcept
{
    numFrames = juce::jmin (numFrames, capacity);

    if (numFrames <= 0)
        return;

    auto* work = workBuffer.data();
    vzeroNonFinite (work, 2 * (size_t) factor * (size_t) numFrames);

    for (auto& s : downStages)
        s.processUnchecked (work, factor * numFrames);

    for (int j = 0; j < numFrames; ++j)
    {
        run[2 * j]     = work[2 * factor * j];
        run[2 * j + 1] = work[2 * factor * j + 1];
    }

    clearIfNotFinite();
}

void Oversampler::clearIfNotFinite() noexcept
{
    for (auto& s : upStages)   s.clearIfNotFinite();
    for (auto& s : downStages) s.clearIfNotFinite();
}

} // namespace KA
