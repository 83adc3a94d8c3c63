#pragma once

#include "engine/SettingsPluginInOuts.h"
#include "engine/StandaloneFlag.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_processors/juce_audio_processors.h>

namespace KA
{
/** A window of the standalone application that runs the processor on an audio
    device. The side menu's audio settings look for it among the desktop's
    windows, so the user interface reaches the device without knowing the shell
    that implements this. */
class AudioDeviceHost
{
public:
    virtual ~AudioDeviceHost() = default;

    virtual juce::AudioDeviceManager& getHostDeviceManager() = 0;

    /** The (inputs, outputs) pairs the processor supports; the first sizes the device. */
    virtual juce::Array<SettingsPluginInOuts> getHostChannelConfiguration() const = 0;

    /** Null between the processor's deletion and its replacement. */
    virtual const juce::AudioProcessor* getHostProcessor() const = 0;

    /** The first such window on the desktop, and only inside the standalone
        application; null otherwise. */
    static AudioDeviceHost* find() { return StandaloneFlag::findWindow<AudioDeviceHost>(); }
};
} // namespace KA
