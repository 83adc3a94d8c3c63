#include "tests/shell/support/ScreenPixels.h"

#include <utility>

namespace KA::Test
{
double changedShare (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds() || a.getBounds().isEmpty())
        return 1.0;
    int changed = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
            changed += std::abs (p.getRed() - q.getRed()) + std::abs (p.getGreen() - q.getGreen()) + std::abs (p.getBlue() - q.getBlue()) > 24;
        }
    return (double) changed / (double) (a.getWidth() * a.getHeight());
}

juce::Image grabWhenPainted (X11Session& x, PointerDriver& pointer, unsigned long window, int maxGrabs)
{
    juce::Image image, previous;
    for (int i = 0; i < maxGrabs && (i < 2 || changedShare (image, previous) > 0.0); ++i)
    {
        pointer.settle();
        previous = std::exchange (image, x.grab (window));
    }
    return image;
}
void waitForInputNotice (X11Session& x, PointerDriver& pointer, unsigned long window)
{
    for (int waited = 0; waited < 10000 && x.grab (window).getPixelAt (2, 2) != juce::Colours::lightgoldenrodyellow; waited += 400)
        pointer.settle();
}
} // namespace KA::Test
