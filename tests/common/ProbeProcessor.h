#pragma once

#include "engine/PluginProcessor.h"

#include <atomic>
#include <functional>
#include <vector>

namespace KA::Test
{
/** One parameter of a probe; a step of 1 over 0..1 makes a switch. */
struct ProbeParameter
{
    const char* id;
    const char* name;
    float start, end, step, defaultValue, skew = 1.0f;
};

/** A concrete processor on the in-house base for the tests of every folder: the
    parameters it is given (by default "gain" and "toggle"; the base adds "power"), a
    root tag, a product hook that applies a known function and records what it is
    handed, and the block sizes the host hands to processBlock. */
class ProbeProcessor : public KA::PluginProcessor
{
public:
    static std::vector<ProbeParameter> defaultParameters()
    {
        return { { "gain", "Gain", -15.0f, 15.0f, 0.1f, 0.0f }, { "toggle", "Toggle", 0.0f, 1.0f, 1.0f, 0.0f } };
    }

    explicit ProbeProcessor (const BusesProperties& buses = stereoBuses(),
                             const std::vector<ProbeParameter>& layout = defaultParameters(),
                             juce::String tag = "DRRoreRurediriz")
        : KA::PluginProcessor (buses), rootTag (std::move (tag))
    {
        for (auto& p : layout)
        {
            if (p.step == 1.0f && p.start == 0.0f && p.end == 1.0f)
                parameters.createAndAddParameter (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { p.id, 1 }, p.name,
                                                                                               p.defaultValue > 0.5f));
            else
                parameters.createAndAddParameter (std::make_unique<juce::AudioParameterFloat> (
                    juce::ParameterID { p.id, 1 }, p.name, juce::NormalisableRange<float> (p.start, p.end, p.step, p.skew), p.defaultValue));
            parameters.addParameterListener (p.id, this);
        }
        initialiseProcessorState();
    }

    static BusesProperties buses (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
    {
        return BusesProperties().withInput ("Input", in, true).withOutput ("Output", out, true);
    }
    static BusesProperties stereoBuses() { return buses (juce::AudioChannelSet::stereo(), juce::AudioChannelSet::stereo()); }
    static BusesProperties monoInStereoOutBuses() { return buses (juce::AudioChannelSet::mono(), juce::AudioChannelSet::stereo()); }

    juce::String getStateRootTag() const override { return rootTag; }
    const juce::String getName() const override { return "Probe"; }
    void releaseResources() override {}
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }

    void prepareToPlay (double rate, int block) override
    {
        preparedBlockSize = block;
        KA::PluginProcessor::prepareToPlay (rate, block);
    }

    using KA::PluginProcessor::processBlock;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override
    {
        largestBlock = juce::jmax (largestBlock.load(), buffer.getNumSamples());
        KA::PluginProcessor::processBlock (buffer, midi);
        ++blocksProcessed;
    }

    void processAudioBlock (juce::dsp::AudioBlock<float>& block, juce::MidiBuffer&) override
    {
        ++hookCalls;
        largestHookBlock = juce::jmax (largestHookBlock, (int) block.getNumSamples());

        // Last channel first, so that an input a later output copies is still unprocessed.
        const auto lastInput = (size_t) juce::jmax (0, getTotalNumInputChannels() - 1);
        for (auto ch = block.getNumChannels(); ch-- > 0;)
        {
            const auto* source = block.getChannelPointer (lastInputFeedsEveryOutput ? juce::jmin (ch, lastInput) : ch);
            auto* data = block.getChannelPointer (ch);
            for (size_t i = 0; i < block.getNumSamples(); ++i)
                data[i] = hook (source[i]);
        }
    }

    using KA::PluginProcessor::parameterChanged;
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

    float getParameter (const juce::String& id) const { return parameters.getRawParameterValue (id)->load(); }

    std::function<float (float)> hook = [] (float x) { return 0.5f * x + 0.25f; };
    /** As the product does, a mono input reaches every output. */
    bool lastInputFeedsEveryOutput = false;
    int hookCalls = 0;
    int largestHookBlock = 0;
    std::vector<std::pair<juce::String, float>> changes;
    std::atomic<int> preparedBlockSize { 0 }, largestBlock { 0 }, blocksProcessed { 0 };

private:
    juce::String rootTag;
};
} // namespace KA::Test
