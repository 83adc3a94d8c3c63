#include "shell/SettingsComponent.h"

namespace KA
{
StandalonePluginHolder::SettingsComponent::SettingsComponent (StandalonePluginHolder& pluginHolder,
                                                              juce::AudioDeviceManager& deviceManagerToUse,
                                                              int maxAudioInputChannels,
                                                              int maxAudioOutputChannels)
    : owner (pluginHolder),
      deviceSelector (deviceManagerToUse,
                      0, maxAudioInputChannels,
                      0, maxAudioOutputChannels,
                      true,
                      pluginHolder.processor != nullptr && pluginHolder.processor->producesMidi(),
                      true,
                      false),
      shouldMuteLabel ("Feedback Loop:", "Feedback Loop:"),
      shouldMuteButton ("Mute audio input")
{
    setOpaque (true);

    shouldMuteButton.setClickingTogglesState (true);
    shouldMuteButton.getToggleStateValue().referTo (owner.shouldMuteInput);

    addAndMakeVisible (deviceSelector);

    if (owner.processorHasPotentialFeedbackLoop)
    {
        addAndMakeVisible (shouldMuteButton);
        addAndMakeVisible (shouldMuteLabel);
        shouldMuteLabel.attachToComponent (&shouldMuteButton, true);
    }
}

void StandalonePluginHolder::SettingsComponent::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}

void StandalonePluginHolder::SettingsComponent::resized()
{
    auto r = getLocalBounds();

    if (owner.processorHasPotentialFeedbackLoop)
    {
        const auto itemHeight = deviceSelector.getItemHeight();
        const auto width = r.getWidth();
        r.removeFromTop (itemHeight);

        const auto separatorHeight = itemHeight >> 1;
        shouldMuteButton.setBounds ((int) ((float) width * 0.35f), separatorHeight,
                                    (int) ((float) width * 0.6f), itemHeight);

        r.removeFromTop (separatorHeight);
    }

    deviceSelector.setBounds (r);
}
} // namespace KA
