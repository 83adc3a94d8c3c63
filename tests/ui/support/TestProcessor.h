#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace KA::Test
{
/** The smallest processor with a parameter state the panels can bind to: the
    product's IDs and ranges, no audio. */
class TestProcessor : public juce::AudioProcessor
{
public:
    TestProcessor()
        : parameters (*this, &undoManager, "DRRoreRurediriz", createLayout())
    {
    }

    juce::UndoManager undoManager;
    juce::AudioProcessorValueTreeState parameters;

    static juce::AudioProcessorValueTreeState::ParameterLayout createLayout()
    {
        using Range = juce::NormalisableRange<float>;
        juce::AudioProcessorValueTreeState::ParameterLayout layout;
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "InputTrimmer", 1 }, "Input Trimmer",
                                                                 Range (-15.0f, 15.0f, 0.1f), 0.0f));
        layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "AnalogPower", 1 }, "AnalogPower", false));
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "Level", 1 }, "Level",
                                                                 Range (-120.0f, 12.0f, 0.1f, 7.272543f), 0.0f));
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "50Hz", 1 }, "50 Hz",
                                                                 Range (-15.0f, 15.0f, 0.1f), 0.0f));
        layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "power", 1 }, "Power", true));
        return layout;
    }

    using juce::AudioProcessor::processBlock;

    const juce::String getName() const override { return "Test"; }
    void prepareToPlay (double, int) override {}
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock&) override {}
    void setStateInformation (const void*, int) override {}
};

/** Reads one pixel as ARGB. */
inline juce::uint32 argbAt (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getARGB();
}
} // namespace KA::Test
