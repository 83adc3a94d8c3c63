#pragma once

#include <juce_core/juce_core.h>

namespace KA
{
/** Where an absolute path really leads once every symbolic link along it is
    followed, including a last link that points at something not there yet (a
    file written through it lands at the target). Parts that do not exist are
    kept as they stand. A loop of links, or a path that is not absolute, gives
    the empty File. */
juce::File resolveLinks (const juce::File& file);

/** True when the file lies strictly inside the folder once both have had their
    links followed: what is written to the file stays in the folder. */
bool isInsideFolder (const juce::File& file, const juce::File& folder);

/** The relative path written so that juce::File::getChildFile takes it literally:
    "./" before a first name that begins with "~", which it reads as a home folder. */
juce::String literalRelativePath (const juce::String& relativePath);

/** The file a relative path names inside the folder, a first name that begins
    with "~" included. */
juce::File childFile (const juce::File& folder, const juce::String& relativePath);

/** The file (not the empty File) with the extension, which begins with a dot
    (".xml"), in place of the one it has, in the same folder. */
juce::File withExtension (const juce::File& file, const juce::String& extension);
} // namespace KA
