#pragma once

#include "engine/PluginProcessor.h"

#include <functional>
#include <vector>

namespace KA::Test
{
/** A concrete processor on the base with two parameters and a product hook that
    records what it is handed and applies a known function to the block. */
class ProbeProcessor : public KA::PluginProcessor
{
public:
    explicit ProbeProcessor (const BusesProperties& buses = stereoBuses())
        : KA::PluginProcessor (buses)
    {
        parameters.createAndAddParameter (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "gain", 1 },
                                                                                        "Gain",
                                                                                        juce::NormalisableRange<float> (-15.0f, 15.0f, 0.1f),
                                                                                        0.0f));
        parameters.addParameterListener ("gain", this);
        parameters.createAndAddParameter (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "toggle", 1 },
                                                                                       "Toggle",
                                                                                       false));
        parameters.addParameterListener ("toggle", this);
        initialiseProcessorState();
    }

    static BusesProperties stereoBuses()
    {
        return BusesProperties().withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true);
    }

    static BusesProperties monoInStereoOutBuses()
    {
        return BusesProperties().withInput ("Input", juce::AudioChannelSet::mono(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true);
    }

    juce::String getStateRootTag() const override { return "DRRoreRurediriz"; }
    const juce::String getName() const override { return "Probe"; }
    void releaseResources() override {}
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }

    void processAudioBlock (juce::dsp::AudioBlock<float>& block, juce::MidiBuffer&) override
    {
        ++hookCalls;
        largestHookBlock = juce::jmax (largestHookBlock, (int) block.getNumSamples());

        for (size_t ch = 0; ch < block.getNumChannels(); ++ch)
        {
            auto* data = block.getChannelPointer (ch);
            for (size_t i = 0; i < block.getNumSamples(); ++i)
                data[i] = hook (data[i]);
        }
    }

    void parameterChanged (const juce::String& parameterID, float newValue) override
    {
        changes.emplace_back (parameterID, newValue);
        KA::PluginProcessor::parameterChanged (parameterID, newValue);
    }

    void setParameter (const juce::String& id, float realValue)
    {
        auto* parameter = parameters.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (realValue));
    }

    float getParameter (const juce::String& id) const
    {
        return parameters.getRawParameterValue (id)->load();
    }

    std::function<float (float)> hook = [] (float x) { return 0.5f * x + 0.25f; };
    int hookCalls = 0;
    int largestHookBlock = 0;
    std::vector<std::pair<juce::String, float>> changes;
};
} // namespace KA::Test
