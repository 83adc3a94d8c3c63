#include "ui/lookandfeel/DRLookAndFeel.h"

DRLookAndFeel::DRLookAndFeel()
{
    setColour (juce::TooltipWindow::textColourId, juce::Colour (0xffffffff));
    setColour (juce::BubbleComponent::backgroundColourId, juce::Colour (0xff000000));
    setColour (juce::BubbleComponent::outlineColourId, juce::Colour (0xffffffff));
    setColour (juce::PopupMenu::backgroundColourId, juce::Colour (0xff000000));
    setColour (juce::PopupMenu::textColourId, juce::Colour (0xffffffff));
    setColour (juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (0xffff2f2f));
    setColour (juce::PopupMenu::highlightedTextColourId, juce::Colour (0xff000000));
    setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xff303030));
}

int DRLookAndFeel::getSliderPopupPlacement (juce::Slider&)
{
    return juce::BubbleComponent::left | juce::BubbleComponent::right;
}
