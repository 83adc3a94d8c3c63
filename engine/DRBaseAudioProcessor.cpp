#include "engine/DRBaseAudioProcessor.h"

#include "engine/FiniteParameter.h"
#include "engine/ParameterText.h"

DRBaseAudioProcessor::DRBaseAudioProcessor()
    : KA::PluginProcessor (BusesProperties().withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                            .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    const auto trimRange = juce::NormalisableRange<float> (-15.0f, 15.0f, 0.1f, 1.0f);
    const auto trimAttributes = juce::AudioParameterFloatAttributes().withStringFromValueFunction (&KA::ParameterText::trimValueToText)
                                                                      .withValueFromStringFunction (&KA::ParameterText::decibelTextToValue);

    parameters.createAndAddParameter (KA::FiniteParameter::wrap (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "InputTrimmer", 1 },
                                                                                                              "Input Trimmer", trimRange, 0.0f, trimAttributes)));
    parameters.addParameterListener ("InputTrimmer", this);

    parameters.createAndAddParameter (KA::FiniteParameter::wrap (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "OutputTrimmer", 1 },
                                                                                                              "Output Trimmer", trimRange, 0.0f, trimAttributes)));
    parameters.addParameterListener ("OutputTrimmer", this);

    parameters.createAndAddParameter (KA::FiniteParameter::wrap (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "AnalogPower", 1 },
                                                                                                             "Analog Power", true)));
    parameters.addParameterListener ("AnalogPower", this);

    inputTrimValue = parameters.getRawParameterValue ("InputTrimmer");
    outputTrimValue = parameters.getRawParameterValue ("OutputTrimmer");
    analogPowerValue = parameters.getRawParameterValue ("AnalogPower");
}

DRBaseAudioProcessor::~DRBaseAudioProcessor() = default;

const juce::String DRBaseAudioProcessor::getName() const  { return "KA Dravon Rore Rurediriz"; }
void DRBaseAudioProcessor::releaseResources()              {}
double DRBaseAudioProcessor::getTailLengthSeconds() const  { return 1.0; }
bool DRBaseAudioProcessor::acceptsMidi() const             { return false; }
bool DRBaseAudioProcessor::producesMidi() const            { return false; }
bool DRBaseAudioProcessor::isMidiEffect() const            { return false; }
bool DRBaseAudioProcessor::hasEditor() const               { return true; }

void DRBaseAudioProcessor::setSeriesGains (float preGainToUse, float dcBlockerGainToUse, float linearGainToUse)
{
    preGain = preGainToUse;
    dcBlockerGain = dcBlockerGainToUse;
    linearGain = linearGainToUse;
    saturation.setGains (preGain, dcBlockerGain, linearGain);
}

bool DRBaseAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto in = layouts.getMainInputChannelSet();
    const auto out = layouts.getMainOutputChannelSet();
    const auto stereo = juce::AudioChannelSet::stereo();
    const auto mono = juce::AudioChannelSet::mono();

    if ((in == stereo && out == stereo) || (in == mono && out == mono) || (in == mono && out == stereo))
        return true;

    return in.size() == 0 || out.size() == 0;
}

void DRBaseAudioProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    const auto maxBlock = chainBlockSize (maximumExpectedSamplesPerBlock);
    const juce::dsp::ProcessSpec spec { sampleRate, (juce::uint32) maxBlock, 2 };

    interleavedStorage.free();
    interleavedBlock = juce::dsp::AudioBlock<float> (interleavedStorage, 2, (size_t) maxBlock, 16);
    interleavedBlock.clear();
    interleavedCapacity = maxBlock;

    inputMeter.prepare (spec);
    outputMeter.prepare (spec);

    inputTrim.setRampSeconds (rampSeconds);
    outputTrim.setRampSeconds (rampSeconds);
    inputTrim.prepare (spec);
    outputTrim.prepare (spec);

    oversamplingFactor = KA::SaturationStage::chooseOversamplingFactor (oversamplingFactor, getSampleRate());
    saturation.setRampSeconds (rampSeconds);
    saturation.prepare (sampleRate, maxBlock, oversamplingFactor);

    setPowerRampSeconds (rampSeconds);

    KA::PluginProcessor::prepareToPlay (sampleRate, maximumExpectedSamplesPerBlock);
}

void DRBaseAudioProcessor::reset()
{
    inputMeter.reset();
    outputMeter.reset();
    inputTrim.reset();
    outputTrim.reset();
    saturation.reset();

    KA::PluginProcessor::reset();
}

void DRBaseAudioProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    if (parameterID == "InputTrimmer")
        inputTrim.setGainDecibels (inputTrimValue->load());
    else if (parameterID == "OutputTrimmer")
        outputTrim.setGainDecibels (outputTrimValue->load());
    else if (parameterID == "AnalogPower")
        saturation.setMixTarget (analogPowerValue->load() >= 0.5f ? 1.0f : 0.0f);

    KA::PluginProcessor::parameterChanged (parameterID, newValue);
}

void DRBaseAudioProcessor::saturationStage (float* run, int numFrames) noexcept
{
    saturation.process (run, numFrames);
}

void DRBaseAudioProcessor::interleave (const juce::dsp::AudioBlock<float>& block, float* run, int numFrames) noexcept
{
    const auto* left = block.getChannelPointer (0);
    // A mono input feeds both sides of the run.
    const auto* right = getTotalNumInputChannels() > 1 && block.getNumChannels() > 1 ? block.getChannelPointer (1) : left;

    for (int i = 0; i < numFrames; ++i)
    {
        run[2 * i] = left[i];
        run[2 * i + 1] = right[i];
    }
}

void DRBaseAudioProcessor::deinterleave (const float* run, juce::dsp::AudioBlock<float>& block, int numFrames) noexcept
{
    auto* left = block.getChannelPointer (0);
    auto* right = getTotalNumOutputChannels() >= 2 && block.getNumChannels() > 1 ? block.getChannelPointer (1) : left;

    for (int i = 0; i < numFrames; ++i)
        left[i] = run[2 * i];

    for (int i = 0; i < numFrames; ++i)
        right[i] = run[2 * i + 1];
}
