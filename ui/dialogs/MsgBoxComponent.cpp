#include "ui/dialogs/MsgBoxComponent.h"

#include "BinaryData.h"

namespace KA
{
MsgBoxComponent::MsgBoxComponent (const juce::String& message, int type)
    : iconType (type)
{
    icons[0] = juce::Drawable::createFromImageData (BinaryData::stop_hand_svg, (size_t) BinaryData::stop_hand_svgSize);
    icons[1] = juce::Drawable::createFromImageData (BinaryData::alert_red_svg, (size_t) BinaryData::alert_red_svgSize);
    icons[2] = juce::Drawable::createFromImageData (BinaryData::alert_yellow_svg, (size_t) BinaryData::alert_yellow_svgSize);

    messageLabel = std::make_unique<juce::Label> (juce::String(), juce::String());
    setMessage (message);
    addAndMakeVisible (*messageLabel);
}

void MsgBoxComponent::paint (juce::Graphics& g)
{
    juce::Label::paint (g);

    if (iconType < 1 || iconType > (int) icons.size())
        return;

    const juce::Rectangle<float> iconArea (0.0f, 0.0f, 0.2f * (float) getWidth(), 0.5f * (float) getHeight());
    auto& icon = icons[(size_t) iconType - 1];

    // An empty area would make a singular fitting transform.
    if (icon != nullptr && ! iconArea.isEmpty() && ! icon->getDrawableBounds().isEmpty())
        icon->drawWithin (g, iconArea, juce::RectanglePlacement::centred, 1.0f);
}

void MsgBoxComponent::resized()
{
    messageLabel->setBoundsRelative (0.25f, 0.1f, 0.74f, 0.8f);
}

void MsgBoxComponent::setMessage (const juce::String& text)
{
    // substring counts characters, so a multi-byte character is never cut in half.
    messageLabel->setText (text.substring (0, maxMessageLength), juce::dontSendNotification);
}
} // namespace KA
