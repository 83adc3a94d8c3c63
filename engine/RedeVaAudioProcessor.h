#pragma once

#include "engine/DRBaseAudioProcessor.h"
#include "engine/dsp/LatticeBand.h"

#include <array>

/** The product: the series processor plus the "Level" gain, seven equalizer bands,
    the five factory presets and the state root tag. */
class RedeVaAudioProcessor : public DRBaseAudioProcessor
{
public:
    static constexpr int numBands = KA::numBands;

    RedeVaAudioProcessor();
    ~RedeVaAudioProcessor() override;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void reset() override;
    bool hasEditor() const override;
    juce::AudioProcessorEditor* createEditor() override;
    juce::String getStateRootTag() const override;
    void processAudioBlock (juce::dsp::AudioBlock<float>& block, juce::MidiBuffer& midi) override;
    using DRBaseAudioProcessor::parameterChanged;
    void parameterChanged (KA::ParameterIndex index, float newValue) override;

    const KA::LatticeBand& getBand (int index) const noexcept { return bands[(size_t) index]; }
    const KA::InterleaveGain<float, 2>& getLevelGain() const noexcept { return levelGain; }

private:
    KA::InterleaveGain<float, 2> levelGain;
    std::array<KA::LatticeBand, numBands> bands;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RedeVaAudioProcessor)
};
