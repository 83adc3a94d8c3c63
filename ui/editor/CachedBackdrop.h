#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>

namespace KA
{
/** A picture that changes only with its size, the display's pixel scale and what
    its owner says it is made of: rendered once into an image on the device's pixel
    grid, then copied unscaled into every repaint. Scaling a large image on each
    repaint is what made a full-screen repaint slow. */
class CachedBackdrop
{
public:
    using Renderer = std::function<void (juce::Graphics&)>;

    /** Draws the picture into g over (0, 0, width, height), rendering it first with
        render (given a context in the same units as g) when the size, g's pixel scale
        or the sources differ from the last render. Sources are whatever the picture is
        made of; equal sources promise an equal picture. */
    void draw (juce::Graphics& g, int width, int height, const juce::Array<juce::var>& sources, const Renderer& render);

    /** The image of the last render, in device pixels; null before the first. */
    const juce::Image& getImage() const noexcept { return image; }

private:
    juce::Image image;
    int renderedWidth = 0, renderedHeight = 0;
    float renderedScale = 0.0f;
    juce::Array<juce::var> renderedSources;
};
} // namespace KA
