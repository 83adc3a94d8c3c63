#include "ArtworkStyle.h"

#include "ui/lookandfeel/TrueTypeFace.h"

namespace ArtworkStyle
{
static juce::Typeface::Ptr loadFace (const char* fileName)
{
    const juce::File file (juce::String ("/usr/share/wine/fonts/") + fileName);
    juce::MemoryBlock data;

    if (! file.loadFileAsData (data))
    {
        std::fprintf (stderr, "missing font %s (package fonts-wine)\n", file.getFullPathName().toRawUTF8());
        std::exit (1);
    }

    // Sized as the program sizes its own embedded copy of the regular face.
    return KA::createTrueTypeFace (data.getData(), data.getSize());
}

struct Faces : private juce::DeletedAtShutdown
{
    ~Faces() override { clearSingletonInstance(); }

    juce::Typeface::Ptr regular = loadFace ("tahoma.ttf");
    juce::Typeface::Ptr bold = loadFace ("tahomabd.ttf");

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL (Faces)
};

JUCE_IMPLEMENT_SINGLETON (Faces)

juce::Font font (float height, bool bold)
{
    auto* faces = Faces::getInstance();
    return juce::Font (bold ? faces->bold : faces->regular).withHeight (height);
}

void drawBrushedGrain (juce::Graphics& g, juce::Rectangle<int> area, float strength, juce::int64 seed)
{
    juce::Random random (seed);

    for (int y = area.getY(); y < area.getBottom(); ++y)
    {
        const auto v = random.nextFloat();
        g.setColour ((v > 0.5f ? juce::Colours::white : juce::Colours::black)
                         .withAlpha (strength * std::abs (v - 0.5f) * 2.0f));
        g.fillRect (area.getX(), y, area.getWidth(), 1);
    }
}

void drawScrew (juce::Graphics& g, juce::Point<float> centre, float radius, float slotAngle)
{
    const auto r = juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre);
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.fillEllipse (r.expanded (radius * 0.25f).translated (0.0f, radius * 0.15f));
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff9a9da3), r.getX(), r.getY(),
                                             juce::Colour (0xff34363a), r.getRight(), r.getBottom(), false));
    g.fillEllipse (r);
    const auto d = juce::Point<float> (std::cos (slotAngle), std::sin (slotAngle)) * (radius * 0.75f);
    g.setColour (juce::Colour (0xff1a1b1d));
    g.drawLine ({ centre - d, centre + d }, radius * 0.35f);
}

void drawSpacedText (juce::Graphics& g, const juce::String& text, juce::Point<float> centre,
                     const juce::Font& f, float spacing)
{
    const auto spaced = f.withExtraKerningFactor (spacing);
    const auto width = spaced.getStringWidthFloat (text);
    g.setFont (spaced);
    g.drawText (text, juce::Rectangle<float> (width + 4.0f, f.getHeight() * 1.3f).withCentre (centre),
                juce::Justification::centred, false);
}
} // namespace ArtworkStyle
