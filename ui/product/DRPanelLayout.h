#pragma once

#include "engine/ParameterTable.h"

#include <cstddef>
#include <cstring>

/** Where every control of the bass equalizer's panel sits, in the design units of
    the 750 x 291 panel artwork drawn at image scale 2 (375 x 145.5 units).

    One table serves the panel editor, which places its controls with it, and the
    artwork generator, which draws legends, slots, scales and rings under the same
    rectangles; changing a position here and regenerating keeps them together.
*/
namespace DRPanelLayout
{
using Index = KA::ParameterIndex;
using KA::parameterID;

struct Rect
{
    int x, y, width, height;

    constexpr float centreX() const noexcept { return (float) x + (float) width * 0.5f; }
    constexpr float centreY() const noexcept { return (float) y + (float) height * 0.5f; }
    constexpr int right() const noexcept     { return x + width; }
    constexpr int bottom() const noexcept    { return y + height; }
};

/** A control bound to a parameter; imageName is empty when the parameter ID is
    also the image key. */
struct Control
{
    const char* parameterID;
    const char* imageName;
    const char* legend;
    Rect bounds;
};

/** A fader column: the fader and the value readout beneath it. */
struct Fader
{
    const char* parameterID;
    const char* legend;
    Rect fader;
    Rect valueLabel;
};

constexpr float imageScale   = 2.0f;
constexpr int imageWidth     = 750;
constexpr int imageHeight    = 291;
constexpr float designWidth  = (float) imageWidth / imageScale;
constexpr float designHeight = (float) imageHeight / imageScale;

constexpr Rect inputMeter  { 31, 44, 18, 62 };
constexpr Rect outputMeter { 320, 44, 18, 62 };

/** Meter scale in dB, bottom to top. */
constexpr float meterMinimumDecibels = -54.0f;
constexpr float meterMaximumDecibels = 0.0f;

constexpr Control knobs[] =
{
    { parameterID (Index::inputTrimmer),  "", "INPUT",  { 32, 19, 25, 25 } },
    { parameterID (Index::outputTrimmer), "", "OUTPUT", { 320, 19, 25, 25 } },
};

/** Switches and their LEDs; an LED shares the parameter of its switch. */
constexpr Control switches[] =
{
    { parameterID (Index::analogPower), "",        "ANALOG POWER", { 282, 120, 18, 18 } },
    { parameterID (Index::analogPower), "Led_png", "",             { 298, 112, 10, 10 } },
    { parameterID (Index::power),       "",        "POWER",        { 310, 114, 25, 25 } },
    { parameterID (Index::power),       "Led_png", "",             { 333, 116, 20, 20 } },
};

constexpr int faderY = 32, faderWidth = 38, faderHeight = 78;
constexpr int valueLabelY = 101, valueLabelWidth = 28, valueLabelHeight = 8;

constexpr Fader makeFader (Index parameter, const char* legend, int faderX, int labelX)
{
    return { parameterID (parameter), legend, { faderX, faderY, faderWidth, faderHeight },
                                              { labelX, valueLabelY, valueLabelWidth, valueLabelHeight } };
}

constexpr Fader faders[] =
{
    makeFader (Index::level,      "LEVEL",   74,  74),
    makeFader (Index::band50Hz,   "50Hz",    102, 102),
    makeFader (Index::band120Hz,  "120Hz",   130, 131),
    makeFader (Index::band400Hz,  "400Hz",   158, 159),
    makeFader (Index::band500Hz,  "500Hz",   187, 187),
    makeFader (Index::band800Hz,  "800Hz",   215, 215),
    makeFader (Index::band4e5kHz, "4.5kHz",  243, 243),
    makeFader (Index::band10kHz,  "10kHz",   271, 271),
};

constexpr std::size_t numKnobs    = sizeof (knobs) / sizeof (knobs[0]);
constexpr std::size_t numSwitches = sizeof (switches) / sizeof (switches[0]);
constexpr std::size_t numFaders   = sizeof (faders) / sizeof (faders[0]);

/** The fader cap is drawn at half its 54 x 50 pixel size from the fader's left
    edge, and its centre travels between the fader's top and bottom less the
    look-and-feel's thumb indent (JUCE's V4 default for a 38-unit-wide fader). */
constexpr float faderCapWidth   = 27.0f;
constexpr float faderCapHeight  = 25.0f;
constexpr float faderThumbIndent = 12.0f;

constexpr float faderCapCentreX (const Fader& f) noexcept
{
    return (float) f.fader.x + faderCapWidth * 0.5f;
}

/** The cap centre's y for a proportion of the fader's travel (0 bottom, 1 top). */
constexpr float faderCapCentreY (const Fader& f, float proportion) noexcept
{
    return (float) f.fader.y + faderThumbIndent
         + (1.0f - proportion) * ((float) f.fader.height - 2.0f * faderThumbIndent);
}

/** Knobs are drawn as the largest square that fits, hanging from the top of the
    knob's bounds, one unit up and left. */
constexpr float knobDiameter (const Control& k) noexcept
{
    return 2.0f * (float) (int) ((float) (k.bounds.width < k.bounds.height ? k.bounds.width : k.bounds.height) * 0.5f);
}

constexpr float knobCentreX (const Control& k) noexcept
{
    return (float) (int) ((float) k.bounds.x + (float) k.bounds.width * 0.5f
                          - ((float) (k.bounds.width < k.bounds.height ? k.bounds.width : k.bounds.height) * 0.5f) - 1.0f)
           + knobDiameter (k) * 0.5f;
}

constexpr float knobCentreY (const Control& k) noexcept
{
    return (float) k.bounds.y - 1.0f + knobDiameter (k) * 0.5f;
}

/** Rotary travel shared by the knob filmstrip and the panel's knob scales:
    JUCE's default rotary sweep, in radians clockwise from twelve o'clock. */
constexpr float knobStartAngle = -0.8f * 3.14159265358979f;
constexpr float knobEndAngle   =  0.8f * 3.14159265358979f;

inline const Fader* findFader (const char* parameterID) noexcept
{
    for (auto& f : faders)
        if (std::strcmp (f.parameterID, parameterID) == 0)
            return &f;
    return nullptr;
}
} // namespace DRPanelLayout
