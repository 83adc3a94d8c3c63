#include "PanelArtwork.h"
#include "ArtworkStyle.h"
#include "ui/product/DRPanelLayout.h"

namespace PanelArtwork
{
using namespace ArtworkStyle;
using juce::Colour;
using juce::Point;
using juce::Rectangle;
namespace L = DRPanelLayout;

static juce::Image makeCanvas()
{
    return juce::Image (juce::Image::ARGB, L::imageWidth, L::imageHeight, true);
}

static void drawFace (juce::Graphics& g, juce::int64 seed)
{
    g.setGradientFill (juce::ColourGradient (faceTop, 0.0f, 0.0f, faceBottom, 0.0f, (float) L::imageHeight, false));
    g.fillAll();
    drawBrushedGrain (g, { 0, 0, L::imageWidth, L::imageHeight }, 0.035f, seed);

    // Vignette keeps the eye on the controls.
    juce::ColourGradient vignette (Colour (0x00000000), L::imageWidth * 0.5f, L::imageHeight * 0.45f,
                                   Colour (0x66000000), 0.0f, 0.0f, true);
    g.setGradientFill (vignette);
    g.fillAll();
}

static Rectangle<float> toRect (const L::Rect& r)
{
    return { (float) r.x, (float) r.y, (float) r.width, (float) r.height };
}

static void drawRecess (juce::Graphics& g, Rectangle<float> r, float corner)
{
    g.setColour (Colour (0x30ffffff));
    g.fillRoundedRectangle (r.translated (0.0f, 0.5f), corner);
    g.setColour (recess);
    g.fillRoundedRectangle (r, corner);
    g.setColour (juce::Colours::black);
    g.drawRoundedRectangle (r, corner, 0.5f);
}

static void drawLegend (juce::Graphics& g, const juce::String& text, Point<float> centre, float height, bool bold = true)
{
    g.setColour (legend);
    drawSpacedText (g, text, centre, font (height, bold), 0.08f);
}

static void drawKnobScale (juce::Graphics& g, const L::Control& knob)
{
    const Point<float> c (L::knobCentreX (knob), L::knobCentreY (knob));
    // The knob's skirt covers 29.5 of the 34 pixels from a frame's centre to its edge.
    const auto r = L::knobDiameter (knob) * 0.5f * 29.5f / 34.0f;

    // Seat under the knob.
    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.fillEllipse (Rectangle<float> (2.0f * r + 1.6f, 2.0f * r + 1.6f).withCentre (c.translated (0.0f, 0.4f)));

    // Eleven marks, 3 dB apart over the trim's +-15 dB; the centre mark is 0 dB.
    for (int i = 0; i <= 10; ++i)
    {
        const auto a = L::knobStartAngle + (L::knobEndAngle - L::knobStartAngle) * (float) i / 10.0f;
        const bool major = i == 0 || i == 5 || i == 10;
        const auto dir = Point<float> (std::sin (a), -std::cos (a));
        g.setColour (major ? legend : tick.withAlpha (0.8f));
        g.drawLine ({ c + dir * (r + 1.6f), c + dir * (r + (major ? 4.0f : 3.0f)) }, major ? 0.7f : 0.45f);
    }

    // "-" and "+" just outside the ends of the scale and a little above them: the
    // meter windows hang right below the knobs, with their own "0" at the top corner.
    g.setColour (dimLegend);
    g.setFont (font (3.6f, false));
    const auto end = [&] (float angle, float outwards)
    {
        const auto tip = c + Point<float> (std::sin (angle), -std::cos (angle)) * (r + 4.0f);
        return Rectangle<float> (6.0f, 4.0f).withCentre (tip.translated (outwards, -2.5f));
    };
    g.drawText ("-", end (L::knobStartAngle, -3.0f), juce::Justification::centred);
    g.drawText ("+", end (L::knobEndAngle, 3.0f), juce::Justification::centred);

    drawLegend (g, knob.legend, { c.x, 7.5f }, 4.6f);
}

static float meterY (const L::Rect& m, float decibels)
{
    const auto p = (decibels - L::meterMinimumDecibels) / (L::meterMaximumDecibels - L::meterMinimumDecibels);
    return (float) m.bottom() - p * (float) m.height;
}

static void drawMeterWindow (juce::Graphics& g, const L::Rect& m, bool scaleOnLeft, const char* caption)
{
    const auto area = toRect (m);
    drawRecess (g, area.expanded (1.5f), 1.5f);

    // Unlit segments, so the window reads as a meter at rest.
    g.setColour (Colour (0xff121314));
    for (float y = area.getY() + 1.0f; y < area.getBottom(); y += 2.0f)
        g.fillRect (area.getX(), y, area.getWidth(), 1.0f);

    const float marks[] = { 0.0f, -6.0f, -12.0f, -18.0f, -24.0f, -36.0f, -54.0f };
    const auto small = font (3.5f, false);
    g.setFont (small);

    for (auto db : marks)
    {
        const auto y = meterY (m, db);
        const auto tickX = scaleOnLeft ? area.getX() - 4.0f : area.getRight() + 1.8f;
        g.setColour (tick);
        g.fillRect (tickX, y - 0.25f, 2.2f, 0.5f);

        g.setColour (db == 0.0f ? accent : dimLegend);
        const auto text = db == 0.0f ? juce::String ("0") : juce::String ((int) db);
        const Rectangle<float> box (10.0f, 4.0f);
        g.drawText (text,
                    scaleOnLeft ? box.withCentre ({ tickX - 5.6f, y })
                                : box.withCentre ({ tickX + 2.2f + 5.6f, y }),
                    scaleOnLeft ? juce::Justification::centredRight : juce::Justification::centredLeft, false);
    }

    g.setColour (dimLegend);
    drawSpacedText (g, caption, { area.getCentreX(), area.getBottom() + 5.0f }, font (3.6f, true), 0.1f);
}

static float levelProportion (float decibels)
{
    // The Level fader's travel: -120 .. +12 dB with 0 dB at the middle of the slot.
    return std::pow ((decibels + 120.0f) / 132.0f, 7.272543f);
}

static void drawFaderColumn (juce::Graphics& g, const L::Fader& f, bool isLevel)
{
    const auto x = L::faderCapCentreX (f);
    const auto top = L::faderCapCentreY (f, 1.0f), bottom = L::faderCapCentreY (f, 0.0f);

    drawLegend (g, f.legend, { x, 26.5f }, isLevel ? 4.6f : 4.2f);

    // Slot.
    const Rectangle<float> slot (x - 1.3f, top - 2.0f, 2.6f, bottom - top + 4.0f);
    g.setColour (Colour (0x28ffffff));
    g.fillRoundedRectangle (slot.translated (0.0f, 0.5f).expanded (0.3f), 1.3f);
    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (slot, 1.3f);

    struct Mark { float proportion; const char* text; };
    const Mark levelMarks[] = { { levelProportion (12.0f), "+12" }, { levelProportion (6.0f), "+6" },
                                { levelProportion (0.0f), "0" },   { levelProportion (-6.0f), "-6" },
                                { levelProportion (-12.0f), "-12" }, { levelProportion (-24.0f), "-24" },
                                { 0.0f, "-inf" } };
    const Mark bandMarks[] = { { 1.0f, "+15" }, { 5.0f / 6.0f, "+10" }, { 4.0f / 6.0f, "+5" }, { 0.5f, "0" },
                               { 2.0f / 6.0f, "-5" }, { 1.0f / 6.0f, "-10" }, { 0.0f, "-15" } };

    g.setFont (font (3.2f, false));

    const auto* marks = isLevel ? levelMarks : bandMarks;

    for (int i = 0; i < 7; ++i)
    {
        const auto& m = marks[i];
        const auto y = L::faderCapCentreY (f, m.proportion);
        const bool zero = juce::String (m.text) == "0";
        g.setColour (zero ? accent : tick);
        g.fillRect (x + 2.4f, y - 0.25f, zero ? 4.0f : 2.8f, 0.5f);
        g.fillRect (x - 5.2f, y - 0.25f, 2.8f, 0.5f);
        g.setColour (zero ? accent : dimLegend);
        g.drawText (m.text, Rectangle<float> (x - 6.0f - (float) f.fader.x, 4.0f).withPosition ((float) f.fader.x, y - 2.0f),
                    juce::Justification::centredRight, false);
    }

    drawRecess (g, toRect (f.valueLabel).reduced (0.5f, 0.0f), 1.2f);
}

juce::Image drawControlPanel()
{
    auto image = makeCanvas();
    juce::Graphics g (image);
    drawFace (g, 20250101);
    g.addTransform (juce::AffineTransform::scale (L::imageScale));

    const Rectangle<float> whole (0.0f, 0.0f, L::designWidth, L::designHeight);
    g.setColour (juce::Colours::black);
    g.drawRoundedRectangle (whole.reduced (0.5f), 3.0f, 1.0f);
    g.setColour (Colour (0x14ffffff));
    g.drawRoundedRectangle (whole.reduced (1.5f), 2.5f, 0.5f);

    drawScrew (g, { 6.0f, 6.0f }, 2.6f, 0.5f);
    drawScrew (g, { L::designWidth - 6.0f, 6.0f }, 2.6f, 2.1f);
    drawScrew (g, { 6.0f, L::designHeight - 6.0f }, 2.6f, 1.2f);
    drawScrew (g, { L::designWidth - 6.0f, L::designHeight - 6.0f }, 2.6f, 2.7f);

    // Name plate between the two trims.
    g.setColour (legend);
    drawSpacedText (g, "RORE RUREDIRIZ", { 187.5f, 9.0f }, font (7.0f, true), 0.25f);
    g.setColour (accent);
    g.fillRect (150.0f, 14.3f, 75.0f, 0.6f);

    // Trim sections.
    for (auto& knob : L::knobs)
        drawKnobScale (g, knob);

    drawMeterWindow (g, L::inputMeter, true, "IN dB");
    drawMeterWindow (g, L::outputMeter, false, "OUT dB");

    // Fader bank: Level apart from the seven bands, with a 0 dB line across the bands.
    const auto& levelFader = L::faders[0];
    const auto divider = (float) levelFader.fader.x + L::faderCapWidth + 0.5f;
    g.setColour (juce::Colours::black.withAlpha (0.8f));
    g.fillRect (divider - 0.4f, 22.0f, 0.6f, 88.0f);
    g.setColour (Colour (0x18ffffff));
    g.fillRect (divider + 0.2f, 22.0f, 0.5f, 88.0f);

    const auto& firstBand = L::faders[1];
    const auto& lastBand = L::faders[L::numFaders - 1];
    const auto zeroY = L::faderCapCentreY (firstBand, 0.5f);
    g.setColour (accent.withAlpha (0.35f));
    for (float x = (float) firstBand.fader.x + 1.0f; x < (float) lastBand.fader.x + L::faderCapWidth - 1.0f; x += 2.0f)
        g.fillRect (x, zeroY - 0.2f, 1.0f, 0.4f);

    for (size_t i = 0; i < L::numFaders; ++i)
        drawFaderColumn (g, L::faders[i], i == 0);

    g.setColour (dimLegend);
    drawSpacedText (g, "BASS EQUALIZER  /  Hz", { (firstBand.fader.x + lastBand.fader.x + L::faderCapWidth) * 0.5f, 116.5f },
                    font (3.6f, true), 0.2f);

    // Switch plate. Right of the saturation LED its top steps down, clear of the
    // output meter's caption, which hangs over the power switch.
    juce::Path outline;
    outline.startNewSubPath (252.0f, 110.5f);
    outline.lineTo (309.5f, 110.5f);
    outline.lineTo (309.5f, 113.3f);
    outline.lineTo (362.0f, 113.3f);
    outline.lineTo (362.0f, 142.0f);
    outline.lineTo (252.0f, 142.0f);
    outline.closeSubPath();
    const auto plate = outline.createPathWithRoundedCorners (2.5f);
    g.setColour (Colour (0x66000000));
    g.fillPath (plate);
    g.setColour (Colour (0x16ffffff));
    g.strokePath (plate, juce::PathStrokeType (0.5f));

    for (auto& s : L::switches)
    {
        const auto r = toRect (s.bounds);

        if (juce::String (s.imageName) == "Led_png")
        {
            g.setColour (juce::Colours::black.withAlpha (0.5f));
            g.fillEllipse (r.reduced (r.getWidth() * 0.12f).translated (0.0f, 0.3f));
            continue;
        }

        g.setColour (juce::Colours::black.withAlpha (0.45f));
        g.fillEllipse (r.reduced (r.getWidth() * 0.06f).translated (0.0f, 0.5f));

        if (juce::String (s.parameterID) == KA::parameterID (KA::ParameterIndex::analogPower))
        {
            g.setColour (legend);
            g.setFont (font (4.0f, true).withExtraKerningFactor (0.08f));
            g.drawText ("ANALOG", Rectangle<float> (26.0f, 4.5f).withRightX (r.getX() - 2.0f).withY (r.getCentreY() - 5.0f),
                        juce::Justification::centredRight, false);
            g.drawText ("POWER", Rectangle<float> (26.0f, 4.5f).withRightX (r.getX() - 2.0f).withY (r.getCentreY() + 0.5f),
                        juce::Justification::centredRight, false);
        }
        else
        {
            drawLegend (g, s.legend, { r.getCentreX() + 10.0f, L::designHeight - 4.2f }, 3.8f);
        }
    }

    g.setColour (dimLegend);
    drawSpacedText (g, "KORVATH AUDIO", { 40.0f, 128.0f }, font (4.0f, true), 0.3f);
    return image;
}

juce::Image drawEditorBackground()
{
    auto image = makeCanvas();
    juce::Graphics g (image);
    g.setGradientFill (juce::ColourGradient (Colour (0xff1b1c1f), 0.0f, 0.0f, Colour (0xff0c0d0e), 0.0f, (float) L::imageHeight, false));
    g.fillAll();
    drawBrushedGrain (g, { 0, 0, L::imageWidth, L::imageHeight }, 0.03f, 7);
    juce::ColourGradient vignette (Colour (0x00000000), L::imageWidth * 0.5f, L::imageHeight * 0.5f,
                                   Colour (0x80000000), 0.0f, 0.0f, true);
    g.setGradientFill (vignette);
    g.fillAll();
    return image;
}

juce::Image drawAboutPicture()
{
    auto image = makeCanvas();
    juce::Graphics g (image);
    drawFace (g, 99);
    g.addTransform (juce::AffineTransform::scale (L::imageScale));

    const Rectangle<float> whole (0.0f, 0.0f, L::designWidth, L::designHeight);
    g.setColour (juce::Colours::black);
    g.drawRoundedRectangle (whole.reduced (0.5f), 3.0f, 1.0f);

    // A sketch of a bass-heavy response curve behind the name.
    juce::Path curve;
    for (int i = 0; i <= 300; ++i)
    {
        const auto t = (float) i / 300.0f;
        const auto y = 78.0f - 22.0f * std::exp (-std::pow ((t - 0.12f) / 0.09f, 2.0f))
                             + 8.0f * std::exp (-std::pow ((t - 0.33f) / 0.07f, 2.0f))
                             - 5.0f * std::exp (-std::pow ((t - 0.8f) / 0.12f, 2.0f));
        const auto x = 30.0f + t * 315.0f;
        if (i == 0) curve.startNewSubPath (x, y); else curve.lineTo (x, y);
    }
    g.setColour (accent.withAlpha (0.18f));
    g.strokePath (curve, juce::PathStrokeType (5.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.setColour (accent.withAlpha (0.8f));
    g.strokePath (curve, juce::PathStrokeType (1.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    g.setColour (legend);
    drawSpacedText (g, "RORE RUREDIRIZ", { 187.5f, 38.0f }, font (17.0f, true), 0.18f);
    g.setColour (dimLegend);
    drawSpacedText (g, "SEVEN-BAND BASS EQUALIZER WITH ANALOG SATURATION", { 187.5f, 54.0f }, font (5.0f, false), 0.15f);

    g.setColour (dimLegend);
    g.setFont (font (5.0f, false));
    g.drawText ("Version", Rectangle<float> (60.0f, 8.0f).withRightX (115.0f).withY (132.0f), juce::Justification::centredRight, false);
    g.setColour (legend);
    drawSpacedText (g, "KORVATH AUDIO", { 300.0f, 136.0f }, font (5.0f, true), 0.3f);
    return image;
}
} // namespace PanelArtwork
