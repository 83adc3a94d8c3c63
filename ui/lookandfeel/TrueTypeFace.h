#pragma once

#include <juce_graphics/juce_graphics.h>

namespace KA
{
/** A typeface from TrueType data whose font heights mean what they mean on every
    other platform: the ascent and descent of the face's horizontal header.

    FreeType, which JUCE uses on Linux, takes the typographic ascent and descent
    instead when the face sets the OS/2 table's "use typographic metrics" flag.
    The Tahoma stand-in from Debian's fonts-wine sets it, and its typographic
    extent is a fifth smaller than its header's, so every text would come out a
    quarter larger than the panel was laid out for, too wide for its readouts. The
    flag is cleared in a copy of the data; the face itself is left as it is. */
juce::Typeface::Ptr createTrueTypeFace (const void* data, size_t size);

/** Clears the OS/2 "use typographic metrics" flag (fsSelection bit 7) in TrueType
    or OpenType data; false when the data has no OS/2 table where it says. */
bool clearTypographicMetricsFlag (juce::MemoryBlock& data);
} // namespace KA
