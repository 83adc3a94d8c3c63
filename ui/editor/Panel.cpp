#include "ui/editor/Panel.h"

#include "ui/editor/ViewFitting.h"

namespace KA
{
Panel::Panel (float stripProportion)
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

void Panel::setStripHeight (int newHeight)
{
    if (newHeight == stripHeight)
        return;

    stripHeight = newHeight;
    resized();
}

void Panel::paint (juce::Graphics& g)
{
    if (! backgroundImage.isValid())
        return;

    const auto imageArea = (float) (getHeight() - stripHeight);

    if (imageArea <= 0.0f || getWidth() <= 0)
        return;

    g.drawImageTransformed (backgroundImage,
                            juce::AffineTransform::scale ((float) getWidth() / (float) backgroundImage.getWidth(),
                                                          imageArea / (float) backgroundImage.getHeight()));
}

void Panel::resized()
{
    const auto strip = stripHeight;
    const auto editorWidth = getWidth();

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

    if (onStripButtonClicked != nullptr)
        onStripButtonClicked();
}
} // namespace KA
