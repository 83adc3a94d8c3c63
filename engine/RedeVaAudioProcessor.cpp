#include "engine/RedeVaAudioProcessor.h"

#include "engine/FactoryPresets.h"
#include "engine/FiniteParameter.h"
#include "engine/ParameterText.h"

#include <cmath>

const std::array<const char*, RedeVaAudioProcessor::numBands> RedeVaAudioProcessor::bandIDs {
    "50Hz", "120Hz", "400Hz", "500Hz", "800Hz", "4e5kHz", "10kHz"
};

namespace
{
const std::array<const char*, RedeVaAudioProcessor::numBands> bandNames {
    "50 Hz", "120 Hz", "400 Hz", "500 Hz", "800 Hz", "4.5 kHz", "10 kHz"
};

// Puts 0 dB at the middle of Level's travel: (120 / 132) ^ skew = 0.5.
constexpr float levelSkew = 7.272543f;

std::unique_ptr<juce::RangedAudioParameter> makeDecibelParameter (const juce::String& id, const juce::String& name,
                                                                  juce::NormalisableRange<float> range,
                                                                  juce::String (*toText) (float, int))
{
    using Parameter = juce::AudioProcessorValueTreeState::Parameter;
    return KA::FiniteParameter::wrap (std::make_unique<Parameter> (juce::ParameterID { id, 1 }, name, range, 0.0f,
                                                                   juce::AudioProcessorValueTreeStateParameterAttributes()
                                                                       .withLabel ("dB")
                                                                       .withStringFromValueFunction (toText)
                                                                       .withValueFromStringFunction (&KA::ParameterText::decibelTextToValue)));
}
} // namespace

RedeVaAudioProcessor::RedeVaAudioProcessor()
{
    parameters.createAndAddParameter (makeDecibelParameter ("Level", "Level",
                                                            juce::NormalisableRange<float> (-120.0f, 12.0f, 0.1f, levelSkew),
                                                            &KA::ParameterText::levelValueToText));
    parameters.addParameterListener ("Level", this);
    levelValue = parameters.getRawParameterValue ("Level");

    for (size_t i = 0; i < bands.size(); ++i)
    {
        parameters.createAndAddParameter (makeDecibelParameter (bandIDs[i], bandNames[i],
                                                                juce::NormalisableRange<float> (-15.0f, 15.0f, 0.1f, 1.0f),
                                                                &KA::ParameterText::bandValueToText));
        parameters.addParameterListener (bandIDs[i], this);
        bandValues[i] = parameters.getRawParameterValue (bandIDs[i]);
        bandParameters[i] = parameters.getParameter (bandIDs[i]);
    }

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

void RedeVaAudioProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    if (parameterID == "Level")
    {
        levelGain.setGainDecibels (levelValue->load());
    }
    else
    {
        for (size_t i = 0; i < bands.size(); ++i)
        {
            if (parameterID == bandIDs[i])
            {
                bands[i].update ((int) i, bandValues[i]->load(), bandParameters[i]->getValue(), bands[i].getSampleRate());
                break;
            }
        }
    }

    DRBaseAudioProcessor::parameterChanged (parameterID, newValue);
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
