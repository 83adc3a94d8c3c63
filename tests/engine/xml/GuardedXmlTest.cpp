#include "engine/xml/GuardedXml.h"
#include "engine/xml/NumberText.h"

#include <gtest/gtest.h>

using KA::GuardedXml::Shape;

namespace
{
struct Text
{
    const char* name;
    Shape shape;
    std::string text;
    bool accepted;
};

const char* const rootTag = "DRRoreRurediriz";

std::string nested (int depth)
{
    std::string open, close;
    for (int i = 0; i < depth; ++i)
    {
        open += "<a>";
        close += "</a>";
    }
    return open + close;
}

std::string settings (const std::string& values)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<PROPERTIES>\n" + values + "\n</PROPERTIES>\n";
}

class GuardedXmlTexts : public ::testing::TestWithParam<Text> {};
} // namespace

TEST_P (GuardedXmlTexts, AreAcceptedOnlyWhenSoundAndOfTheirShape)
{
    const auto& t = GetParam();
    EXPECT_EQ (KA::GuardedXml::check (t.text.data(), t.text.size(), t.shape, rootTag), t.accepted);

    // The same text as a string, where a string can hold it.
    if (t.text.find ('\0') == std::string::npos && juce::CharPointer_UTF8::isValidString (t.text.data(), (int) t.text.size()))
        EXPECT_EQ (KA::GuardedXml::parse (juce::String::fromUTF8 (t.text.data(), (int) t.text.size()), t.shape, rootTag) != nullptr,
                   t.accepted);
}

