#include "shell/StandalonePluginHolder.h"

#include "shell/PluginStateEncoding.h"
#include "shell/SettingsComponent.h"
#include "shell/StandaloneFilterWindow.h"
#include "engine/StandaloneFlag.h"

#include "engine/PluginProcessor.h"
#include "engine/xml/GuardedXml.h"

namespace KA
{
StandalonePluginHolder::StandalonePluginHolder (juce::PropertySet* settingsToUse,
                                                const juce::String& preferredDefaultDeviceName,
                                                const juce::AudioDeviceManager::AudioDeviceSetup* preferredSetupOptions,
                                                const juce::Array<SettingsPluginInOuts>& channels,
                                                bool shouldAutoOpenMidiDevices,
                                                ProcessorFactory factory)
    : settings (settingsToUse),
      autoOpenMidiDevices (shouldAutoOpenMidiDevices),
      requestedChannelConfiguration (channels),
      processorFactory (std::move (factory))
{
    if (preferredSetupOptions != nullptr)
        options = std::make_unique<juce::AudioDeviceManager::AudioDeviceSetup> (*preferredSetupOptions);

    // The input starts muted at every launch; the mute state is never stored.
    shouldMuteInput.addListener (this);
    shouldMuteInput = ! isInterAppAudioConnected();

    createPlugin();

    const auto inChannels = channelConfiguration.isEmpty()
                                ? (processor != nullptr ? processor->getMainBusNumInputChannels() : 0)
                                : (int) channelConfiguration.getReference (0).numIns;

    init (inChannels > 0, preferredDefaultDeviceName);
}

StandalonePluginHolder::~StandalonePluginHolder()
{
    // An open settings dialog listens to deviceManager; it must not outlive it.
    if (auto* dialog = settingsDialog.getComponent())
        delete dialog;

    stopTimer();
    deletePlugin();
    shutDownAudioDevices();
    shouldMuteInput.removeListener (this);
}

//==============================================================================
void StandalonePluginHolder::init (bool enableAudioInput, const juce::String& preferredDefaultDeviceName)
{
    setupAudioDevices (enableAudioInput, preferredDefaultDeviceName, options.get());
    reloadPluginState();
    startPlaying();

    if (autoOpenMidiDevices)
        startTimer (500);
}

void StandalonePluginHolder::createPlugin()
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Standalone);
    std::unique_ptr<juce::AudioProcessor> created (processorFactory != nullptr ? processorFactory() : nullptr);
    std::swap (processor, created);
    created.reset();
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);

    // Refilled rather than appended to, so a rebuilt processor does not list its
    // configurations twice.
    channelConfiguration = requestedChannelConfiguration;

    if (processor == nullptr)
        return;

    processor->disableNonMainBuses();
    processor->setRateAndBufferSizeDetails (44100.0, 512);

    if (auto* ours = dynamic_cast<PluginProcessor*> (processor.get()))
        channelConfiguration.addArray (ours->getChannelConfigurations());

    const auto counts = getMainChannelCounts();
    processorHasPotentialFeedbackLoop = counts.numIns > 0 && counts.numOuts > 0;
}

void StandalonePluginHolder::deletePlugin()
{
    stopPlaying();
    processor = nullptr;
}

void StandalonePluginHolder::startPlaying()
{
    player.setProcessor (processor.get());
}

void StandalonePluginHolder::stopPlaying()
{
    player.setProcessor (nullptr);
}

SettingsPluginInOuts StandalonePluginHolder::getMainChannelCounts() const
{
    if (! channelConfiguration.isEmpty())
        return channelConfiguration.getReference (0);

    if (processor == nullptr)
        return {};

    return { (int16_t) processor->getMainBusNumInputChannels(),
             (int16_t) processor->getMainBusNumOutputChannels() };
}

