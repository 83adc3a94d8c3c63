#include "ControlArtwork.h"
#include "ArtworkStyle.h"
#include "ui/product/DRPanelLayout.h"

namespace ControlArtwork
{
using juce::Colour;
using juce::ColourGradient;
using juce::Point;
using juce::Rectangle;

static Point<float> polar (Point<float> centre, float radius, float angleFromTop)
{
    return centre + Point<float> (std::sin (angleFromTop), -std::cos (angleFromTop)) * radius;
}

static void fillCircle (juce::Graphics& g, Point<float> c, float r)
{
    g.fillEllipse (Rectangle<float> (r * 2.0f, r * 2.0f).withCentre (c));
}

static void drawKnobFrame (juce::Graphics& g, Point<float> c, float angle)
{
    // Soft shadow under the skirt; the light comes from above.
    for (int i = 6; i > 0; --i)
    {
        g.setColour (juce::Colours::black.withAlpha (0.09f));
        fillCircle (g, c.translated (0.0f, 1.5f), 28.0f + (float) i * 0.8f);
    }

    // Knurled skirt: the ridges turn with the knob, the light does not.
    g.setGradientFill (ColourGradient (Colour (0xff3b3d42), c.x, c.y - 30.0f,
                                       Colour (0xff0c0c0e), c.x, c.y + 30.0f, false));
    fillCircle (g, c, 29.5f);

    for (int i = 0; i < 48; ++i)
    {
        const auto a = angle + juce::MathConstants<float>::twoPi * (float) i / 48.0f;
        const auto facingLight = 0.5f - 0.5f * std::cos (a);
        g.setColour (Colour (0xffffffff).withAlpha (0.05f + 0.22f * (1.0f - facingLight)));
        g.drawLine ({ polar (c, 25.0f, a), polar (c, 29.0f, a) }, 1.1f);
        g.setColour (juce::Colours::black.withAlpha (0.55f));
        g.drawLine ({ polar (c, 25.0f, a + 0.065f), polar (c, 29.0f, a + 0.065f) }, 0.9f);
    }

    // Cap with a satin top light.
    g.setColour (juce::Colours::black.withAlpha (0.7f));
    fillCircle (g, c.translated (0.0f, 0.8f), 24.0f);
    g.setGradientFill (ColourGradient (Colour (0xff4a4d53), c.x - 10.0f, c.y - 22.0f,
                                       Colour (0xff131416), c.x + 8.0f, c.y + 22.0f, false));
    fillCircle (g, c, 23.0f);
    ColourGradient sheen (Colour (0x30ffffff), c.x, c.y - 18.0f, Colour (0x00ffffff), c.x, c.y + 2.0f, true);
    g.setGradientFill (sheen);
    fillCircle (g, c, 22.0f);
    g.setColour (Colour (0x40ffffff));
    g.drawEllipse (Rectangle<float> (46.0f, 46.0f).withCentre (c), 0.8f);

    // Pointer: a white line with a dark edge so it reads on any background.
    const auto inner = polar (c, 8.0f, angle), outer = polar (c, 21.0f, angle);
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.drawLine ({ inner, outer }, 4.6f);
    g.setColour (Colour (0xfff4f4f4));
    g.drawLine ({ inner, outer }, 3.0f);
    fillCircle (g, outer, 1.5f);
}

juce::Image drawKnobFilmstrip()
{
    juce::Image strip (juce::Image::ARGB, knobFrameSize, knobFrameSize * knobFrames, true);
    juce::Graphics g (strip);

    for (int frame = 0; frame < knobFrames; ++frame)
    {
        const auto angle = DRPanelLayout::knobStartAngle
                         + (DRPanelLayout::knobEndAngle - DRPanelLayout::knobStartAngle)
                               * (float) frame / (float) (knobFrames - 1);
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (0, frame * knobFrameSize, knobFrameSize, knobFrameSize);
        drawKnobFrame (g, { knobFrameSize * 0.5f, (float) frame * knobFrameSize + knobFrameSize * 0.5f }, angle);
    }

    return strip;
}

static void drawSwitchHalf (juce::Graphics& g, Point<float> c, bool on)
{
    // Hex nut seated in a dark washer.
    g.setColour (juce::Colours::black.withAlpha (0.55f));
    fillCircle (g, c.translated (0.0f, 2.0f), 46.0f);
    g.setGradientFill (ColourGradient (Colour (0xff2c2e32), c.x, c.y - 44.0f, Colour (0xff0d0d0f), c.x, c.y + 44.0f, false));
    fillCircle (g, c, 44.0f);

    juce::Path nut;
    nut.addPolygon (c, 6, 34.0f, juce::MathConstants<float>::pi / 6.0f);
    g.setGradientFill (ColourGradient (Colour (0xffd9dce1), c.x - 30.0f, c.y - 30.0f,
                                       Colour (0xff55585e), c.x + 30.0f, c.y + 30.0f, false));
    g.fillPath (nut);
    g.setColour (juce::Colours::black.withAlpha (0.5f));
    g.strokePath (nut, juce::PathStrokeType (1.5f));

    g.setGradientFill (ColourGradient (Colour (0xff2a2b2e), c.x, c.y - 18.0f, Colour (0xff6c6f75), c.x, c.y + 18.0f, false));
    fillCircle (g, c, 18.0f);
    g.setColour (juce::Colours::black);
    fillCircle (g, c, 12.0f);

    // The bat leans towards its state: down for off, up for on.
    const auto direction = on ? -1.0f : 1.0f;
    const auto tip = c.translated (0.0f, direction * 38.0f);
    juce::Path bat;
    bat.startNewSubPath (c.x - 8.0f, c.y);
    bat.lineTo (c.x + 8.0f, c.y);
    bat.lineTo (tip.x + 5.5f, tip.y);
    bat.lineTo (tip.x - 5.5f, tip.y);
    bat.closeSubPath();

    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.fillPath (bat, juce::AffineTransform::translation (3.0f, 4.0f));
    fillCircle (g, tip.translated (3.0f, 4.0f), 11.0f);

    g.setGradientFill (ColourGradient (Colour (0xff6f737a), c.x - 8.0f, c.y, Colour (0xff6f737a), c.x + 8.0f, c.y, false));
    ColourGradient chrome (Colour (0xff5d6066), c.x - 9.0f, c.y, Colour (0xff3a3c40), c.x + 9.0f, c.y, false);
    chrome.addColour (0.35, Colour (0xfff2f3f5));
    chrome.addColour (0.6, Colour (0xffa9adb4));
    g.setGradientFill (chrome);
    g.fillPath (bat);

    ColourGradient ball (Colour (0xffffffff), tip.x - 4.0f, tip.y - 4.0f, Colour (0xff4a4d52), tip.x + 8.0f, tip.y + 9.0f, true);
    ball.addColour (0.45, Colour (0xffb7bac0));
    g.setGradientFill (ball);
    fillCircle (g, tip, 11.0f);
    g.setColour (juce::Colours::black.withAlpha (0.4f));
    g.drawEllipse (Rectangle<float> (22.0f, 22.0f).withCentre (tip), 1.0f);
}

juce::Image drawSwitchStrip()
{
    juce::Image strip (juce::Image::ARGB, 110, 230, true);
    juce::Graphics g (strip);
    drawSwitchHalf (g, { 55.0f, 57.5f }, false);
    drawSwitchHalf (g, { 55.0f, 172.5f }, true);
    return strip;
}

static void drawLedHalf (juce::Graphics& g, Point<float> c, bool lit)
{
    if (lit)
    {
        ColourGradient glow (Colour (0x90ff2a1a), c.x, c.y, Colour (0x00ff2a1a), c.x + 54.0f, c.y, true);
        g.setGradientFill (glow);
        fillCircle (g, c, 54.0f);
    }

    // Bezel.
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    fillCircle (g, c.translated (0.0f, 1.5f), 37.0f);
    g.setGradientFill (ColourGradient (Colour (0xffb8bbc1), c.x, c.y - 35.0f, Colour (0xff2b2d31), c.x, c.y + 35.0f, false));
    fillCircle (g, c, 35.0f);
    g.setColour (Colour (0xff0b0b0c));
    fillCircle (g, c, 28.0f);

    // Lens.
    ColourGradient lens = lit
        ? ColourGradient (Colour (0xffffd2c4), c.x - 6.0f, c.y - 8.0f, Colour (0xff9a0404), c.x + 26.0f, c.y + 26.0f, true)
        : ColourGradient (Colour (0xff5a1512), c.x - 6.0f, c.y - 8.0f, Colour (0xff180303), c.x + 26.0f, c.y + 26.0f, true);
    lens.addColour (0.35, lit ? Colour (0xffff3a26) : Colour (0xff3a0b0a));
    g.setGradientFill (lens);
    fillCircle (g, c, 25.5f);

    // Specular highlight, lit or not.
    ColourGradient spec (Colour (0xb0ffffff), c.x - 8.0f, c.y - 12.0f, Colour (0x00ffffff), c.x - 8.0f, c.y + 2.0f, false);
    g.setGradientFill (spec);
    g.fillEllipse (c.x - 17.0f, c.y - 20.0f, 22.0f, 13.0f);
}

juce::Image drawLedStrip()
{
    juce::Image strip (juce::Image::ARGB, 110, 220, true);
    juce::Graphics g (strip);
    drawLedHalf (g, { 55.0f, 55.0f }, false);
    drawLedHalf (g, { 55.0f, 165.0f }, true);
    return strip;
}

juce::Image drawFaderCap()
{
    juce::Image cap (juce::Image::ARGB, 54, 50, true);
    juce::Graphics g (cap);
    const Rectangle<float> body (5.0f, 3.0f, 44.0f, 42.0f);

    g.setColour (juce::Colours::black.withAlpha (0.35f));
    g.fillRoundedRectangle (body.expanded (3.0f).translated (0.0f, 2.0f), 7.0f);
    g.setColour (juce::Colours::black.withAlpha (0.55f));
    g.fillRoundedRectangle (body.expanded (1.0f).translated (0.0f, 1.5f), 6.0f);

    // A saddle profile: light falls on the upper and lower ridges, the waist is dark.
    ColourGradient profile (Colour (0xff6a6d73), 0.0f, body.getY(), Colour (0xff2a2c30), 0.0f, body.getBottom(), false);
    profile.addColour (0.22, Colour (0xff3a3c41));
    profile.addColour (0.5, Colour (0xff17181b));
    profile.addColour (0.78, Colour (0xff2f3136));
    profile.addColour (0.9, Colour (0xff4b4e54));
    g.setGradientFill (profile);
    g.fillRoundedRectangle (body, 5.0f);

    g.setColour (Colour (0x30ffffff));
    for (int i = 0; i < 4; ++i)
    {
        g.fillRect (body.getX() + 3.0f, body.getY() + 4.0f + (float) i * 3.0f, body.getWidth() - 6.0f, 1.0f);
        g.fillRect (body.getX() + 3.0f, body.getBottom() - 5.0f - (float) i * 3.0f, body.getWidth() - 6.0f, 1.0f);
    }

    g.setColour (Colour (0x50ffffff));
    g.drawRoundedRectangle (body.reduced (0.5f), 5.0f, 1.0f);

    // Index line at the cap's centre, where the scale is read.
    g.setColour (juce::Colours::black.withAlpha (0.7f));
    g.fillRect (body.getX() + 1.0f, 23.0f, body.getWidth() - 2.0f, 4.0f);
    g.setColour (Colour (0xfff2f2f2));
    g.fillRect (body.getX() + 1.0f, 24.0f, body.getWidth() - 2.0f, 2.0f);
    return cap;
}
} // namespace ControlArtwork
