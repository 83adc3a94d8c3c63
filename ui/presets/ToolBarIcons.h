#pragma once

#include <juce_graphics/juce_graphics.h>

namespace KA::ToolBarIcons
{
/** The icon of a toolbar button, by the button's name ("+", "-", "Delete",
    "Save As", "Save", "?", "<", ">", "A", "=>", "B", "Power"); an empty path for
    any other name. Holes in a shape are cut by the even-odd rule. */
juce::Path forButton (const juce::String& buttonName);

/** The names of every button that has an icon, in the bar's creation order. */
const juce::StringArray& buttonNames();
} // namespace KA::ToolBarIcons
