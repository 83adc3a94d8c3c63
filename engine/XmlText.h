#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace KA
{
/** Parses a state or preset document. JUCE's parser loops for ever on a processing
    instruction followed by text inside an element, so a document with any
    processing instruction other than its leading declaration is refused; what the
    program writes itself never has one. Returns nothing for text that is not a
    usable document. */
std::unique_ptr<juce::XmlElement> parseStateXml (const juce::String& text);
} // namespace KA
