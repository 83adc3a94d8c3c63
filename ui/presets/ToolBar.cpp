#include "ui/presets/ToolBar.h"

namespace KA
{
ToolBar::ToolBar (PluginProcessor& p, PluginEditor& e)
    : juce::Label ({}, {}),
      processor (&p),
      editor (&e)
{
}

void ToolBar::buildToolBar()
{
    setColour (juce::Label::backgroundColourId, juce::Colour (0xff000000));
}
} // namespace KA
