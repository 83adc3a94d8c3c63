#include "ui/Panel.h"

#include "ui/PluginEditor.h"
#include "ui/ViewFitting.h"

namespace KA
{
Panel::Panel (PluginEditor& e, float proportion)
    : stripProportion (proportion),
      editor (e)
{
    if (stripProportion > 0.0f)
    {
        stripLabel = std::make_unique<juce::Label> (juce::String(), juce::String());
        stripLabel->setColour (juce::Label::backgroundColourId, juce::Colour (0xff000000));
        stripButton = std::make_unique<juce::TextButton> (juce::String());
        addAndMakeVisible (*stripLabel);
        stripLabel->addAndMakeVisible (*stripButton);
        stripButton->addListener (this);
    }
}

Panel::~Panel()
{
    if (stripButton != nullptr)
        stripButton->removeListener (this);
}

void Panel::setView (std::unique_ptr<ImageResizeView> newView)
{
    view = std::move (newView);

    if (view != nullptr)
        addAndMakeVisible (*view);
}

int Panel::getStripHeight() const
{
    return juce::roundToInt (stripProportion * (float) editor.getHeight());
}

void Panel::paint (juce::Graphics& g)
{
    if (! backgroundImage.isValid())
        return;

    const auto imageArea = (float) (getHeight() - getStripHeight());

    if (imageArea <= 0.0f || getWidth() <= 0)
        return;

    g.drawImageTransformed (backgroundImage,
                            juce::AffineTransform::scale ((float) getWidth() / (float) backgroundImage.getWidth(),
                                                          imageArea / (float) backgroundImage.getHeight()));
}

void Panel::resized()
{
    const auto strip = getStripHeight();
    const auto editorWidth = editor.getWidth();

    if (stripLabel != nullptr)
        stripLabel->setBounds (0, getHeight() - strip, editorWidth, strip);

    if (stripButton != nullptr)
    {
        const auto margin = juce::roundToInt ((float) strip * 0.1f);
        stripButton->setBounds (juce::roundToInt ((float) editorWidth * 0.5f) - buttonWidth / 2, margin,
                                buttonWidth, strip - 2 * margin);
    }

    if (view != nullptr)
    {
        const auto w = (float) getWidth();
        const auto h = (float) getHeight();
        fitImageViewInto (*view,
                          { viewInsetX * w, viewInsetY * h, (1.0f - 2.0f * viewInsetX) * w, (1.0f - 2.0f * viewInsetY) * h - (float) strip },
                          viewPlacement);
    }
}

void Panel::buttonClicked (juce::Button* button)
{
    if (button != stripButton.get())
        return;

    editor.panelExpanded = ! editor.panelExpanded;
    editor.resized();
}
} // namespace KA
