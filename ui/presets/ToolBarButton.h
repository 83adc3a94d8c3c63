#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** A toolbar icon button: its shape inside a one-pixel square frame drawn in
    the button's own outline colour. */
class ToolBarButton : public juce::ShapeButton
{
public:
    using juce::ShapeButton::ShapeButton;

    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ToolBarButton)
};
} // namespace KA
