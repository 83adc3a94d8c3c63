#pragma once

#include "shell/StandalonePluginHolder.h"

namespace KA
{
/** The audio settings page: JUCE's device selector and, when the processor could feed
    its output back into its input, the switch for the holder's one mute value. */
class StandalonePluginHolder::SettingsComponent : public juce::Component
{
public:
    SettingsComponent (StandalonePluginHolder& pluginHolder, juce::AudioDeviceManager& deviceManagerToUse,
                       int maxAudioInputChannels, int maxAudioOutputChannels);

    void paint (juce::Graphics& g) override;
    void resized() override;

    juce::AudioDeviceSelectorComponent& getDeviceSelector() noexcept { return deviceSelector; }
    juce::ToggleButton& getMuteButton() noexcept                      { return shouldMuteButton; }

private:
    StandalonePluginHolder& owner;
    juce::AudioDeviceSelectorComponent deviceSelector;
    juce::Label shouldMuteLabel;
    juce::ToggleButton shouldMuteButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SettingsComponent)
};
} // namespace KA
