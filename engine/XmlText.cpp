#include "engine/XmlText.h"

namespace KA
{
std::unique_ptr<juce::XmlElement> parseStateXml (const juce::String& text)
{
    auto body = text.trimStart();

    if (body.startsWith ("<?"))
    {
        const auto declarationEnd = body.indexOf ("?>");

        if (declarationEnd < 0)
            return {};

        body = body.substring (declarationEnd + 2);
    }

    if (body.contains ("<?"))
        return {};

    return juce::parseXML (text);
}
} // namespace KA
