#include "engine/xml/GuardedXml.h"

#include "engine/files/RegularFileReader.h"
#include "engine/xml/NumberText.h"

#include <expat.h>

#include <cstring>
#include <string>
#include <string_view>
#include <limits>

namespace KA::GuardedXml
{
namespace
{
    bool isBlank (char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    // What JUCE's parser and the program's writers agree on as a name. No colon: the
    // program writes none, and JUCE decodes an attribute named "base64:..." when it
    // makes a ValueTree, trusting the byte count the text gives.
    bool isPlainName (const XML_Char* name) noexcept
    {
        const auto isLetter = [] (char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };

        if (name == nullptr || ! isLetter (*name))
            return false;

        for (auto* p = name; *p != 0; ++p)
            if (! (isLetter (*p) || (*p >= '0' && *p <= '9') || *p == '-' || *p == '.'))
                return false;

        return true;
    }

    bool is (const XML_Char* name, const char* expected) noexcept { return std::strcmp (name, expected) == 0; }

    bool fitsAnInt (const XML_Char* text)
    {
        const auto n = readNumberText (juce::String::fromUTF8 (text));
        return n.has_value() && std::abs (*n) <= (double) std::numeric_limits<int>::max();
    }

    bool isChannelMask (const XML_Char* text) noexcept
    {
        const auto length = std::strlen (text);
        return length <= 256 && std::strspn (text, "01") == length;
    }

    // The attributes JUCE's device manager reads as numbers or bit masks.
    bool deviceSetupAttributesAreSound (const XML_Char** attributes)
    {
        for (auto** a = attributes; *a != nullptr; a += 2)
        {
            if (is (a[0], "audioDeviceRate") && ! readNumberText (juce::String::fromUTF8 (a[1])).has_value())
                return false;

            if (is (a[0], "audioDeviceBufferSize") && ! fitsAnInt (a[1]))
                return false;

            if ((is (a[0], "audioDeviceInChans") || is (a[0], "audioDeviceOutChans")) && ! isChannelMask (a[1]))
                return false;
        }

        return true;
    }

    const char* skipBlanksAndMark (const char* text, const char* end) noexcept
    {
        if (end - text >= 3 && std::memcmp (text, "\xef\xbb\xbf", 3) == 0)
            text += 3;

        while (text != end && isBlank (*text))
            ++text;

        return text;
    }

    // JUCE writes a character that XML does not allow (a control character, U+FFFE or
    // U+FFFF) as a decimal character reference, which expat refuses and JUCE reads back.
    // So that the program can read what it wrote, expat sees such a reference as U+FFFD.
    std::string withAllowedReferences (const char* text, size_t numBytes)
    {
        const auto isRefused = [] (juce::uint32 c) { return (c >= 1 && c < 32 && c != 9 && c != 10 && c != 13) || c == 0xfffe || c == 0xffff; };
        std::string result;
        result.reserve (numBytes);

        for (size_t i = 0; i < numBytes; ++i)
        {
            if (text[i] == '&' && i + 2 < numBytes && text[i + 1] == '#')
            {
                size_t end = i + 2;
                juce::uint32 code = 0;

                for (; end < numBytes && end < i + 10 && text[end] >= '0' && text[end] <= '9'; ++end)
                    code = code * 10 + (juce::uint32) (text[end] - '0');

                if (end < numBytes && text[end] == ';' && isRefused (code))
                {
                    result += "&#65533;";
                    i = end;
                    continue;
                }
            }

            result += text[i];
        }

        return result;
    }

    class Checker
    {
    public:
        Checker (Shape shapeToCheck, const juce::String& tag) : shape (shapeToCheck), rootTag (tag) {}

        Refusal run (const char* text, size_t numBytes)
        {
            parser = XML_ParserCreate ("UTF-8");

            if (parser == nullptr)
                return Refusal::damaged;

            XML_SetUserData (parser, this);
            XML_SetXmlDeclHandler (parser, [] (void* self, const XML_Char*, const XML_Char* encoding, int)
            {
                if (encoding != nullptr && juce::String (encoding).compareIgnoreCase ("UTF-8") != 0)
                    static_cast<Checker*> (self)->refuse (Refusal::otherEncoding);
            });
            XML_SetElementHandler (parser,
                                   [] (void* self, const XML_Char* name, const XML_Char** attributes)
                                   { static_cast<Checker*> (self)->startElement (name, attributes); },
                                   [] (void* self, const XML_Char*) { static_cast<Checker*> (self)->endElement(); });
            XML_SetCharacterDataHandler (parser, [] (void* self, const XML_Char* s, int length)
            {
                for (int i = 0; i < length; ++i)
                    if (! isBlank (s[i]))
                        return static_cast<Checker*> (self)->refuse();
            });
            XML_SetProcessingInstructionHandler (parser, [] (void* self, const XML_Char*, const XML_Char*)
                                                 { static_cast<Checker*> (self)->refuse(); });
            XML_SetCommentHandler (parser, [] (void* self, const XML_Char*) { static_cast<Checker*> (self)->refuse(); });
            XML_SetStartCdataSectionHandler (parser, [] (void* self) { static_cast<Checker*> (self)->refuse(); });
            XML_SetStartDoctypeDeclHandler (parser, [] (void* self, const XML_Char*, const XML_Char*, const XML_Char*, int)
                                            { static_cast<Checker*> (self)->refuse(); });

            const auto parsed = XML_Parse (parser, text, (int) numBytes, XML_TRUE) == XML_STATUS_OK;
            XML_ParserFree (parser);

            if (refusal != Refusal::none)
                return refusal;

            return parsed ? Refusal::none : Refusal::damaged;
        }

    private:
        void refuse (Refusal why = Refusal::unexpectedContent)
        {
            if (refusal == Refusal::none)
            {
                XML_StopParser (parser, XML_FALSE);
                refusal = why;
            }
        }

        void startElement (const XML_Char* name, const XML_Char** attributes)
        {
            if (++depth > maximumDepth || ! isPlainName (name))
                return refuse();

            for (auto** a = attributes; *a != nullptr; a += 2)
                if (! isPlainName (a[0]))
                    return refuse();

            if (! fitsShape (name, attributes))
                refuse (depth == 1 ? Refusal::wrongShape : Refusal::unexpectedContent);
        }

        void endElement()
        {
            // A value with neither a "val" nor an element would be read as empty text.
            if (shape == Shape::settingsFile && depth == 2 && ! valueHasText && valueElements != 1)
                refuse();

            --depth;
        }

        bool fitsShape (const XML_Char* name, const XML_Char** attributes)
        {
            switch (shape)
            {
                case Shape::element:
                    return true;

                case Shape::state:
                    if (depth == 1)
                        return rootTag.equalsIgnoreCase (juce::String::fromUTF8 (name));

                    return depth == 2 && (is (name, "PARAM") || is (name, "EXPARAM"));

                case Shape::deviceSetup:
                    if (depth == 1)
                        return is (name, "DEVICESETUP") && deviceSetupAttributesAreSound (attributes);

                    return depth == 2 && is (name, "MIDIINPUT");

                case Shape::settingsFile:
                    if (depth == 1)
                        return is (name, "PROPERTIES") && *attributes == nullptr;

                    if (depth == 2)
                        return is (name, "VALUE") && valueAttributesAreSound (attributes);

                    return depth > 3 || (! valueHasText && ++valueElements == 1);
            }

            return false;
        }

        bool valueAttributesAreSound (const XML_Char** attributes)
        {
            bool named = false;
            valueHasText = false;
            valueElements = 0;

            for (auto** a = attributes; *a != nullptr; a += 2)
            {
                if (is (a[0], "name"))
                {
                    named = *a[1] != 0;
                }
                else if (is (a[0], "val"))
                {
                    valueHasText = true;
                    const auto length = std::strlen (a[1]);
                    const auto* start = skipBlanksAndMark (a[1], a[1] + length);

                    if (start != a[1] + length && *start == '<' && check (a[1], length, Shape::element) != Refusal::none)
                        return false;
                }
                else
                {
                    return false;
                }
            }

            return named;
        }

        const Shape shape;
        const juce::String rootTag;
        XML_Parser parser = nullptr;
        Refusal refusal = Refusal::none;
        int depth = 0;
        bool valueHasText = false;
        int valueElements = 0;
    };

    std::unique_ptr<juce::XmlElement> checkAndParse (const char* utf8, size_t numBytes, Shape shape,
                                                     const juce::String& rootTag, Refusal& refusal)
    {
        refusal = Refusal::damaged;

        if (utf8 == nullptr)
            return {};

        // JUCE skips these itself; expat wants the declaration first.
        const auto* start = skipBlanksAndMark (utf8, utf8 + numBytes);
        const auto length = numBytes - (size_t) (start - utf8);

        if (length > maximumBytes)
        {
            refusal = Refusal::tooLarge;
            return {};
        }

        // Told apart from damage, since a text editor that saved in Latin-1 is the usual cause.
        if (std::memchr (start, 0, length) == nullptr && ! juce::CharPointer_UTF8::isValidString (start, (int) length))
        {
            refusal = Refusal::otherEncoding;
            return {};
        }

        std::string rewritten;
        std::string_view checked (start, length);

        if (checked.find ("&#") != std::string_view::npos)
            checked = rewritten = withAllowedReferences (start, length);

        refusal = Checker (shape, rootTag).run (checked.data(), checked.size());

        if (refusal != Refusal::none)
            return {};

        auto element = juce::parseXML (juce::String::fromUTF8 (start, (int) length));

        if (element == nullptr)
            refusal = Refusal::damaged;

        return element;
    }
} // namespace

Refusal check (const char* utf8, size_t numBytes, Shape shape, const juce::String& rootTag)
{
    Refusal refusal;
    checkAndParse (utf8, numBytes, shape, rootTag, refusal);
    return refusal;
}

std::unique_ptr<juce::XmlElement> parse (const char* utf8, size_t numBytes, Shape shape, const juce::String& rootTag,
                                         Refusal* refusal)
{
    Refusal why;
    auto element = checkAndParse (utf8, numBytes, shape, rootTag, why);

    if (refusal != nullptr)
        *refusal = why;

    return element;
}

std::unique_ptr<juce::XmlElement> parse (const juce::String& text, Shape shape, const juce::String& rootTag)
{
    const auto utf8 = text.toUTF8();
    return parse (utf8.getAddress(), utf8.sizeInBytes() - 1, shape, rootTag);
}

std::unique_ptr<juce::XmlElement> parseStateDocument (const juce::String& text, const juce::String& rootTag)
{
    return parse (text, Shape::state, rootTag);
}

bool checkFile (const juce::File& file, Shape shape, const juce::String& rootTag)
{
    const auto read = readRegularFile (file, maximumBytes);

    return read.wasOk()
        && check (static_cast<const char*> (read.bytes.getData()), read.bytes.getSize(), shape, rootTag) == Refusal::none;
}
} // namespace KA::GuardedXml
