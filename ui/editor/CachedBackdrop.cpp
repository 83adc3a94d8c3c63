#include "ui/editor/CachedBackdrop.h"

namespace KA
{
void CachedBackdrop::draw (juce::Graphics& g, int width, int height, const juce::Array<juce::var>& sources, const Renderer& render)
{
    if (width <= 0 || height <= 0)
        return;

    const auto scale = g.getInternalContext().getPhysicalPixelScaleFactor();

    if (scale <= 0.0f || ! std::isfinite (scale))
        return;

    if (image.isNull() || width != renderedWidth || height != renderedHeight || scale != renderedScale || sources != renderedSources)
    {
        const auto pixelWidth = (int) std::ceil ((float) width * scale);
        const auto pixelHeight = (int) std::ceil ((float) height * scale);

        // The same picture as drawing straight into g: rendered on g's pixel grid,
        // so the copy below is a plain one and nothing is resampled twice.
        image = juce::Image (juce::Image::ARGB, pixelWidth, pixelHeight, true);
        juce::Graphics ig (image);
        ig.addTransform (juce::AffineTransform::scale (scale));
        render (ig);

        renderedWidth = width;
        renderedHeight = height;
        renderedScale = scale;
        renderedSources = sources;
    }

    if (scale == 1.0f)
        g.drawImageAt (image, 0, 0);
    else
        g.drawImageTransformed (image, juce::AffineTransform::scale (1.0f / scale));
}
} // namespace KA
