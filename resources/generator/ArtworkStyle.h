#pragma once

#include <juce_graphics/juce_graphics.h>

/** Colours and type shared by every picture the generator draws, so that the
    panel, the controls and the about picture read as one instrument. */
namespace ArtworkStyle
{
const juce::Colour faceTop     { 0xff25272b };
const juce::Colour faceBottom  { 0xff141518 };
const juce::Colour recess      { 0xff060607 };
const juce::Colour legend      { 0xffe4e4e4 };
const juce::Colour dimLegend   { 0xff8d9097 };
const juce::Colour tick        { 0xffb9bcc2 };
const juce::Colour accent      { 0xffff2f2f };

/** The panel's face, Tahoma (the Wine project's, from Debian's fonts-wine): the
    bold one for legends, the regular one for scale numerals. */
juce::Font font (float height, bool bold);

/** Fine horizontal grain over a rectangle, the same for every run of the
    generator. */
void drawBrushedGrain (juce::Graphics& g, juce::Rectangle<int> area, float strength, juce::int64 seed);

void drawScrew (juce::Graphics& g, juce::Point<float> centre, float radius, float slotAngle);

/** Text with letter spacing, centred on a point. */
void drawSpacedText (juce::Graphics& g, const juce::String& text, juce::Point<float> centre,
                     const juce::Font& font, float spacing);
} // namespace ArtworkStyle
