#include "tests/shell/support/ScaledCopyProcessor.h"

namespace KA::Test
{
ScaledCopyProcessor::ScaledCopyProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    addParameter (gain = new juce::AudioParameterFloat (juce::ParameterID { "gain", 1 }, "Gain", -1.0f, 1.0f, defaultGain));
}

void ScaledCopyProcessor::prepareToPlay (double, int maximumExpectedSamplesPerBlock)
{
    scratch.allocate ((size_t) maximumExpectedSamplesPerBlock, true);
    preparedBlockSize = maximumExpectedSamplesPerBlock;
}

void ScaledCopyProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const auto n = buffer.getNumSamples();
    largestBlock = juce::jmax (largestBlock.load(), n);
    const auto g = gain->get();

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
    {
        juce::FloatVectorOperations::copy (scratch.get(), buffer.getReadPointer (ch), n);
        juce::FloatVectorOperations::copyWithMultiply (buffer.getWritePointer (ch), scratch.get(), g, n);
    }

    ++blocksProcessed;
}

void ScaledCopyProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    juce::XmlElement xml ("SCALEDCOPY");
    xml.setAttribute ("gain", (double) gain->get());
    copyXmlToBinary (xml, destData);
}

void ScaledCopyProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    ++stateCalls;

    if (auto xml = getXmlFromBinary (data, sizeInBytes))
        if (xml->hasTagName ("SCALEDCOPY"))
            *gain = (float) xml->getDoubleAttribute ("gain", defaultGain);
}
} // namespace KA::Test
