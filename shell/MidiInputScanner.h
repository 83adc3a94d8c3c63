#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <functional>

namespace KA
{
/** Keeps every available MIDI input enabled: each scan compares the inputs now present
    with those seen last time, disables the ones that went and enables the ones that
    came. The device list and the switch are functions so the logic can run without
    MIDI hardware. */
class MidiInputScanner
{
public:
    using DeviceLister = std::function<juce::Array<juce::MidiDeviceInfo>()>;
    using DeviceSwitch = std::function<void (const juce::String& identifier, bool enabled)>;

    /** Scans juce::MidiInput's devices and switches them on the given device manager. */
    explicit MidiInputScanner (juce::AudioDeviceManager& deviceManager);

    MidiInputScanner (DeviceLister lister, DeviceSwitch deviceSwitch);

    void scan();

    const juce::Array<juce::MidiDeviceInfo>& getLastDevices() const noexcept { return lastMidiDevices; }

private:
    DeviceLister listDevices;
    DeviceSwitch switchDevice;
    juce::Array<juce::MidiDeviceInfo> lastMidiDevices;

    JUCE_DECLARE_NON_COPYABLE (MidiInputScanner)
};
} // namespace KA
