#include "ui/sidemenu/AboutBox.h"

namespace KA
{
AboutBox::AboutBox (juce::AudioProcessorValueTreeState& parameters, const juce::Image& picture,
                    juce::Colour versionColour, juce::Rectangle<int> versionBounds)
    : pictureView (std::make_unique<ImageResizeView> (parameters))
{
    pictureView->image = picture;
    addAndMakeVisible (*pictureView);
    // A touch on the picture is a touch on the panel.
    pictureView->addMouseListener (this, true);

    versionLabel.setText (version, juce::dontSendNotification);
    addAndMakeVisible (versionLabel);
    versionLabel.setColour (juce::Label::textColourId, versionColour);
    versionLabel.setBounds (versionBounds);
    // The version text is part of the panel for a touch too.
    versionLabel.setInterceptsMouseClicks (false, false);
}

AboutBox::~AboutBox()
{
    pictureView->removeMouseListener (this);
}

void AboutBox::mouseDown (const juce::MouseEvent&)
{
    setVisible (false);
}

void AboutBox::resized()
{
    const auto picture = pictureView->getImageBounds();
    pictureView->setBounds (0, 0, juce::roundToInt (picture.getWidth()), juce::roundToInt (picture.getHeight()));
    pictureView->setTransform (juce::RectanglePlacement (juce::RectanglePlacement::centred)
                                   .getTransformToFit (picture, getLocalBounds().toFloat()));
}
} // namespace KA
