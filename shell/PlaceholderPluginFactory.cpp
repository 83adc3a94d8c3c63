// TEMPORARY: stands in for the product processor so the application builds and runs
// before it exists. Delete this file when the product's createPluginFilter lands.

#include "engine/PluginFactory.h"

namespace KA
{
namespace
{
    /** Stereo in, stereo out, two gains in dB, state kept in the product's tree format
        (root "DRRoreRurediriz", "PARAM" children) so stored states carry over. */
    class PlaceholderProcessor : public juce::AudioProcessor
    {
    public:
        PlaceholderProcessor()
            : juce::AudioProcessor (BusesProperties()
                                        .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                        .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
              parameters (*this, nullptr, "DRRoreRurediriz", createLayout())
        {
            inputTrim = parameters.getRawParameterValue ("InputTrimmer");
            level = parameters.getRawParameterValue ("Level");
        }

        const juce::String getName() const override { return "KA Dravon Rore Rurediriz"; }
        void prepareToPlay (double, int) override {}
        using juce::AudioProcessor::processBlock;
        void releaseResources() override {}

        void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&) override
        {
            const auto gain = juce::Decibels::decibelsToGain (inputTrim->load() + level->load(), -100.0f);

            for (int ch = getTotalNumInputChannels(); ch < buffer.getNumChannels(); ++ch)
                buffer.clear (ch, 0, buffer.getNumSamples());

            buffer.applyGain (gain);
        }

        bool isBusesLayoutSupported (const BusesLayout& layouts) const override
        {
            const auto out = layouts.getMainOutputChannelSet();
            const auto in = layouts.getMainInputChannelSet();
            return (out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo())
                && in.size() <= out.size() && ! in.isDisabled();
        }

        double getTailLengthSeconds() const override { return 0.0; }
        bool acceptsMidi() const override { return false; }
        bool producesMidi() const override { return false; }
        bool hasEditor() const override { return false; }
        juce::AudioProcessorEditor* createEditor() override { return nullptr; }

        int getNumPrograms() override { return 1; }
        int getCurrentProgram() override { return 0; }
        void setCurrentProgram (int) override {}
        const juce::String getProgramName (int) override { return "Default"; }
        void changeProgramName (int, const juce::String&) override {}

        void getStateInformation (juce::MemoryBlock& destData) override
        {
            if (auto xml = parameters.copyState().createXml())
                copyXmlToBinary (*xml, destData);
        }

        void setStateInformation (const void* data, int sizeInBytes) override
        {
            if (auto xml = getXmlFromBinary (data, sizeInBytes))
                if (xml->getTagName().equalsIgnoreCase ("DRRoreRurediriz"))
                    parameters.replaceState (juce::ValueTree::fromXml (*xml));
        }

    private:
        static juce::AudioProcessorValueTreeState::ParameterLayout createLayout()
        {
            return { std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "InputTrimmer", 1 }, "Input Trimmer",
                                                                  juce::NormalisableRange<float> (-15.0f, 15.0f, 0.1f), 0.0f),
                     std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "Level", 1 }, "Level",
                                                                  juce::NormalisableRange<float> (-120.0f, 12.0f, 0.1f, 7.272543f), 0.0f) };
        }

        juce::AudioProcessorValueTreeState parameters;
        std::atomic<float>* inputTrim = nullptr;
        std::atomic<float>* level = nullptr;
    };
} // namespace

juce::AudioProcessor* createPluginFilter()
{
    return new PlaceholderProcessor();
}
} // namespace KA
