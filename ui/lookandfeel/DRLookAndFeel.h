#pragma once

#include "ui/lookandfeel/PluginLookAndFeel.h"

/** The series look-and-feel: black bubbles and menus with the red highlight. */
class DRLookAndFeel : public KA::PluginLookAndFeel
{
public:
    DRLookAndFeel();

    /** Value bubbles sit left or right of the control, whatever the slider. */
    int getSliderPopupPlacement (juce::Slider&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DRLookAndFeel)
};
