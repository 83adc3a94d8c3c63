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

    // Like the product, a mono input feeds every output: last channel first, so the
    // input is read before its own channel is overwritten.
    const auto lastInput = juce::jmax (0, getTotalNumInputChannels() - 1);

    for (int ch = buffer.getNumChannels(); --ch >= 0;)
    {
        juce::FloatVectorOperations::copy (scratch.get(), buffer.getReadPointer (juce::jmin (ch, lastInput)), n);
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
