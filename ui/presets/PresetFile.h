#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace KA
{
/** Largest preset file read; what the program writes is a few kilobytes. */
constexpr juce::int64 maxPresetFileBytes = 1 << 20;

/** Reads a preset file through the guarded XML reader: every preset file the
    program reads comes through here. Returns nothing for a file that is missing,
    too large, or not a state document with the given root tag. */
std::unique_ptr<juce::XmlElement> readPresetDocument (const juce::File& file, const juce::String& rootTag);

/** Writes the document in the preset file format (default header, CR LF, lines
    wrapped at 60) to a temporary file beside the target and moves it over the
    target only when it is complete and on disk, so a failure or a crash never
    leaves a half-written preset. Fails without touching anything when the target
    is a folder or its folder is missing. */
juce::Result writePresetDocument (const juce::XmlElement& document, const juce::File& target);
} // namespace KA
