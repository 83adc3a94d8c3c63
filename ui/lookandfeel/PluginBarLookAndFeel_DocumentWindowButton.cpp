#include "ui/lookandfeel/PluginBarLookAndFeel_DocumentWindowButton.h"

namespace KA
{
PluginBarLookAndFeel_DocumentWindowButton::PluginBarLookAndFeel_DocumentWindowButton (
    const juce::String& name, juce::Colour c, const juce::Path& normal, const juce::Path& toggled)
    : juce::Button (name), colour (c), normalShape (normal), toggledShape (toggled)
{
}

void PluginBarLookAndFeel_DocumentWindowButton::paintButton (juce::Graphics& g, bool isHighlighted, bool isDown)
{
    auto background = juce::Colour (0xff808080);

    if (auto* window = findParentComponentOfClass<juce::ResizableWindow>())
        if (auto* lf = dynamic_cast<juce::LookAndFeel_V4*> (&window->getLookAndFeel()))
            background = lf->getCurrentColourScheme().getUIColour (juce::LookAndFeel_V4::ColourScheme::widgetBackground);

    g.fillAll (background);

    // isEnabled() is false as soon as any parent is disabled.
    g.setColour ((! isEnabled() || isDown) ? colour.withAlpha (0.6f) : colour);

    if (isHighlighted)
    {
        g.fillAll();
        g.setColour (background);
    }

    const auto& shape = getToggleState() ? toggledShape : normalShape;

    if (shape.isEmpty())
        return;

    const auto side = getHeight();
    auto square = juce::Rectangle<int> (side, side).withCentre (getLocalBounds().getCentre()).toFloat();
    square = square.reduced ((float) side * 0.3f);
    g.fillPath (shape, shape.getTransformToScaleToFit (square, true));
}
} // namespace KA
