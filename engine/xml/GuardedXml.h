#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace KA
{
/** The one way in for XML text from outside the process: state blobs, preset files,
    the stored device setup and the settings files.

    JUCE 7.0.5's parser reads out of bounds, loops for ever, or runs out of stack on
    some damaged texts. So expat, a parser proven on hostile input, checks each text
    first: well-formed UTF-8 XML of at most maximumBytes, elements nested at most
    maximumDepth deep, no document type declaration (so no entities but XML's own),
    no processing instruction, comment, CDATA or text content (nothing the program
    writes has any), names of plain ASCII. Then the text must have the shape the
    program writes, and only then does JUCE's parser see it. Anything else is
    refused as a whole. */
namespace GuardedXml
{
    constexpr int maximumDepth = 32;
    constexpr size_t maximumBytes = 8 * 1024 * 1024;

    enum class Shape
    {
        /** Any elements with attributes. */
        element,

        /** A state or preset document: the given root tag, compared ignoring case,
            with only "PARAM" and "EXPARAM" children, which have none of their own. */
        state,

        /** The device manager's "DEVICESETUP" with its "MIDIINPUT" children; the
            numbers JUCE reads from it must be within range. */
        deviceSetup,

        /** A JUCE properties file: "PROPERTIES" holding "VALUE" elements, each with a
            "name" and either a "val" or one element. JUCE parses every value again when
            it saves, so a "val" that starts like XML must pass as an element. */
        settingsFile
    };

    /** Why a text was refused, so that a user can be told what is wrong with a file. */
    enum class Refusal
    {
        none,              // the text passed
        damaged,           // not well-formed XML, or nothing at all
        otherEncoding,     // not UTF-8, or declared as another encoding
        unexpectedContent, // what the program never writes: a comment, a DTD, text, names out of the plain set, too deep
        wrongShape,        // another root element than the shape's
        tooLarge           // over maximumBytes
    };

    /** Refusal::none when the UTF-8 text passes the checks for the shape and JUCE parses it. */
    Refusal check (const char* utf8, size_t numBytes, Shape shape, const juce::String& rootTag = {});

    /** JUCE's element for a text that passes, otherwise nothing and, given a place for
        it, the reason. */
    std::unique_ptr<juce::XmlElement> parse (const char* utf8, size_t numBytes, Shape shape,
                                             const juce::String& rootTag = {}, Refusal* refusal = nullptr);
    std::unique_ptr<juce::XmlElement> parse (const juce::String& text, Shape shape,
                                             const juce::String& rootTag = {});

    /** A state or preset document with the given root tag; see Shape::state. */
    std::unique_ptr<juce::XmlElement> parseStateDocument (const juce::String& text, const juce::String& rootTag);

    /** A file checked without JUCE reading it, for a reader that parses the file itself
        (juce::PropertiesFile): false when it is missing, not a regular file, unreadable
        or does not pass. */
    bool checkFile (const juce::File& file, Shape shape, const juce::String& rootTag = {});
} // namespace GuardedXml
} // namespace KA
