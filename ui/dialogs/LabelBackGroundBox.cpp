#include "ui/dialogs/LabelBackGroundBox.h"

namespace KA
{
LabelBackGroundBox::LabelBackGroundBox()
    : juce::Label ({}, {})
{
}

void LabelBackGroundBox::lookAndFeelChanged()
{
    auto& lf = getLookAndFeel();
    const auto base = lf.isColourSpecified (juce::ResizableWindow::backgroundColourId)
                          ? lf.findColour (juce::ResizableWindow::backgroundColourId)
                          : juce::Colours::black;

    const auto alpha = juce::roundToInt ((float) base.getAlpha() * backdropOpacity);
    setColour (juce::Label::backgroundColourId, base.withAlpha ((juce::uint8) juce::jlimit (0, 255, alpha)));
}
} // namespace KA