INSTANTIATE_TEST_SUITE_P (
    Table, GuardedXmlTexts,
    ::testing::Values (
        Text { "State", Shape::state, "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <DRRoreRurediriz lastUIWidth=\"690\" a-b.c=\"\">"
                                      "<PARAM id=\"Level\" value=\"1.5\"/><EXPARAM id=\"x\" value=\"a\"/></DRRoreRurediriz>", true },
        Text { "StateIndentedOtherCaseAfterBlanksAndMark", Shape::state, "\xef\xbb\xbf \r\n<drrorerurediriz>\n  <PARAM id=\"a\"/>\n</drrorerurediriz>\n", true },
        Text { "StateControlCharactersAsJuceWritesThem", Shape::state, "<DRRoreRurediriz name=\"a&#1;&#31;&#65535;b\"/>", true },
        Text { "StateControlCharacterReferenceUnfinished", Shape::state, "<DRRoreRurediriz name=\"a&#1b\"/>", false },
        Text { "StateUnfinishedCharacterReference", Shape::state, "<DRRoreRurediriz>&#x", false },
        Text { "StateInstructionAndText", Shape::state, "<DRRoreRurediriz><?pi x?>text</DRRoreRurediriz>", false },
        Text { "StateInstructionAfterTheRoot", Shape::state, "<?xml version=\"1.0\"?><DRRoreRurediriz/><?pi?>", false },
        Text { "StateDeeplyNested", Shape::state, "<DRRoreRurediriz>" + nested (300000) + "</DRRoreRurediriz>", false },
        Text { "StateEntityDeclared", Shape::state, "<!DOCTYPE a [<!ENTITY e \"x\">]><DRRoreRurediriz a=\"&e;\"/>", false },
        Text { "StateEntityUndeclared", Shape::state, "<DRRoreRurediriz a=\"&e;\"/>", false },
        Text { "StateComment", Shape::state, "<DRRoreRurediriz><PARAM/><!-- c --></DRRoreRurediriz>", false },
        Text { "StateCharacterData", Shape::state, "<DRRoreRurediriz><![CDATA[ ]]></DRRoreRurediriz>", false },
        Text { "StateText", Shape::state, "<DRRoreRurediriz>&#65;</DRRoreRurediriz>", false },
        Text { "StateOtherRoot", Shape::state, "<Other><PARAM/></Other>", false },
        Text { "StateOtherChild", Shape::state, "<DRRoreRurediriz><Param/></DRRoreRurediriz>", false },
        Text { "StateGrandchild", Shape::state, "<DRRoreRurediriz><PARAM><PARAM/></PARAM></DRRoreRurediriz>", false },
        Text { "StateBinaryAttribute", Shape::state, "<DRRoreRurediriz base64:a=\"-1.a\"/>", false },
        Text { "StateNonAsciiName", Shape::state, "<DRRoreRurediriz><PARAM \xc3\xa9=\"1\"/></DRRoreRurediriz>", false },
        Text { "StateOtherEncoding", Shape::state, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><DRRoreRurediriz/>", false },
        Text { "StateBadUtf8", Shape::state, "<DRRoreRurediriz name=\"\xc3\x28\"/>", false },
        Text { "StateNul", Shape::state, std::string ("<DRRoreRurediriz/>\0<x>", 22), false },
        Text { "Empty", Shape::element, "", false },
        Text { "DepthAtTheLimit", Shape::element, nested (32), true },
        Text { "DepthOverTheLimit", Shape::element, nested (33), false },
        Text { "OverTheSizeLimit", Shape::element, "<a b=\"" + std::string (KA::GuardedXml::maximumBytes, 'x') + "\"/>", false },
        Text { "Setup", Shape::deviceSetup, "<DEVICESETUP deviceType=\"ALSA\" audioDeviceRate=\"48000.0\" audioDeviceBufferSize=\"512\" "
                                            "audioDeviceInChans=\"11\"><MIDIINPUT name=\"a\" identifier=\"b\"/></DEVICESETUP>", true },
        Text { "SetupRateOverflowing", Shape::deviceSetup, "<DEVICESETUP audioDeviceRate=\"1e99999999999\"/>", false },
        Text { "SetupSizeOutOfRange", Shape::deviceSetup, "<DEVICESETUP audioDeviceBufferSize=\"-2147483648\"/>", false },
        Text { "SetupChannelsNotBits", Shape::deviceSetup, "<DEVICESETUP audioDeviceOutChans=\"12\"/>", false },
        Text { "SetupOtherTag", Shape::deviceSetup, "<OTHER/>", false },
        Text { "SetupMixedText", Shape::deviceSetup, "<DEVICESETUP>x<MIDIINPUT/></DEVICESETUP>", false },
        Text { "Settings", Shape::settingsFile, settings ("  <VALUE name=\"filterState\" val=\"12.abc\"/>\n  <VALUE name=\"audioSetup\">\n"
                                                          "    <DEVICESETUP deviceType=\"ALSA\"/>\n  </VALUE>\n  <VALUE name=\"e\" val=\" &lt;A/&gt;\"/>"), true },
        Text { "SettingsEmpty", Shape::settingsFile, "<PROPERTIES/>", true },
        Text { "SettingsMixedText", Shape::settingsFile, settings ("<VALUE name=\"audioSetup\"><DEVICESETUP>x<A><B/></A></DEVICESETUP></VALUE>"), false },
        Text { "SettingsInstruction", Shape::settingsFile, settings ("<VALUE name=\"a\"><DEVICESETUP><?pi x?>text</DEVICESETUP></VALUE>"), false },
        Text { "SettingsValueParsedOnSave", Shape::settingsFile, settings ("<VALUE name=\"a\" val=\"&lt;A&gt;&lt;?pi x?&gt;t&lt;/A&gt;\"/>"), false },
        Text { "SettingsValueWithBoth", Shape::settingsFile, settings ("<VALUE name=\"a\" val=\"1\"><B/></VALUE>"), false },
        Text { "SettingsValueWithNeither", Shape::settingsFile, settings ("<VALUE name=\"a\"/>"), false },
        Text { "SettingsValueWithTwoElements", Shape::settingsFile, settings ("<VALUE name=\"a\"><B/><C/></VALUE>"), false },
        Text { "SettingsValueWithoutName", Shape::settingsFile, settings ("<VALUE name=\"\" val=\"1\"/>"), false },
        Text { "SettingsValueOtherAttribute", Shape::settingsFile, settings ("<VALUE name=\"a\" val=\"1\" x=\"2\"/>"), false },
        Text { "SettingsOtherChild", Shape::settingsFile, settings ("<OTHER name=\"a\" val=\"1\"/>"), false },
        Text { "SettingsRootAttribute", Shape::settingsFile, "<PROPERTIES a=\"1\"/>", false },
        Text { "SettingsBinary", Shape::settingsFile, std::string ("PROP\x01\0\0\0", 8), false }),
    [] (const auto& p) { return std::string (p.param.name); });

TEST (NumberText, ReadsBoundedDecimalNumbersOnly)
{
    const std::pair<const char*, std::optional<double>> cases[] {
        { "1.5", 1.5 }, { " -3 ", -3.0 }, { "+2e3", 2000.0 }, { ".25", 0.25 }, { "1.8999996185302734375", 1.8999996185302734375 },
        { "1e99999999999", {} }, { "-1e400", {} }, { "nan", {} }, { "inf", {} }, { "0x10", {} }, { "1e", {} }, { "+-1", {} },
        { "1 2", {} }, { "", {} }, { "1.0dB", {} }
    };

    for (const auto& [text, expected] : cases)
        EXPECT_EQ (KA::readNumberText (text), expected) << text;

    EXPECT_FALSE (KA::readNumberText ("1" + juce::String::repeatedString ("0", 64)).has_value());
    EXPECT_EQ (KA::readStoredNumber (juce::var (7)), 7.0);
    EXPECT_FALSE (KA::readStoredNumber (juce::var (std::numeric_limits<double>::infinity())).has_value());
}
