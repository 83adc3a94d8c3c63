#pragma once

#include "shell/StandalonePluginHolder.h"
#include "engine/AudioDeviceHost.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** The application's one window: full screen with no visible title bar, owning the
    plug-in holder and a content component that shows the processor's editor under a
    notification bar while the input is muted. */
class StandaloneFilterWindow : public juce::DocumentWindow,
                               public AudioDeviceHost,
                               private juce::Button::Listener
{
public:
    class MainContentComponent;

    StandaloneFilterWindow (const juce::String& title,
                            juce::Colour backgroundColour,
                            juce::PropertySet* settingsToUse,
                            bool takeOwnershipOfSettings,
                            const juce::String& preferredDefaultDeviceName = {},
                            const juce::AudioDeviceManager::AudioDeviceSetup* preferredSetupOptions = nullptr,
                            const juce::Array<SettingsPluginInOuts>& constrainToConfiguration = {},
                            bool autoOpenMidiDevices = true,
                            StandalonePluginHolder::ProcessorFactory factory = createPluginFilter);

    ~StandaloneFilterWindow() override;

    void resized() override;
    void closeButtonPressed() override;

    StandalonePluginHolder* getPluginHolder() const noexcept { return pluginHolder.get(); }

    // What the editor's audio settings work on: the holder's.
    juce::AudioDeviceManager& getHostDeviceManager() override { return pluginHolder->deviceManager; }
    juce::Array<SettingsPluginInOuts> getHostChannelConfiguration() const override { return pluginHolder->channelConfiguration; }
    const juce::AudioProcessor* getHostProcessor() const override { return pluginHolder->processor.get(); }
    MainContentComponent* getMainContent() const;

    static void menuCallback (int result, StandaloneFilterWindow* window);
    void resetToDefaultState();

private:
    void buttonClicked (juce::Button*) override;

    std::unique_ptr<juce::PropertySet> ownedSettings;
    juce::TextButton optionsButton { "Options" };
    std::unique_ptr<StandalonePluginHolder> pluginHolder;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StandaloneFilterWindow)
};
} // namespace KA
