#pragma once

#include "ui/editor/ImageResizeView.h"

namespace KA
{
/** Places an image view in an area of its parent: bounds of the image's size in
    its own units and a transform that fits them into the area. An empty area or
    image leaves the view empty, untransformed, rather than with a singular transform. */
void fitImageViewInto (ImageResizeView& view, juce::Rectangle<float> area, int placementFlags);
} // namespace KA
