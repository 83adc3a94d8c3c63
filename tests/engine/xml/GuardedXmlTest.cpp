#include "engine/xml/GuardedXml.h"
#include "engine/xml/NumberText.h"

#include <gtest/gtest.h>

using KA::GuardedXml::Refusal;
using KA::GuardedXml::Shape;

namespace
{
struct Text
{
    const char* name;
    Shape shape;
    std::string text;
    Refusal refusal;
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

TEST_P (GuardedXmlTexts, AreAcceptedOnlyWhenSoundAndOfTheirShapeAndRefusedWithTheirReason)
{
    const auto& t = GetParam();
    const auto accepted = t.refusal == Refusal::none;
    EXPECT_EQ (KA::GuardedXml::check (t.text.data(), t.text.size(), t.shape, rootTag), t.refusal);

    // The same text as a string, where a string can hold it.
    if (t.text.find ('\0') == std::string::npos && juce::CharPointer_UTF8::isValidString (t.text.data(), (int) t.text.size()))
    {
        EXPECT_EQ (KA::GuardedXml::parse (juce::String::fromUTF8 (t.text.data(), (int) t.text.size()), t.shape, rootTag) != nullptr,
                   accepted);
    }
}

INSTANTIATE_TEST_SUITE_P (
    Table, GuardedXmlTexts,
    ::testing::Values (
        Text { "State", Shape::state, "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <DRRoreRurediriz lastUIWidth=\"690\" a-b.c=\"\">"
                                      "<PARAM id=\"Level\" value=\"1.5\"/><EXPARAM id=\"x\" value=\"a\"/></DRRoreRurediriz>", Refusal::none },
        Text { "StateIndentedOtherCaseAfterBlanksAndMark", Shape::state, "\xef\xbb\xbf \r\n<drrorerurediriz>\n  <PARAM id=\"a\"/>\n</drrorerurediriz>\n", Refusal::none },
        Text { "StateControlCharactersAsJuceWritesThem", Shape::state, "<DRRoreRurediriz name=\"a&#1;&#31;&#65535;b\"/>", Refusal::none },
        Text { "StateControlCharacterReferenceUnfinished", Shape::state, "<DRRoreRurediriz name=\"a&#1b\"/>", Refusal::damaged },
        Text { "StateUnfinishedCharacterReference", Shape::state, "<DRRoreRurediriz>&#x", Refusal::damaged },
        Text { "StateInstructionAndText", Shape::state, "<DRRoreRurediriz><?pi x?>text</DRRoreRurediriz>", Refusal::unexpectedContent },
        Text { "StateInstructionAfterTheRoot", Shape::state, "<?xml version=\"1.0\"?><DRRoreRurediriz/><?pi?>", Refusal::unexpectedContent },
        Text { "StateDeeplyNested", Shape::state, "<DRRoreRurediriz>" + nested (300000) + "</DRRoreRurediriz>", Refusal::unexpectedContent },
        Text { "StateEntityDeclared", Shape::state, "<!DOCTYPE a [<!ENTITY e \"x\">]><DRRoreRurediriz a=\"&e;\"/>", Refusal::unexpectedContent },
        Text { "StateEntityUndeclared", Shape::state, "<DRRoreRurediriz a=\"&e;\"/>", Refusal::damaged },
        Text { "StateComment", Shape::state, "<DRRoreRurediriz><PARAM/><!-- c --></DRRoreRurediriz>", Refusal::unexpectedContent },
        Text { "StateCharacterData", Shape::state, "<DRRoreRurediriz><![CDATA[ ]]></DRRoreRurediriz>", Refusal::unexpectedContent },
        Text { "StateText", Shape::state, "<DRRoreRurediriz>&#65;</DRRoreRurediriz>", Refusal::unexpectedContent },
        Text { "StateOtherRoot", Shape::state, "<Other><PARAM/></Other>", Refusal::wrongShape },
        Text { "StateOtherChild", Shape::state, "<DRRoreRurediriz><Param/></DRRoreRurediriz>", Refusal::unexpectedContent },
        Text { "StateGrandchild", Shape::state, "<DRRoreRurediriz><PARAM><PARAM/></PARAM></DRRoreRurediriz>", Refusal::unexpectedContent },
        Text { "StateBinaryAttribute", Shape::state, "<DRRoreRurediriz base64:a=\"-1.a\"/>", Refusal::unexpectedContent },
        Text { "StateNonAsciiName", Shape::state, "<DRRoreRurediriz><PARAM \xc3\xa9=\"1\"/></DRRoreRurediriz>", Refusal::unexpectedContent },
        Text { "StateOtherEncoding", Shape::state, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><DRRoreRurediriz/>", Refusal::otherEncoding },
        Text { "StateBadUtf8", Shape::state, "<DRRoreRurediriz name=\"\xc3\x28\"/>", Refusal::otherEncoding },
        Text { "StateNul", Shape::state, std::string ("<DRRoreRurediriz/>\0<x>", 22), Refusal::damaged },
        Text { "Empty", Shape::element, "", Refusal::damaged },
        Text { "DepthAtTheLimit", Shape::element, nested (32), Refusal::none },
        Text { "DepthOverTheLimit", Shape::element, nested (33), Refusal::unexpectedContent },
        Text { "OverTheSizeLimit", Shape::element, "<a b=\"" + std::string (KA::GuardedXml::maximumBytes, 'x') + "\"/>", Refusal::tooLarge },
        Text { "Setup", Shape::deviceSetup, "<DEVICESETUP deviceType=\"ALSA\" audioDeviceRate=\"48000.0\" audioDeviceBufferSize=\"512\" "
                                            "audioDeviceInChans=\"11\"><MIDIINPUT name=\"a\" identifier=\"b\"/></DEVICESETUP>", Refusal::none },
        Text { "SetupRateOverflowing", Shape::deviceSetup, "<DEVICESETUP audioDeviceRate=\"1e99999999999\"/>", Refusal::wrongShape },
        Text { "SetupSizeOutOfRange", Shape::deviceSetup, "<DEVICESETUP audioDeviceBufferSize=\"-2147483648\"/>", Refusal::wrongShape },
        Text { "SetupChannelsNotBits", Shape::deviceSetup, "<DEVICESETUP audioDeviceOutChans=\"12\"/>", Refusal::wrongShape },
        Text { "SetupOtherTag", Shape::deviceSetup, "<OTHER/>", Refusal::wrongShape },
        Text { "SetupMixedText", Shape::deviceSetup, "<DEVICESETUP>x<MIDIINPUT/></DEVICESETUP>", Refusal::unexpectedContent },
        Text { "Settings", Shape::settingsFile, settings ("  <VALUE name=\"filterState\" val=\"12.abc\"/>\n  <VALUE name=\"audioSetup\">\n"
                                                          "    <DEVICESETUP deviceType=\"ALSA\"/>\n  </VALUE>\n  <VALUE name=\"e\" val=\" &lt;A/&gt;\"/>"), Refusal::none },
        Text { "SettingsEmpty", Shape::settingsFile, "<PROPERTIES/>", Refusal::none },
        Text { "SettingsMixedText", Shape::settingsFile, settings ("<VALUE name=\"audioSetup\"><DEVICESETUP>x<A><B/></A></DEVICESETUP></VALUE>"), Refusal::unexpectedContent },
        Text { "SettingsInstruction", Shape::settingsFile, settings ("<VALUE name=\"a\"><DEVICESETUP><?pi x?>text</DEVICESETUP></VALUE>"), Refusal::unexpectedContent },
        Text { "SettingsValueParsedOnSave", Shape::settingsFile, settings ("<VALUE name=\"a\" val=\"&lt;A&gt;&lt;?pi x?&gt;t&lt;/A&gt;\"/>"), Refusal::unexpectedContent },
        Text { "SettingsValueWithBoth", Shape::settingsFile, settings ("<VALUE name=\"a\" val=\"1\"><B/></VALUE>"), Refusal::unexpectedContent },
        Text { "SettingsValueWithNeither", Shape::settingsFile, settings ("<VALUE name=\"a\"/>"), Refusal::unexpectedContent },
        Text { "SettingsValueWithTwoElements", Shape::settingsFile, settings ("<VALUE name=\"a\"><B/><C/></VALUE>"), Refusal::unexpectedContent },
        Text { "SettingsValueWithoutName", Shape::settingsFile, settings ("<VALUE name=\"\" val=\"1\"/>"), Refusal::unexpectedContent },
        Text { "SettingsValueOtherAttribute", Shape::settingsFile, settings ("<VALUE name=\"a\" val=\"1\" x=\"2\"/>"), Refusal::unexpectedContent },
        Text { "SettingsOtherChild", Shape::settingsFile, settings ("<OTHER name=\"a\" val=\"1\"/>"), Refusal::unexpectedContent },
        Text { "SettingsRootAttribute", Shape::settingsFile, "<PROPERTIES a=\"1\"/>", Refusal::wrongShape },
        Text { "SettingsBinary", Shape::settingsFile, std::string ("PROP\x01\0\0\0", 8), Refusal::damaged }),
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
