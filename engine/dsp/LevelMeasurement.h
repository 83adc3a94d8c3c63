#pragma once

#include <juce_dsp/juce_dsp.h>

#include <atomic>
#include <cmath>

namespace KA
{

/** Peak meter with exponential release. The audio thread writes the two
    levels; the editor reads them with plain atomic loads. */
template <typename FloatType, int numChannels>
class LevelMeasurement : public juce::dsp::ProcessorBase
{
    static_assert (std::is_same_v<FloatType, float> && numChannels == 2, "stereo float meter");

public:
    explicit LevelMeasurement (double releaseTimeSeconds = 0.1) : releaseSeconds (releaseTimeSeconds) {}
    ~LevelMeasurement() override = default;

    void prepare (const juce::dsp::ProcessSpec& spec) override
    {
        // Without a usable rate the meter holds no history rather than growing.
        const auto rate = spec.sampleRate;
        decay = rate > 0.0 && std::isfinite (rate) ? (float) std::exp (-1.0 / (releaseSeconds * rate)) : 0.0f;
        reset();
    }

    /** Planar: channel c feeds level c (at most two channels). */
    void process (const juce::dsp::ProcessContextReplacing<float>& context) override
    {
        const auto& block = context.getInputBlock();

        if (block.getNumChannels() == 0 || block.getNumSamples() == 0)
            return;

        const auto channels = juce::jmin ((int) block.getNumChannels(), 2);

        for (int c = 0; c < channels; ++c)
        {
            const auto* data = block.getChannelPointer ((size_t) c);

            for (size_t i = 0; i < block.getNumSamples(); ++i)
                levels[c].store (next (levels[c].load (std::memory_order_relaxed), data[i]), std::memory_order_relaxed);
        }
    }

    /** Interleaved run: left samples feed level 0, right samples level 1. */
    void processInterleaved (const float* run, int numFrames) noexcept
    {
        if (numFrames <= 0)
            return;

        auto left = levels[0].load (std::memory_order_relaxed);
        auto right = levels[1].load (std::memory_order_relaxed);

        for (int i = 0; i < numFrames; ++i)
        {
            left = next (left, run[2 * i]);
            right = next (right, run[2 * i + 1]);
        }

        levels[0].store (left, std::memory_order_relaxed);
        levels[1].store (right, std::memory_order_relaxed);
    }

    void reset() override
    {
        levels[0].store (0.0f);
        levels[1].store (0.0f);
    }

    float getLevel (int channel) const noexcept   { return levels[channel].load (std::memory_order_relaxed); }
    float getDecay() const noexcept               { return decay; }

    const double releaseSeconds;

private:
    float next (float level, float x) const noexcept
    {
        const auto decayed = decay * level;
        // A non-finite sample counts as silence, so it can't pin the meter.
        const auto v = (x - x == 0.0f) ? x : 0.0f;
        return decayed < v ? v : decayed;
    }

    float decay = 0.0f;
    std::atomic<float> levels[2] { { 0.0f }, { 0.0f } };
};

} // namespace KA
