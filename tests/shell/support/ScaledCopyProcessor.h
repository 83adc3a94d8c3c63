#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

namespace KA::Test
{
/** Stereo in and out (or any layout the player asks for), output = gain x input. Like a real processor it keeps a scratch
    copy sized by prepareToPlay, so a block longer than announced overruns it (and the
    sanitizer says so). Its "gain" parameter travels in its state. */
class ScaledCopyProcessor : public juce::AudioProcessor
{
public:
    static constexpr float defaultGain = -0.5f;

    ScaledCopyProcessor();

    const juce::String getName() const override { return "ScaledCopy"; }
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override {}
    using juce::AudioProcessor::processBlock;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&) override;

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool hasEditor() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    juce::AudioParameterFloat* gain = nullptr;
    std::atomic<int> preparedBlockSize { 0 }, largestBlock { 0 }, blocksProcessed { 0 }, stateCalls { 0 };

private:
    juce::HeapBlock<float> scratch;
};
} // namespace KA::Test
