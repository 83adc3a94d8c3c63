#pragma once

#include "app/PluginFactory.h"
#include "engine/SettingsPluginInOuts.h"
#include "shell/MidiInputScanner.h"

#include <juce_audio_utils/juce_audio_utils.h>

#include <atomic>
#include <functional>
#include <memory>

namespace KA
{
/** Connects the processor to the audio device: owns the processor, the device manager
    and the player, restores and saves the device setup ("audioSetup") and the plug-in
    state ("filterState"), mutes the device input against feedback until the user
    unmutes it, and keeps every MIDI input enabled. */
class StandalonePluginHolder : private juce::AudioIODeviceCallback,
                               private juce::Timer,
                               private juce::Value::Listener
{
public:
    using ProcessorFactory = std::function<juce::AudioProcessor*()>;

    class SettingsComponent;

    StandalonePluginHolder (juce::PropertySet* settingsToUse,
                            const juce::String& preferredDefaultDeviceName = {},
                            const juce::AudioDeviceManager::AudioDeviceSetup* preferredSetupOptions = nullptr,
                            const juce::Array<SettingsPluginInOuts>& channels = {},
                            bool shouldAutoOpenMidiDevices = true,
                            ProcessorFactory factory = createPluginFilter);

    ~StandalonePluginHolder() override;

    //==============================================================================
    void init (bool enableAudioInput, const juce::String& preferredDefaultDeviceName);
    void createPlugin();
    void deletePlugin();
    void startPlaying();
    void stopPlaying();

    void setupAudioDevices (bool enableAudioInput, const juce::String& preferredDefaultDeviceName,
                            const juce::AudioDeviceManager::AudioDeviceSetup* preferredSetupOptions);
    void reloadAudioDeviceState (bool enableAudioInput, const juce::String& preferredDefaultDeviceName,
                                 const juce::AudioDeviceManager::AudioDeviceSetup* preferredSetupOptions);
    void reloadPluginState();
    void savePluginState();
    void saveAudioDeviceState();
    void shutDownAudioDevices();

    void showAudioSettingsDialog();
    juce::Value& getMuteInputValue() noexcept        { return shouldMuteInput; }
    bool getProcessorHasPotentialFeedbackLoop() const noexcept { return processorHasPotentialFeedbackLoop; }

    /** Always false: there is no inter-application audio on this platform. */
    bool isInterAppAudioConnected() const noexcept   { return false; }

    /** The holder of the application's window, or null outside the standalone application. */
    static StandalonePluginHolder* getInstance();

    //==============================================================================
    juce::PropertySet* settings = nullptr;
    std::unique_ptr<juce::AudioProcessor> processor;
    juce::AudioDeviceManager deviceManager;
    juce::AudioProcessorPlayer player;
    juce::Array<SettingsPluginInOuts> channelConfiguration;

    bool processorHasPotentialFeedbackLoop = true;
    std::atomic<bool> muteInput { true };
    juce::Value shouldMuteInput;
    juce::AudioBuffer<float> emptyBuffer;
    bool autoOpenMidiDevices = true;
    std::unique_ptr<juce::AudioDeviceManager::AudioDeviceSetup> options;

    static constexpr const char* audioSetupKey = "audioSetup";
    static constexpr const char* filterStateKey = "filterState";

private:
    void audioDeviceIOCallbackWithContext (const float* const* inputChannelData, int numInputChannels,
                                           float* const* outputChannelData, int numOutputChannels,
                                           int numSamples, const juce::AudioIODeviceCallbackContext& context) override;
    void audioDeviceAboutToStart (juce::AudioIODevice* device) override;
    void audioDeviceStopped() override;
    void timerCallback() override;
    void valueChanged (juce::Value& value) override;

    SettingsPluginInOuts getMainChannelCounts() const;
    SettingsPluginInOuts getDeviceChannelCounts() const;

    juce::Array<SettingsPluginInOuts> requestedChannelConfiguration;
    ProcessorFactory processorFactory;
    MidiInputScanner midiScanner { deviceManager };

    // Sized when the device starts. A device may deliver longer blocks than it announced
    // (JACK can change its buffer size while running), so the callback hands the player
    // pieces of at most preparedBlockSize samples, offsetting these channel pointers.
    int preparedBlockSize = 0;
    juce::HeapBlock<const float*> chunkInputs;
    juce::HeapBlock<float*> chunkOutputs;
    int chunkInputCapacity = 0, chunkOutputCapacity = 0;

    // The settings dialog is a desktop window that refers to deviceManager, so it must go first.
    juce::Component::SafePointer<juce::DialogWindow> settingsDialog;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StandalonePluginHolder)
};
} // namespace KA
