#include "shell/MidiInputScanner.h"

#include <gtest/gtest.h>

TEST (MidiInputScanner, SwitchesInputsThatComeAndGoAndNothingWhileUnchanged)
{
    using Switches = std::vector<std::pair<juce::String, bool>>;
    const juce::MidiDeviceInfo keys { "Keys", "hw:1,0" }, pads { "Pads", "hw:2,0" }, pads3 { "Pads", "hw:3,0" };
    juce::Array<juce::MidiDeviceInfo> present;
    Switches switches;
    KA::MidiInputScanner scanner ([&] { return present; }, [&] (const juce::String& id, bool on) { switches.emplace_back (id, on); });

    // Each step: the inputs present, then the switches one scan makes. A departed input
    // goes off before a new one comes on; the same name with a new identifier is another
    // input; a reordered list switches nothing.
    const std::pair<juce::Array<juce::MidiDeviceInfo>, Switches> steps[] = {
        { {}, {} },
        { { keys, pads }, { { "hw:1,0", true }, { "hw:2,0", true } } },
        { { keys, pads }, {} },
        { { pads, keys }, {} },
        { { pads }, { { "hw:1,0", false } } },
        { { pads3 }, { { "hw:2,0", false }, { "hw:3,0", true } } },
        { { keys }, { { "hw:3,0", false }, { "hw:1,0", true } } },
        { {}, { { "hw:1,0", false } } },
    };
    for (auto& [devices, expected] : steps)
    {
        present = devices;
        switches.clear();
        scanner.scan();
        EXPECT_EQ (switches, expected) << devices.size();
        EXPECT_EQ (scanner.getLastDevices(), devices);
    }
}
