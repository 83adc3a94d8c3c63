#pragma once

#include "engine/dsp/CoeffIIR.h"
#include "engine/dsp/DynamicBias.h"
#include "engine/dsp/InterleaveIIR.h"
#include "engine/dsp/Oversampler.h"
#include "engine/dsp/Simd.h"

#include <juce_dsp/juce_dsp.h>

#include <atomic>
#include <memory>
#include <vector>

namespace KA
{

/** The series' output stage over an interleaved stereo run: pre-gain,
    level-following bias, oversampled blend of a linear path and the
    saturation curve, and a 10 Hz DC blocker that carries its own gain.

    Call order: setGains() once, prepare() from prepareToPlay, reset() from
    reset, setMixTarget() from parameter changes (any thread), process() once
    per block on the audio thread.
*/
class SaturationStage
{
public:
    SaturationStage();

    /** Linear gains: before the stage, in the DC blocker's numerator (takes effect
        at the next prepare), and of the waveshaper's linear path. */
    void setGains (float preGain, float dcBlockerGain, float linearGain) noexcept;

    /** Ramp length of the mix; default 0.05 s. Takes effect at the next reset. */
    void setRampSeconds (double seconds) noexcept { rampSeconds = seconds; }

    /** Builds a new oversampler for the factor, designs the DC blocker, prepares
        the bias and ends in reset(). Allocates; not on the audio thread. */
    void prepare (double sampleRate, int maximumBlockSize, int oversamplingFactor);

    /** Clears every filter state; the mix jumps to its target and gets a ramp
        of rampSeconds in oversampled frames. */
    void reset() noexcept;

    /** Mix between the linear path (0) and the pure curve (1); any thread,
        effective from the next block. */
    void setMixTarget (float target) noexcept { pendingMix.store (target, std::memory_order_relaxed); }

    /** In place over numFrames interleaved frames. NaN or infinite input samples
        are treated as silence. */
    void process (float* run, int numFrames) noexcept;
    void process (const juce::dsp::ProcessContextReplacing<float>& context) noexcept;

    /** The factor rule of the series: 2 between 50 and 100 kHz, 1 above 100 kHz,
        otherwise the current factor stays. */
    static int chooseOversamplingFactor (int currentFactor, double sampleRate) noexcept;

    /** First-order 10 Hz high-pass with gain in its numerator; identity for rates <= 0. */
    static CoeffIIR<float>::Ptr designDcBlocker (double sampleRate, float gain);

    /** The curve's table lookup with the input clamped first, NaN going to -1. */
    float shape (float x) const noexcept
    {
        x = x > -1.0f ? x : -1.0f;
        x = x < 1.0f ? x : 1.0f;
        return waveshaper.processSample (x);
    }

    /** shape() on both channels of a frame at once, same arithmetic. */
    StereoPair shapePair (StereoPair x) const noexcept
    {
        // max/min keep their first operand exactly when it compares greater/less,
        // so NaN still goes to -1 and signed zeros pass unchanged.
        x = Simd::max (x, splat (-1.0f));
        x = Simd::min (x, splat (1.0f));
        const auto index = splat (511.5f) * x + splat (511.5f);
        using IntPair = int __attribute__ ((vector_size (16)));
        const auto i = __builtin_convertvector (index, IntPair);
        const auto f = index - __builtin_convertvector (i, StereoPair);
        const auto* p = curvePoints.data();
        const StereoPair x0 { p[i[0]], p[i[1]], 0.0f, 0.0f };
        const StereoPair x1 { p[i[0] + 1], p[i[1] + 1], 0.0f, 0.0f };
        return x0 + f * (x1 - x0);
    }

    // Inspection.
    const Oversampler* getOversampler() const noexcept { return oversampler.get(); }
    const InterleaveIIR& getDcBlocker() const noexcept { return dcBlocker; }
    const DynamicBias<float, 2>& getDynamicBias() const noexcept { return dynamicBias; }
    const juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear>& getMix() const noexcept { return saturationMix; }
    const juce::dsp::LookupTableTransform<float>& getWaveshaper() const noexcept { return waveshaper; }

private:
    void processChunk (float* run, int numFrames) noexcept;

    template <typename Source, typename Sink>
    void runOversampler (int numFrames, Source& source, Sink& sink) noexcept;

    float preGain = 0.0f;
    DynamicBias<float, 2> dynamicBias;
    std::unique_ptr<Oversampler> oversampler;
    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> saturationMix { 0.0f };
    float linearGain = 0.0f;
    juce::dsp::LookupTableTransform<float> waveshaper;
    std::vector<float> curvePoints; // the waveshaper's points and guard point, for the paired lookup
    InterleaveIIR dcBlocker;
    float dcBlockerGain = 0.0f;

    double sampleRate = 0.0;
    double rampSeconds = 0.05;
    int maximumBlockSize = 0;
    std::atomic<float> pendingMix { 0.0f };
};

} // namespace KA
