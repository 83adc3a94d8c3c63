#include "engine/dsp/SaturationStage.h"
#include "engine/dsp/RampSteps.h"

#include "engine/dsp/SaturationCurve.h"
#include "engine/dsp/VectorOps.h"

namespace KA
{

SaturationStage::SaturationStage()
{
    waveshaper.initialise ([] (float x) { return saturationCurve (x); }, -1.0f, 1.0f, 1024);

    // The same points the waveshaper holds: point i at jmap (i, 0, 1023, -1, 1), guard repeated.
    for (int i = 0; i < 1024; ++i)
        curvePoints.push_back (saturationCurve (juce::jlimit (-1.0f, 1.0f, juce::jmap ((float) i, 0.0f, 1023.0f, -1.0f, 1.0f))));
    curvePoints.push_back (curvePoints.back());
}

void SaturationStage::setGains (float pre, float dcGain, float linear) noexcept
{
    preGain = pre;
    dcBlockerGain = dcGain;
    linearGain = linear;
}

int SaturationStage::chooseOversamplingFactor (int currentFactor, double rate) noexcept
{
    if (rate > 50000.0 && rate < 100000.0)
        return 2;

    if (rate > 100000.0)
        return 1;

    return currentFactor;
}

CoeffIIR<float>::Ptr SaturationStage::designDcBlocker (double rate, float gain)
{
    if (rate <= 0.0)
        return new CoeffIIR<float> (1.0f, 0.0f, 1.0f, 0.0f);

    const auto fs = (float) rate;
    const auto fc = std::min (0.9975f * fs * 0.5f, 10.0f);
    const auto K = 6.2831855f * fc / std::tan (3.1415927f * fc / fs);
    const auto D = K + 62.831856f;
    return new CoeffIIR<float> (gain * K / D, -gain * K / D, 1.0f, (62.831856f - K) / D);
}

void SaturationStage::prepare (double rate, int maxBlock, int factor)
{
    sampleRate = rate;
    maximumBlockSize = juce::jmax (1, maxBlock);

    dynamicBias.amount = 0.1f;
    dynamicBias.cutoff = 5.0f;
    dynamicBias.prepare ({ rate, (juce::uint32) maximumBlockSize, 2 });

    dcBlocker.setCoefficients (*designDcBlocker (rate, dcBlockerGain));
    dcBlocker.prepare();

    oversampler = std::make_unique<Oversampler> (factor);
    oversampler->prepare (rate, maximumBlockSize);

    reset();
}

void SaturationStage::reset() noexcept
{
    if (oversampler != nullptr)
        oversampler->reset();

    dynamicBias.reset();
    dcBlocker.reset();

    saturationMix.setTargetValue (pendingMix.load (std::memory_order_relaxed));
    const auto factor = oversampler != nullptr ? oversampler->getFactor() : 1;
    saturationMix.reset (rampSteps (sampleRate * factor, rampSeconds));
}

void SaturationStage::process (const juce::dsp::ProcessContextReplacing<float>& context) noexcept
{
    auto& block = context.getOutputBlock();

    if (block.getNumChannels() > 0)
        process (block.getChannelPointer (0), (int) block.getNumSamples());
}

void SaturationStage::process (float* run, int numFrames) noexcept
{
    if (oversampler == nullptr || numFrames <= 0)
        return;

    saturationMix.setTargetValue (pendingMix.load (std::memory_order_relaxed));

    for (int done = 0; done < numFrames; done += maximumBlockSize)
        processChunk (run + 2 * done, juce::jmin (maximumBlockSize, numFrames - done));

    // Only overflow from absurdly large input reaches a non-finite state; it must not stick.
    dynamicBias.clearIfNotFinite();
    oversampler->clearIfNotFinite();
    dcBlocker.clearIfNotFinite();
}

void SaturationStage::processChunk (float* run, int numFrames) noexcept
{
    auto& envelopeFilter = dynamicBias.getEnvelopeFilter();

    if (! (envelopeFilter.isPrepared() && dcBlocker.isPrepared()))
    {
        const auto n2 = 2 * (size_t) numFrames;
        vzeroNonFinite (run, n2);
        vsmul (run, preGain, run, n2);
        dynamicBias.processUnchecked (run, numFrames);
        auto load = [run] (int j) { return loadPair (run + 2 * j); };
        auto store = [run] (int j, StereoPair y) { storePair (run + 2 * j, y); };
        runOversampler (numFrames, load, store);
        dcBlocker.processUnchecked (run, numFrames);
        return;
    }

    // The input check, pre-gain, bias and DC blocker run frame by frame inside the
    // oversampler's loop, so their recursions overlap with its own; each frame
    // sees the same operations in the same order as in separate passes.
    auto envelope = envelopeFilter.getSection();
    auto dc = dcBlocker.getSection();
    const auto pre = splat (preGain);
    const auto scale = splat (dynamicBias.amount);

    auto source = [run, pre, scale, &envelope] (int j)
    {
        // NaN and infinity go to 0, as in vzeroNonFinite.
        const auto x = Simd::keepFinite (loadPair (run + 2 * j));
        return DynamicBias<float, 2>::processFrame (envelope, scale, x * pre);
    };

    // Only the frame's two lanes go on, as they would through the run.
    auto sink = [run, &dc] (int j, StereoPair y) { storePair (run + 2 * j, dc.tick (StereoPair { y[0], y[1], 0.0f, 0.0f })); };

    runOversampler (numFrames, source, sink);

    envelopeFilter.getSection() = envelope;
    dcBlocker.getSection() = dc;
}

template <typename Source, typename Sink>
void SaturationStage::runOversampler (int numFrames, Source& source, Sink& sink) noexcept
{
    const auto g = splat (linearGain);

    auto blend = [this, g] (StereoPair x, float p)
    {
        const auto w = shapePair (x);
        const auto gx = g * x;
        return gx + splat (p) * (w - gx);
    };

    if (saturationMix.isSmoothing())
    {
        oversampler->process (numFrames, [this, &blend] (StereoPair x) { return blend (x, saturationMix.getNextValue()); },
                              source, sink);
    }
    else if (saturationMix.getTargetValue() == 1.0f)
    {
        // The full curve: 1 x (w - gx) is w - gx exactly, so the multiplication is left out.
        oversampler->process (numFrames, [this, g] (StereoPair x)
        {
            const auto gx = g * x;
            return gx + (shapePair (x) - gx);
        }, source, sink);
    }
    else
    {
        const auto p = saturationMix.getTargetValue();
        oversampler->process (numFrames, [p, &blend] (StereoPair x) { return blend (x, p); }, source, sink);
    }
}

} // namespace KA
