#include "ui/presets/ToolBarButton.h"

namespace KA
{
void ToolBarButton::paintButton (juce::Graphics& g, bool highlighted, bool down)
{
    // Only a colour set on the button itself counts, not one inherited from a parent.
    g.setColour (findColour (juce::ComboBox::outlineColourId, false));
    const auto frame = getLocalBounds().toFloat().reduced (0.5f);
    g.drawRoundedRectangle (frame.withSize (juce::jmax (0.0f, frame.getWidth()), juce::jmax (0.0f, frame.getHeight())), 0.0f, 1.0f);

    juce::ShapeButton::paintButton (g, highlighted, down);
}
} // namespace KA
