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

TEST (MidiInputScanner, EnablesEveryInputPresentAtTheFirstScanAndNothingMoreWhileUnchanged)
{
    FakeMidiSystem midi;
    midi.present = { keys, pads };
    auto scanner = midi.makeScanner();

    scanner.scan();
    using Switch = std::pair<juce::String, bool>;
    EXPECT_EQ (midi.switches, (std::vector<Switch> { { "hw:1,0", true }, { "hw:2,0", true } }));

    midi.switches.clear();
    scanner.scan();
    scanner.scan();
    EXPECT_TRUE (midi.switches.empty());
}

TEST (MidiInputScanner, FollowsInputsThatComeAndGo)
{
    using Switch = std::pair<juce::String, bool>;
    FakeMidiSystem midi;
    auto scanner = midi.makeScanner();

    scanner.scan();   // nothing there
    EXPECT_TRUE (midi.switches.empty());

    midi.present = { keys };
    scanner.scan();
    EXPECT_EQ (midi.switches, (std::vector<Switch> { { "hw:1,0", true } }));

    // One goes while another arrives: the departed one is switched off first.
    midi.switches.clear();
    midi.present = { pads };
    scanner.scan();
    EXPECT_EQ (midi.switches, (std::vector<Switch> { { "hw:1,0", false }, { "hw:2,0", true } }));

    // Same name, new identifier: a different input.
    midi.switches.clear();
    midi.present = { pads3 };
    scanner.scan();
    EXPECT_EQ (midi.switches, (std::vector<Switch> { { "hw:2,0", false }, { "hw:3,0", true } }));

    midi.switches.clear();
    midi.present = {};
    scanner.scan();
    EXPECT_EQ (midi.switches, (std::vector<Switch> { { "hw:3,0", false } }));
    EXPECT_TRUE (scanner.getLastDevices().isEmpty());
}

TEST (MidiInputScanner, AReorderedListCountsAsChangedButSwitchesNothing)
{
    FakeMidiSystem midi;
    midi.present = { keys, pads };
    auto scanner = midi.makeScanner();
    scanner.scan();
    midi.switches.clear();

    midi.present = { pads, keys };
    scanner.scan();
    EXPECT_TRUE (midi.switches.empty());
    EXPECT_EQ (scanner.getLastDevices(), midi.present);
}
