#pragma once

#include <juce_graphics/juce_graphics.h>

/** The images the controls are drawn from; sizes and frame layouts are fixed by
    the look-and-feel that cuts them. */
namespace ControlArtwork
{
constexpr int knobFrameSize = 68, knobFrames = 128;

/** 68 x 8704: 128 square frames, the pointer sweeping the knob's travel from
    the first frame to the last. */
juce::Image drawKnobFilmstrip();

/** 110 x 230: the switch off in the upper half, on in the lower half. */
juce::Image drawSwitchStrip();

/** 110 x 220: the LED off in the upper half, lit in the lower half. */
juce::Image drawLedStrip();

/** 54 x 50: the fader cap, drawn at half size centred on the thumb position. */
juce::Image drawFaderCap();
} // namespace ControlArtwork