SettingsPluginInOuts StandalonePluginHolder::getDeviceChannelCounts() const
{
    // Entry 0 has one output, which on a desktop is the left speaker alone. Where the list
    // also offers entry 0's inputs with two outputs, the device is asked for two: a device
    // that has only one opens with that one, and the player then runs the processor with
    // the outputs the device really has.
    const auto counts = getMainChannelCounts();

    if (counts.numOuts < 2)
        for (const auto& configuration : channelConfiguration)
            if (configuration.numIns == counts.numIns && configuration.numOuts == 2)
                return configuration;

    return counts;
}

//==============================================================================
void StandalonePluginHolder::setupAudioDevices (bool enableAudioInput, const juce::String& preferredDefaultDeviceName,
                                                const juce::AudioDeviceManager::AudioDeviceSetup* preferredSetupOptions)
{
    deviceManager.addAudioCallback (this);
    deviceManager.addMidiInputDeviceCallback ({}, &player);

    reloadAudioDeviceState (enableAudioInput, preferredDefaultDeviceName, preferredSetupOptions);
}

void StandalonePluginHolder::reloadAudioDeviceState (bool enableAudioInput, const juce::String& preferredDefaultDeviceName,
                                                     const juce::AudioDeviceManager::AudioDeviceSetup* preferredSetupOptions)
{
    std::unique_ptr<juce::XmlElement> savedState;

    if (settings != nullptr)
        savedState = GuardedXml::parse (settings->getValue (audioSetupKey), GuardedXml::Shape::deviceSetup);

    const auto counts = getDeviceChannelCounts();

    // A setup that names a device that is gone falls back to the default device; the
    // error text is of no use to anyone here.
    deviceManager.initialise (enableAudioInput ? counts.numIns : 0,
                              counts.numOuts,
                              savedState.get(),
                              true,
                              preferredDefaultDeviceName,
                              preferredSetupOptions);
}

void StandalonePluginHolder::reloadPluginState()
{
    if (settings == nullptr || processor == nullptr)
        return;

    juce::MemoryBlock data;

    if (PluginStateEncoding::decode (settings->getValue (filterStateKey), data))
        processor->setStateInformation (data.getData(), (int) data.getSize());
}

void StandalonePluginHolder::savePluginState()
{
    if (settings == nullptr || processor == nullptr)
        return;

    juce::MemoryBlock data;
    processor->getStateInformation (data);
    settings->setValue (filterStateKey, PluginStateEncoding::encode (data));
}

void StandalonePluginHolder::saveAudioDeviceState()
{
    if (settings == nullptr)
        return;

    const auto xml = deviceManager.createStateXml();
    settings->setValue (audioSetupKey,
                        xml != nullptr ? xml->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader())
                                       : juce::String());
}

void StandalonePluginHolder::shutDownAudioDevices()
{
    saveAudioDeviceState();

    deviceManager.removeMidiInputDeviceCallback ({}, &player);
    deviceManager.removeAudioCallback (this);
}

//==============================================================================
void StandalonePluginHolder::showAudioSettingsDialog()
{
    int maxNumInputs = 0, maxNumOutputs = 0;

    if (! channelConfiguration.isEmpty())
    {
        maxNumInputs = juce::jmax (0, (int) channelConfiguration.getReference (0).numIns);
        maxNumOutputs = juce::jmax (0, (int) channelConfiguration.getReference (0).numOuts);
    }

    if (processor != nullptr)
    {
        if (auto* bus = processor->getBus (true, 0))
            maxNumInputs = juce::jmax (0, bus->getDefaultLayout().size());

        if (auto* bus = processor->getBus (false, 0))
            maxNumOutputs = juce::jmax (0, bus->getDefaultLayout().size());
    }

    // Only one dialog at a time refers to the device manager.
    if (auto* previous = settingsDialog.getComponent())
        delete previous;

    auto content = std::make_unique<SettingsComponent> (*this, deviceManager, maxNumInputs, maxNumOutputs);
    content->setSize (500, 550);

    juce::DialogWindow::LaunchOptions launch;
    launch.dialogBackgroundColour = content->getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId);
    launch.content.setOwned (content.release());
    launch.dialogTitle = TRANS ("Audio/MIDI Settings");
    launch.escapeKeyTriggersCloseButton = true;
    launch.useNativeTitleBar = true;
    launch.resizable = false;

    settingsDialog = launch.launchAsync();
}

