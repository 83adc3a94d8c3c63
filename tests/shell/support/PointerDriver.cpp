#include "tests/shell/support/PointerDriver.h"

#include "shell/NotificationArea.h"

namespace KA::Test
{
juce::String xdotool (const juce::StringArray& args)
{
    juce::ChildProcess p;
    juce::StringArray command { "xdotool" };
    command.addArray (args);
    return p.start (command) ? p.readAllProcessOutput() : juce::String ("failed");
}

EditorOnScreen EditorOnScreen::locate (unsigned long window)
{
    juce::StringPairArray g;
    for (auto line : juce::StringArray::fromLines (xdotool ({ "getwindowgeometry", "--shell", juce::String ((juce::int64) window) })))
        g.set (line.upToFirstOccurrenceOf ("=", false, false), line.fromFirstOccurrenceOf ("=", false, false));

    const auto notice = StandaloneFilterWindow::MainContentComponent::NotificationArea::height;
    return { g["X"].getIntValue(), g["Y"].getIntValue() + notice, g["WIDTH"].getIntValue(), g["HEIGHT"].getIntValue() - notice };
}

void PointerDriver::settle()
{
    for (int i = 0; i < 4; ++i)
    {
        juce::Thread::sleep (100);
        x.sendIgnoredMessage (window);
    }
}

void PointerDriver::clickAt (juce::Point<int> p)
{
    // Moved there first: a component that appeared under a still pointer (a menu opened by the
    // last click) learns where the pointer is from the move.
    xdotool ({ "mousemove", juce::String (p.x), juce::String (p.y) });
    settle();
    xdotool ({ "click", "1" });
    settle();
}
} // namespace KA::Test
