#include "ui/dialogs/LabelBackGroundBox.h"

namespace KA
{
LabelBackGroundBox::LabelBackGroundBox()
    : juce::Label ({}, {})
{
}

juce::Colour LabelBackGroundBox::backdropColour (juce::LookAndFeel& lf)
{
    const auto base = lf.isColourSpecified (juce::ResizableWindow::backgroundColourId)
                          ? lf.findColour (juce::ResizableWindow::backgroundColourId)
                          : juce::Colours::black;

    const auto alpha = juce::roundToInt ((float) base.getAlpha() * backdropOpacity);
    return base.withAlpha ((juce::uint8) juce::jlimit (0, 255, alpha));
}

void LabelBackGroundBox::lookAndFeelChanged()
{
    setColour (juce::Label::backgroundColourId, backdropColour (getLookAndFeel()));
}
} // namespace KA