StandalonePluginHolder* StandalonePluginHolder::getInstance()
{
    auto* window = StandaloneFlag::findWindow<StandaloneFilterWindow>();
    return window != nullptr ? window->getPluginHolder() : nullptr;
}

//==============================================================================
void StandalonePluginHolder::audioDeviceIOCallbackWithContext (const float* const* inputChannelData, int numInputChannels,
                                                               float* const* outputChannelData, int numOutputChannels,
                                                               int numSamples, const juce::AudioIODeviceCallbackContext& context)
{
    const auto numOutputs = juce::jmin (numOutputChannels, chunkOutputCapacity);

    for (int ch = numOutputs; ch < numOutputChannels; ++ch)
        juce::FloatVectorOperations::clear (outputChannelData[ch], numSamples);

    if (preparedBlockSize <= 0)
    {
        for (int ch = 0; ch < numOutputs; ++ch)
            juce::FloatVectorOperations::clear (outputChannelData[ch], numSamples);

        return;
    }

    const bool muted = muteInput.load();

    if (muted)
        emptyBuffer.clear();   // zeroes only when something wrote into it

    const auto numSilentChannels = emptyBuffer.getNumChannels();
    const auto numInputs = (muted && numSilentChannels == 0) ? 0 : juce::jmin (numInputChannels, chunkInputCapacity);

    for (int start = 0; start < numSamples; start += preparedBlockSize)
    {
        const auto length = juce::jmin (preparedBlockSize, numSamples - start);

        for (int ch = 0; ch < numInputs; ++ch)
            chunkInputs[ch] = muted ? emptyBuffer.getReadPointer (juce::jmin (ch, numSilentChannels - 1))
                                    : inputChannelData[ch] + start;

        for (int ch = 0; ch < numOutputs; ++ch)
            chunkOutputs[ch] = outputChannelData[ch] + start;

        player.audioDeviceIOCallbackWithContext (chunkInputs.getData(), numInputs,
                                                 chunkOutputs.getData(), numOutputs,
                                                 length, context);
    }
}

void StandalonePluginHolder::audioDeviceAboutToStart (juce::AudioIODevice* device)
{
    const auto numInputs = device->getActiveInputChannels().countNumberOfSetBits();
    const auto numOutputs = device->getActiveOutputChannels().countNumberOfSetBits();
    const auto announcedSize = juce::jmax (0, device->getCurrentBufferSizeSamples());

    emptyBuffer.setSize (numInputs, announcedSize, false, false, false);
    emptyBuffer.setNotClear();
    emptyBuffer.clear();

    chunkInputCapacity = juce::jmax (numInputs, device->getInputChannelNames().size());
    chunkOutputCapacity = juce::jmax (numOutputs, device->getOutputChannelNames().size());
    chunkInputs.allocate ((size_t) juce::jmax (1, chunkInputCapacity), true);
    chunkOutputs.allocate ((size_t) juce::jmax (1, chunkOutputCapacity), true);

    player.audioDeviceAboutToStart (device);
    player.setMidiOutput (deviceManager.getDefaultMidiOutput());

    // The player asked the device for its size on its own; should the size have moved
    // in between, the smaller one is safe for both.
    preparedBlockSize = juce::jmin (announcedSize, juce::jmax (0, device->getCurrentBufferSizeSamples()));
}

void StandalonePluginHolder::audioDeviceStopped()
{
    player.setMidiOutput (nullptr);
    player.audioDeviceStopped();
    emptyBuffer.setSize (0, 0);
    preparedBlockSize = 0;
}

void StandalonePluginHolder::timerCallback()
{
    midiScanner.scan();
}

void StandalonePluginHolder::valueChanged (juce::Value& value)
{
    muteInput = (bool) value.getValue();
}
} // namespace KA
