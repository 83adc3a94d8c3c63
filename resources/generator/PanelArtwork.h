#pragma once

#include <juce_graphics/juce_graphics.h>

/** The 750 x 291 pictures: drawn in the panel's 375 x 145.5 design units at
    twice that in pixels. */
namespace PanelArtwork
{
/** The control panel: legends, fader slots and scales, knob rings, meter
    windows and switch plate, all placed from DRPanelLayout. */
juce::Image drawControlPanel();

/** The texture stretched behind the whole editor. */
juce::Image drawEditorBackground();

/** The about picture; the version text is laid over it at (118, 132). */
juce::Image drawAboutPicture();
} // namespace PanelArtwork
