#include "shell/MidiInputScanner.h"

#include <gtest/gtest.h>

namespace
{
struct FakeMidiSystem
{
    juce::Array<juce::MidiDeviceInfo> present;
    std::vector<std::pair<juce::String, bool>> switches;

    KA::MidiInputScanner makeScanner()
    {
        return { [this] { return present; },
                 [this] (const juce::String& id, bool enabled) { switches.emplace_back (id, enabled); } };
    }
};

const juce::MidiDeviceInfo keys { "Keys", "hw:1,0" };
const juce::MidiDeviceInfo pads { "Pads", "hw:2,0" };
const juce::MidiDeviceInfo pads3 { "Pads", "hw:3,0" };   // same name, another port
} // namespace

TEST (MidiInputScanner, SwitchesInputsThatComeAndGoAndNothingWhileUnchanged)
{
    using Switches = std::vector<std::pair<juce::String, bool>>;
    FakeMidiSystem midi;
    auto scanner = midi.makeScanner();

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
    for (auto& [present, expected] : steps)
    {
        midi.present = present;
        midi.switches.clear();
        scanner.scan();
        EXPECT_EQ (midi.switches, expected) << present.size();
        EXPECT_EQ (scanner.getLastDevices(), present);
    }
}
