#include "shell/MidiInputScanner.h"

namespace KA
{
MidiInputScanner::MidiInputScanner (juce::AudioDeviceManager& deviceManager)
    : MidiInputScanner ([] { return juce::MidiInput::getAvailableDevices(); },
                        [&deviceManager] (const juce::String& identifier, bool enabled)
                        {
                            deviceManager.setMidiInputDeviceEnabled (identifier, enabled);
                        })
{
}

MidiInputScanner::MidiInputScanner (DeviceLister lister, DeviceSwitch deviceSwitch)
    : listDevices (std::move (lister)), switchDevice (std::move (deviceSwitch))
{
}

void MidiInputScanner::scan()
{
    // MidiDeviceInfo compares name and identifier, which is what tells two inputs apart.
    const auto newDevices = listDevices();

    if (newDevices == lastMidiDevices)
        return;

    for (const auto& device : lastMidiDevices)
        if (! newDevices.contains (device))
            switchDevice (device.identifier, false);

    for (const auto& device : newDevices)
        if (! lastMidiDevices.contains (device))
            switchDevice (device.identifier, true);

    lastMidiDevices = newDevices;
}
} // namespace KA
