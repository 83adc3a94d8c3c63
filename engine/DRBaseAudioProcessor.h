#pragma once

#include "engine/PluginProcessor.h"
#include "engine/dsp/InterleaveGain.h"
#include "engine/dsp/LevelMeasurement.h"
#include "engine/dsp/SaturationStage.h"

/** What every processor of the series shares: input and output trims, input and
    output meters, the "AnalogPower" switch with the oversampled saturation stage,
    the bus-layout rule, the display name, the tail and the MIDI flags. The product
    runs the chain over these members from its processAudioBlock. */
class DRBaseAudioProcessor : public KA::PluginProcessor
{
public:
    DRBaseAudioProcessor();
    ~DRBaseAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;
    void reset() override;
    bool hasEditor() const override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    using KA::PluginProcessor::parameterChanged;
    void parameterChanged (KA::ParameterIndex index, float newValue) override;

    int getOversamplingFactor() const noexcept { return oversamplingFactor; }
    const KA::SaturationStage& getSaturationStage() const noexcept { return saturation; }

    KA::LevelMeasurement<float, 2> inputMeter { 0.1 };
    KA::LevelMeasurement<float, 2> outputMeter { 0.1 };

protected:
    /** Linear gains before the stage, in the DC blocker and of the curve's linear path. */
    void setSeriesGains (float preGainToUse, float dcBlockerGainToUse, float linearGainToUse);

    /** The stage between the product's bands and its Level gain, in place. */
    void saturationStage (float* run, int numFrames) noexcept;

    /** The chain's work run: numFrames interleaved stereo frames, at most the
        prepared block size. */
    float* getInterleavedRun() noexcept { return interleavedBlock.getNumChannels() > 0 ? interleavedBlock.getChannelPointer (0) : nullptr; }
    int getInterleavedCapacity() const noexcept { return interleavedCapacity; }

    /** Frame i of the block's left and right channels to floats 2i and 2i+1. */
    void interleave (const juce::dsp::AudioBlock<float>& block, float* run, int numFrames) noexcept;

    /** Back into the block; with one output channel, channel 0 ends up holding the right. */
    void deinterleave (const float* run, juce::dsp::AudioBlock<float>& block, int numFrames) noexcept;

    int oversamplingFactor = 4;
    double rampSeconds = 0.05;
    float preGain = 0.0f;
    float dcBlockerGain = 0.0f;
    float linearGain = 0.0f;
    KA::InterleaveGain<float, 2> inputTrim;
    KA::InterleaveGain<float, 2> outputTrim;
    KA::SaturationStage saturation;

private:
    juce::HeapBlock<char> interleavedStorage;
    juce::dsp::AudioBlock<float> interleavedBlock;
    int interleavedCapacity = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DRBaseAudioProcessor)
};
