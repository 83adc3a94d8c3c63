#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** The bar's power switch: white, light blue while on. */
class PowerButton : public juce::ShapeButton
{
public:
    PowerButton();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PowerButton)
};

/** The preset name on the bar; a press on it opens the preset list. */
class LabelPreset : public juce::Label
{
public:
    LabelPreset();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LabelPreset)
};
} // namespace KA
