#include "ui/presets/ToolBarParts.h"

#include "engine/GlobalStrings.h"
#include "ui/presets/ToolBarIcons.h"

namespace KA
{
PowerButton::PowerButton()
    : juce::ShapeButton (GlobalStrings::power, juce::Colours::white, juce::Colours::white, juce::Colours::white)
{
    const juce::Colour on (0xff27a7de);
    setOnColours (on, on, on);
    shouldUseOnColours (true);
    setBorderSize (juce::BorderSize<int> (1));
    setShape (ToolBarIcons::forButton (GlobalStrings::power), false, true, true);
    setClickingTogglesState (true);
}

LabelPreset::LabelPreset()
    : juce::Label ({}, {})
{
    setColour (juce::Label::outlineColourId, juce::Colours::white);
    setJustificationType (juce::Justification::centred);
}
} // namespace KA
