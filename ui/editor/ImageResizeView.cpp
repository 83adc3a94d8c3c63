#include "ui/editor/ImageResizeView.h"

namespace KA
{
ImageResizeView::ImageResizeView (juce::AudioProcessorValueTreeState& p)
    : ParametersComponent (p)
{
}

juce::Rectangle<float> ImageResizeView::getImageBounds() const
{
    if (! image.isValid() || imageScale <= 0.0f)
        return {};

    return { (float) image.getWidth() / imageScale, (float) image.getHeight() / imageScale };
}

void ImageResizeView::drawImage (juce::Graphics& g) const
{
    g.drawImageWithin (image, 0, 0, getWidth(), getHeight(), juce::RectanglePlacement (imagePlacement), false);
}

void ImageResizeView::paint (juce::Graphics& g)
{
    if (! imageDrawnByOwner)
        drawImage (g);
}
} // namespace KA
