#include "ui/editor/ViewFitting.h"

namespace KA
{
void fitImageViewInto (ImageResizeView& view, juce::Rectangle<float> area, int placementFlags)
{
    const auto source = view.getImageBounds();

    if (source.isEmpty() || area.isEmpty())
    {
        view.setTransform ({});
        view.setBounds ({});
        return;
    }

    view.setBounds (source.toNearestInt());
    view.setTransform (juce::RectanglePlacement (placementFlags).getTransformToFit (source, area));
}
} // namespace KA
