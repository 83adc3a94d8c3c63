#include "tests/common/ProbeProcessor.h"

#include <gtest/gtest.h>

#include <cstring>

using KA::Test::ProbeProcessor;

namespace
{
juce::MemoryBlock blobOf (ProbeProcessor& processor)
{
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);
    return blob;
}

juce::MemoryBlock makeBlob (juce::uint32 magic, juce::uint32 length, const std::string& text, bool nul = true)
{
    unsigned char header[8];
    for (int i = 0; i < 4; ++i)
    {
        header[i] = (unsigned char) ((magic >> (8 * i)) & 0xff);
        header[4 + i] = (unsigned char) ((length >> (8 * i)) & 0xff);
    }
    juce::MemoryBlock block (header, sizeof (header));
    block.append (text.data(), text.size());
    if (nul)
        block.append ("", 1);
    return block;
}

constexpr juce::uint32 magic = 0x21324356;

std::string stateXml (const std::string& tag, float gain)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <" + tag + "><PARAM id=\"gain\" value=\"" + std::to_string (gain) + "\"/></" + tag + ">";
}

juce::MemoryBlock blobFor (const std::string& xml) { return makeBlob (magic, (juce::uint32) xml.size(), xml); }
} // namespace

TEST (StateBlob, LayoutIsMagicLengthSingleLineXmlAndNul)
{
    ProbeProcessor processor;
    processor.setParameter ("gain", 3.3f); // just before, without a message loop
    const auto blob = blobOf (processor);
    const auto* bytes = static_cast<const unsigned char*> (blob.getData());

    ASSERT_GT (blob.getSize(), 9u);
    EXPECT_EQ (0, std::memcmp (bytes, "VC2!", 4));
    EXPECT_EQ ((size_t) (bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24), blob.getSize() - 9);
    EXPECT_EQ (bytes[blob.getSize() - 1], '\0');

    const std::string text ((const char*) bytes + 8, blob.getSize() - 9);
    EXPECT_EQ (text.rfind ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <DRRoreRurediriz><PARAM id=\"gain\" value=\"3.3", 0), 0u) << text;
    EXPECT_EQ (text.find_first_of (std::string ("\r\n\0", 3)), std::string::npos);

    // One PARAM child per parameter, "power" last.
    auto xml = juce::parseXML (juce::String (text));
    ASSERT_NE (xml, nullptr);
    juce::StringArray children;
    for (auto* child : xml->getChildIterator())
        children.add (child->getTagName() + ":" + child->getStringAttribute ("id"));
    EXPECT_EQ (children.joinIntoString (","), "PARAM:gain,PARAM:toggle,PARAM:power");

    processor.storeABState();
    EXPECT_NEAR (processor.getABSnapshot()->getChildByAttribute ("id", "gain")->getDoubleAttribute ("value"), 3.3, 1e-5);
}

TEST (StateBlob, RoundTripRestoresParametersAndRootProperties)
{
    ProbeProcessor source;
    source.setParameter ("gain", -7.5f);
    source.setParameter ("toggle", 1.0f);
    source.setParameter ("power", 0.0f);
    source.parameters.state.setProperty ("lastUIWidth", 812, nullptr);
    source.parameters.state.setProperty ("CurrentPreset", "/tmp/a.xml", nullptr);
    const auto blob = blobOf (source);

    ProbeProcessor target;
    target.setStateInformation (blob.getData(), (int) blob.getSize());
    EXPECT_EQ (target.getParameter ("gain"), -7.5f);
    EXPECT_EQ (target.getParameter ("toggle"), 1.0f);
    EXPECT_EQ (target.getParameter ("power"), 0.0f);
    EXPECT_EQ (blobOf (target), blob);
    EXPECT_EQ (target.parameters.state.getProperty ("CurrentPreset").toString(), "/tmp/a.xml");

    // The root tag in another case and a length past the end are accepted.
    for (auto [xml, length] : { std::pair { stateXml ("drroRERUREDIRIZ", 4.5f), 0u }, { stateXml ("DRRoreRurediriz", -2.0f), 100000u } })
    {
        const auto other = makeBlob (magic, length == 0 ? (juce::uint32) xml.size() : length, xml);
        target.setStateInformation (other.getData(), (int) other.getSize());
        EXPECT_EQ (target.getParameter ("gain"), length == 0 ? 4.5f : -2.0f);
    }
}

TEST (StateBlob, UnusableBlobsLeaveTheStateUnchanged)
{
    ProbeProcessor processor;
    processor.setParameter ("gain", 1.0f);
    const auto before = blobOf (processor);
    const auto valid = stateXml ("DRRoreRurediriz", 9.0f);
    const auto validLength = (juce::uint32) valid.size();

    // JUCE's parser never returns on a processing instruction followed by text inside an element.
    const std::pair<const char*, juce::MemoryBlock> cases[] {
        { "eight bytes", makeBlob (magic, 1, "", false) },
        { "no magic", makeBlob (magic + 1, validLength, valid) },
        { "zero length", makeBlob (magic, 0, valid) },
        { "length at 2^31", makeBlob (magic, 0x80000000u, valid) },
        { "length at 2^32-1", makeBlob (magic, 0xffffffffu, valid) },
        { "foreign root", blobFor (stateXml ("OtherRoot", 9.0f)) },
        { "not xml", makeBlob (magic, 5, "hello") },
        { "bad utf-8", makeBlob (magic, 4, "\xc3\x28\xf0\x90") },
        { "plain xml", juce::MemoryBlock (valid.data(), valid.size()) },
        { "instruction and text", blobFor ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<DRRoreRurediriz><PARAM id=\"gain\" value=\"5\"/><?pi x?> text</DRRoreRurediriz>") },
    };
    for (auto& [name, data] : cases)
    {
        processor.setStateInformation (data.getData(), (int) data.getSize());
        EXPECT_EQ (blobOf (processor), before) << name;
    }

    processor.setStateInformation (nullptr, 100);
    processor.setStateInformation (before.getData(), 8);
    processor.setStateInformation (before.getData(), -5);
    EXPECT_EQ (blobOf (processor), before);
}

TEST (StateBlob, MissingParamChildKeepsTheCurrentValue)
{
    ProbeProcessor processor;
    processor.setParameter ("toggle", 1.0f);
    processor.replaceState (juce::ValueTree::fromXml ("<DRRoreRurediriz><PARAM id=\"gain\" value=\"6\"/></DRRoreRurediriz>"));
    EXPECT_EQ (processor.getParameter ("gain"), 6.0f);
    EXPECT_EQ (processor.getParameter ("toggle"), 1.0f);
    EXPECT_TRUE (processor.parameters.state.getChildWithProperty ("id", "toggle").isValid());
    EXPECT_EQ (processor.parameters.state, processor.extensionState.tree);
}
