#include "engine/RedeVaAudioProcessor.h"

#include "engine/FactoryPresets.h"

#include <cmath>

RedeVaAudioProcessor::RedeVaAudioProcessor()
{
    addTableParameter (KA::ParameterIndex::level);

    for (int band = 0; band < numBands; ++band)
        addTableParameter (KA::bandParameter (band));

    setSeriesGains (std::pow (10.0f, -0.75f), std::pow (10.0f, -0.05f), std::pow (10.0f, 0.95f));

    initialiseProcessorState();

    KA::addFactoryPresets (*this);
}

RedeVaAudioProcessor::~RedeVaAudioProcessor() = default;

juce::String RedeVaAudioProcessor::getStateRootTag() const
{
    return "DRRoreRurediriz";
}

void RedeVaAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    levelGain.setRampSeconds (rampSeconds);
    levelGain.prepare ({ sampleRate, (juce::uint32) chainBlockSize (samplesPerBlock), 2 });

    for (auto& band : bands)
    {
        band.setRampSeconds (rampSeconds);
        band.prepare (sampleRate);
    }

    DRBaseAudioProcessor::prepareToPlay (sampleRate, samplesPerBlock);
}

void RedeVaAudioProcessor::reset()
{
    // A running Level ramp carries on; the bands jump to their targets.
    for (auto& band : bands)
        band.reset();

    DRBaseAudioProcessor::reset();
}

void RedeVaAudioProcessor::parameterChanged (KA::ParameterIndex index, float newValue)
{
    if (index == KA::ParameterIndex::level)
    {
        levelGain.setGainDecibels (getRealValue (index));
    }
    else if (const auto band = KA::bandOf (index); band >= 0)
    {
        auto& bandFilter = bands[(size_t) band];
        bandFilter.update (band, getRealValue (index), getTableParameter (index).getValue(), bandFilter.getDesignRate());
    }

    DRBaseAudioProcessor::parameterChanged (index, newValue);
}

void RedeVaAudioProcessor::processAudioBlock (juce::dsp::AudioBlock<float>& block, juce::MidiBuffer&)
{
    const auto numFrames = (int) block.getNumSamples();
    auto* run = getInterleavedRun();

    if (numFrames == 0 || block.getNumChannels() == 0 || run == nullptr || numFrames > getInterleavedCapacity())
        return;

    interleave (block, run, numFrames);
    inputTrim.process (run, run, numFrames);
    inputMeter.processInterleaved (run, numFrames);
    KA::processLatticeBands (bands.data(), (int) bands.size(), run, numFrames);
    saturationStage (run, numFrames);
    levelGain.process (run, run, numFrames);
    outputTrim.process (run, run, numFrames);
    outputMeter.processInterleaved (run, numFrames);
    deinterleave (run, block, numFrames);
}

// The user interface is added by the application's subclass; the engine alone has none.
bool RedeVaAudioProcessor::hasEditor() const { return false; }
juce::AudioProcessorEditor* RedeVaAudioProcessor::createEditor() { return nullptr; }
