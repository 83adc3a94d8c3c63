#pragma once

#include "engine/dsp/InterleaveIIR.h"

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

    int getFactor() const noexcept                   { return factor; }
    int getNumStages() const noexcept                { return (int) upStages.size(); }
    float* getWorkBuffer() noexcept                  { return workBuffer.data(); }
    const InterleaveIIR& getUpStage (int i) const    { return upStages[(size_t) i]; }
    const InterleaveIIR& getDownStage (int i) const  { return downStages[(size_t) i]; }

    /** The stages' cut-off: 20 kHz, lowered to just below the device rate's
        Nyquist frequency when that is lower. */
    static float designFrequency (double sampleRate) noexcept;

    /** Zeroes any stage whose state overflowed. */
    void clearIfNotFinite() noexcept;

private:
    template <int Stages, typename Shaper>
    void processFused (float* run, int numFrames, Shaper& shape) noexcept;

    int factor;
    std::vector<InterleaveIIR> upStages, downStages;
    std::vector<float> workBuffer;
    int capacity = 0;
};

template <int Stages, typename Shaper>
void Oversampler::processFused (float* run, int numFrames, Shaper& shape) noexcept
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
        const auto in = gain * loadPair (run + 2 * j);
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

        storePair (run + 2 * j, kept);
    }

    for (int s = 0; s < Stages; ++s)
    {
        upStages[(size_t) s].getSection() = up[s];
        downStages[(size_t) s].getSection() = down[s];
    }
}

template <typename Shaper>
void Oversampler::process (float* run, int numFrames, Shaper&& shape) noexcept
{
    if (numFrames <= 0)
        return;

    switch (upStages.size())
    {
        case 0:  processFused<0> (run, numFrames, shape); break;
        case 1:  processFused<1> (run, numFrames, shape); break;
        case 2:  processFused<2> (run, numFrames, shape); break;
        default:
            for (int done = 0; done < numFrames;)
            {
                const auto n = juce::jmin (numFrames - done, capacity);
                upsample (run + 2 * done, n);
                auto* work = workBuffer.data();
                for (int i = 0; i < factor * n; ++i)
                    storePair (work + 2 * i, shape (loadPair (work + 2 * i)));
                downsample (run + 2 * done, n);
                done += n;
            }
            break;
    }
}

} // namespace KA
