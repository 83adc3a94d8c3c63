#pragma once

#include "engine/SettingsPluginInOuts.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/ManageDialogComponent.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_audio_utils/juce_audio_utils.h>

namespace KA
{
/** The frame of the settings dialog: its panel takes 90 % of the dialog each
    way, centred, whatever the proportions. */
class SettingDialogComponent : public DialogComponent
{
public:
    using DialogComponent::DialogComponent;

    void resized() override;
};

/** The audio device settings, drawn inside the editor: JUCE's device selector
    in a scrolling view of a framed panel whose "Ok" only hides the dialog. */
class SettingAudioDialog : public juce::Component,
                           public ManageDialogComponent
{
public:
    SettingAudioDialog();
    ~SettingAudioDialog() override;

    struct ChannelLimits
    {
        int minInputs, maxInputs, minOutputs, maxOutputs;
    };

    /** What the selector offers: the first configuration widened to the
        processor's default main buses. */
    static ChannelLimits getChannelLimits (const juce::Array<SettingsPluginInOuts>& channels,
                                           const juce::AudioProcessor* processor);

    /** Builds the contents on the device manager, which must outlive this dialog. */
    void init (juce::AudioDeviceManager& deviceManager,
               const juce::Array<SettingsPluginInOuts>& channels,
               const juce::AudioProcessor* processor);

    void lookAndFeelChanged() override;
    void resized() override;

    juce::AudioDeviceSelectorComponent* getDeviceSelector() const noexcept { return deviceSelector.get(); }
    SettingDialogComponent* getFrame() const noexcept { return frame.get(); }
    juce::Viewport* getViewport() const noexcept { return viewport; }

private:
    juce::Viewport* viewport = nullptr; // the frame's content
    std::unique_ptr<SettingDialogComponent> frame;

    // Declared last so that it goes first: it listens to the device manager
    // and sits in the viewport.
    std::unique_ptr<juce::AudioDeviceSelectorComponent> deviceSelector;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SettingAudioDialog)
};
} // namespace KA
