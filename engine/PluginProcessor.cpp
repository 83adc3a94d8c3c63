#include "engine/PluginProcessor.h"

#include "engine/GlobalStrings.h"
#include "engine/SettingsFile.h"
#include "engine/dsp/RampSteps.h"


namespace KA
{
namespace
{
    const juce::String powerID ("power");
}

PluginProcessor::PluginProcessor (const BusesProperties& ioLayouts)
    : juce::AudioProcessor (ioLayouts),
      parameters (*this, &undoManager),
      extensionState (&undoManager)
{
}

PluginProcessor::~PluginProcessor()
{
    // The extension state goes before the parameter state; it must not stay
    // registered on a tree that outlives it.
    parameters.state.removeListener (&extensionState.asTreeListener());

    for (int i = factoryPresets.size(); --i >= 0;)
        factoryPresets.remove (i);

    // Closing the file would save it too, but silently.
    if (globalSettings != nullptr)
        SettingsFile::save (*globalSettings);
}

//==============================================================================
void PluginProcessor::prepareToPlay (double, int maximumExpectedSamplesPerBlock)
{
    dryStorage.free();
    dryBlock = juce::dsp::AudioBlock<float> (dryStorage, 2, (size_t) dryCopyFrames, 16);
    dryBlock.clear();
    crossfadeGains.allocate ((size_t) dryCopyFrames, true);

    preparedBlockSize = chainBlockSize (maximumExpectedSamplesPerBlock);

    reset();

    for (auto* parameter : getParameters())
    {
        if (auto* withID = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter))
        {
            const auto range = parameters.getParameterRange (withID->paramID);
            parameterChanged (withID->paramID, range.convertFrom0to1 (parameter->getValue()));
        }
    }
}

int PluginProcessor::chainBlockSize (int maximumExpectedSamplesPerBlock) noexcept
{
    return maximumExpectedSamplesPerBlock > 0 ? juce::jmin (maximumExpectedSamplesPerBlock, dryCopyFrames)
                                              : dryCopyFrames;
}

void PluginProcessor::reset()
{
    resetPowerCrossfade();
}

void PluginProcessor::resetPowerCrossfade()
{
    const auto rate = getSampleRate();

    if (rate > 0.0)
    {
        // A change made while audio was stopped is taken over first, so the
        // cross-fade settles on it instead of fading there at the next block.
        powerCrossfade.setTargetValue (pendingPowerTarget.load (std::memory_order_relaxed));
        powerCrossfade.reset (rampSteps (rate, powerRampSeconds));
    }
}

void PluginProcessor::setPowerRampSeconds (double seconds)
{
    if (seconds == powerRampSeconds)
        return;

    powerRampSeconds = seconds;
    resetPowerCrossfade();
}

//==============================================================================
void PluginProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    const juce::ScopedNoDenormals noDenormals;

    const int numChannels = buffer.getNumChannels();
    const int numSamples = buffer.getNumSamples();

    if (numChannels == 0 || numSamples == 0)
        return;

    for (int ch = getTotalNumInputChannels(); ch < getTotalNumOutputChannels() && ch < numChannels; ++ch)
        buffer.clear (ch, 0, numSamples);

    // Nothing has been prepared: there is no dry copy and no chain to run.
    if (preparedBlockSize == 0)
        return;

    powerCrossfade.setTargetValue (pendingPowerTarget.load (std::memory_order_relaxed));

    if (powerCrossfade.getTargetValue() == 0.0f && ! powerCrossfade.isSmoothing())
        return;

    juce::dsp::AudioBlock<float> whole (buffer);

    // The dry copy and every buffer of the chain hold preparedBlockSize frames, so a
    // longer block from the device runs through in pieces.
    for (int start = 0; start < numSamples; start += preparedBlockSize)
    {
        const int frames = juce::jmin (preparedBlockSize, numSamples - start);
        auto piece = whole.getSubBlock ((size_t) start, (size_t) frames);

        const auto dryChannels = juce::jmin ((size_t) 2, piece.getNumChannels());
        dryBlock.getSubsetChannelBlock (0, dryChannels)
                .getSubBlock (0, (size_t) frames)
                .copyFrom (piece.getSubsetChannelBlock (0, dryChannels));

        processAudioBlock (piece, midi);
        mixDryAndProcessed (piece, frames);
    }
}

void PluginProcessor::mixDryAndProcessed (juce::dsp::AudioBlock<float>& block, int numFrames)
{
    auto* gains = crossfadeGains.get();

    for (int i = 0; i < numFrames; ++i)
        gains[i] = powerCrossfade.getNextValue();

    // Channels beyond the dry copy's two keep the processed signal.
    const auto mixedChannels = juce::jmin ((size_t) 2, block.getNumChannels());

    for (size_t ch = 0; ch < mixedChannels; ++ch)
    {
        auto* out = block.getChannelPointer (ch);
        const auto* dry = dryBlock.getChannelPointer (ch);

        for (int i = 0; i < numFrames; ++i)
            out[i] = dry[i] + gains[i] * (out[i] - dry[i]);
    }
}

void PluginProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    if (buffer.getNumChannels() == 0 || buffer.getNumSamples() == 0)
        return;

    for (int ch = getMainBusNumInputChannels(); ch < getTotalNumOutputChannels() && ch < buffer.getNumChannels(); ++ch)
        if (ch != 0)
            buffer.copyFrom (ch, 0, buffer, 0, 0, buffer.getNumSamples());
}

void PluginProcessor::processAudioBlock (juce::dsp::AudioBlock<float>&, juce::MidiBuffer&)
{
}

//==============================================================================
juce::Array<SettingsPluginInOuts> PluginProcessor::getChannelConfigurations() const
{
    juce::Array<SettingsPluginInOuts> configurations;
    configurations.add ({ 1, 1 });
    configurations.add ({ 1, 2 });
    configurations.add ({ 2, 2 });
    return configurations;
}

void PluginProcessor::parameterChanged (const juce::String& parameterID, float)
{
    if (parameterID != powerID || powerValue == nullptr)
        return;

    pendingPowerTarget.store (powerValue->load() >= 0.5f ? 1.0f : 0.0f, std::memory_order_relaxed);
}

void PluginProcessor::extensionParameterChanged (const juce::String&, const juce::var&)
{
}

void PluginProcessor::prepareToSavePreset()
{
}
} // namespace KA
