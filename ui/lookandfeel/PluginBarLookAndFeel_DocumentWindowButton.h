#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** A title-bar button drawn from a shape, a second shape while toggled on. */
class PluginBarLookAndFeel_DocumentWindowButton : public juce::Button
{
public:
    PluginBarLookAndFeel_DocumentWindowButton (const juce::String& name, juce::Colour colour,
                                               const juce::Path& normalShape, const juce::Path& toggledShape);

    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    juce::Colour colour;
    juce::Path normalShape, toggledShape;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginBarLookAndFeel_DocumentWindowButton)
};
} // namespace KA
