#pragma once

#include "engine/RedeVaAudioProcessor.h"

#include <cmath>
#include <functional>

namespace KA::Test
{
inline void setReal (RedeVaAudioProcessor& p, const juce::String& id, float value)
{
    auto* parameter = p.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

inline float getReal (RedeVaAudioProcessor& p, const juce::String& id) { return p.parameters.getRawParameterValue (id)->load(); }

inline void prepare (RedeVaAudioProcessor& p, double rate, int block, int ins = 2, int outs = 2)
{
    p.setPlayConfigDetails (ins, outs, rate, block);
    p.prepareToPlay (rate, block);
}

/** Processes a planar signal in blocks of the given size and returns the output. */
inline juce::AudioBuffer<float> runThrough (RedeVaAudioProcessor& p, const juce::AudioBuffer<float>& input, int block)
{
    juce::AudioBuffer<float> output (input);
    juce::MidiBuffer midi;
    for (int start = 0; start < input.getNumSamples(); start += block)
    {
        juce::AudioBuffer<float> view (output.getArrayOfWritePointers(), output.getNumChannels(), start, std::min (block, input.getNumSamples() - start));
        p.processBlock (view, midi);
    }
    return output;
}

inline juce::AudioBuffer<float> signal (int frames, const std::function<float (int)>& sample)
{
    juce::AudioBuffer<float> buffer (2, frames);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < frames; ++i)
            buffer.setSample (ch, i, sample (i));
    return buffer;
}

inline juce::AudioBuffer<float> sine (int frames, double rate, double hz, double amplitude)
{
    return signal (frames, [=] (int i) { return (float) (amplitude * std::sin (2.0 * juce::MathConstants<double>::pi * hz * i / rate)); });
}

inline void fillNoise (juce::AudioBuffer<float>& buffer, juce::Random& random, float amplitude = 1.0f)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, (random.nextFloat() * 2.0f - 1.0f) * amplitude);
}

} // namespace KA::Test
