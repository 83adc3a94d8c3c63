#pragma once

#include "ui/editor/ParametersComponent.h"

namespace KA
{
/** A panel drawn from one image. Its controls are laid out in the image's own
    units (pixels / imageScale) and the editor scales the view as a whole. */
class ImageResizeView : public ParametersComponent
{
public:
    explicit ImageResizeView (juce::AudioProcessorValueTreeState& parameters);

    juce::Image image;

    /** juce::RectanglePlacement flags: horizontally centred, at the bottom. */
    int imagePlacement = juce::RectanglePlacement::yBottom;

    /** Pixels of the image per unit of layout space. */
    float imageScale = 2.0f;

    /** Handed to the controls this panel creates. */
    juce::LookAndFeel* controlLookAndFeel = nullptr;

    /** Set by an owner that draws the image itself, under this view, into a cached
        picture of its own; paint then leaves it out. */
    bool imageDrawnByOwner = false;

    /** The image's size in layout units. */
    juce::Rectangle<float> getImageBounds() const;

    /** Draws the image over the view's area, in the view's coordinates. */
    void drawImage (juce::Graphics&) const;

    void paint (juce::Graphics&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ImageResizeView)
};
} // namespace KA
