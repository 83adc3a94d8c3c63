#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace KA
{
/** Largest preset file read; what the program writes is a few kilobytes. */
constexpr size_t maxPresetFileBytes = 1 << 20;

/** Reads a preset file through the guarded XML reader: every preset file the
    program reads comes through here. Returns nothing for a file that is missing,
    not a regular file, too large, or not a state document with the given root tag;
    whyNot then gets one short sentence for the user. */
std::unique_ptr<juce::XmlElement> readPresetDocument (const juce::File& file, const juce::String& rootTag,
                                                      juce::String* whyNot = nullptr);

/** Writes the document in the preset file format (default header, CR LF, lines
    wrapped at 60) to a temporary file beside the file really written and moves it
    over that file only when it is complete and on disk, so a failure or a crash
    never leaves a half-written preset.

    What the user set on an existing file is kept: a file without any write
    permission is not replaced, a rewrite keeps the file's mode (and, for root, its
    owner), and a preset that is a link is written through to its target, which
    must lie inside the confining folder; the link stays a link. A failure changes
    nothing on disk and its message is one short sentence for the user. */
juce::Result writePresetDocument (const juce::XmlElement& document, const juce::File& target,
                                  const juce::File& confiningFolder);

/** True for the hidden temporary files the writer makes, which only a killed save
    leaves behind (by name only: whether one is left behind is the caller's call). */
bool isLeftoverTemporaryFile (const juce::File& file);
} // namespace KA
