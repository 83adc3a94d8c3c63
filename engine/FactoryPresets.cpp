#include "engine/FactoryPresets.h"

#include "engine/PluginProcessor.h"

#include <BinaryData.h>

namespace KA
{
namespace
{
    struct FactoryPresetDocument
    {
        const char* name;
        const char* data;
        int size;
    };

    const FactoryPresetDocument documents[] {
        { "Slap Bass", BinaryData::SlapBass_xml, BinaryData::SlapBass_xmlSize },
        { "Bass Warming", BinaryData::BassWarming_xml, BinaryData::BassWarming_xmlSize },
        { "Rock Mid Boost", BinaryData::RockMidBoost_xml, BinaryData::RockMidBoost_xmlSize },
        { "Pell Varossi Motown", BinaryData::PellVarossiMotown_xml, BinaryData::PellVarossiMotown_xmlSize },
        { "Juno Kastrel Metal Scoop", BinaryData::JunoKastrelMetalScoop_xml, BinaryData::JunoKastrelMetalScoop_xmlSize },
    };
}

void addFactoryPresets (PluginProcessor& processor)
{
    for (const auto& document : documents)
    {
        juce::XmlDocument parser (juce::String::fromUTF8 (document.data, document.size));
        processor.addFactoryPreset (document.name, parser.getDocumentElement().release());
    }
}
} // namespace KA
