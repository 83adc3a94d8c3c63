#pragma once

#include "ui/controls/ImageRef.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** A switch or LED drawn from a two-state strip: upper half off, lower half on. */
class ToggleButtonEx : public juce::ToggleButton,
                       public ImageRef
{
public:
    ToggleButtonEx() = default;

    /** The image half follows the pressed state instead of the toggle state. */
    bool momentary = false;

    /** Swaps the two halves of the strip. */
    bool inverted = false;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ToggleButtonEx)
};
} // namespace KA
