#pragma once

#include "engine/PluginProcessor.h"

namespace KA::Test
{
/** A processor on the in-house base with two parameters, no audio work and a
    root tag of the caller's choice: enough for the editor base and dialogs. */
class EditorProbeProcessor : public KA::PluginProcessor
{
public:
    explicit EditorProbeProcessor (juce::String tag = "DRRoreRurediriz")
        : KA::PluginProcessor (BusesProperties().withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
          rootTag (std::move (tag))
    {
        parameters.createAndAddParameter (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "InputTrimmer", 1 },
                                                                                        "Input Trimmer",
                                                                                        juce::NormalisableRange<float> (-15.0f, 15.0f, 0.1f),
                                                                                        0.0f));
        parameters.addParameterListener ("InputTrimmer", this);
        initialiseProcessorState();
    }

    juce::String getStateRootTag() const override { return rootTag; }
    const juce::String getName() const override { return "EditorProbe"; }
    void releaseResources() override {}
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }

private:
    juce::String rootTag;
};
} // namespace KA::Test
