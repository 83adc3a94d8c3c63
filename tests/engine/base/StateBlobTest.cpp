#include "tests/engine/base/ProbeProcessor.h"

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

juce::uint32 readLE32 (const juce::MemoryBlock& block, size_t offset)
{
    const auto* b = static_cast<const unsigned char*> (block.getData()) + offset;
    return (juce::uint32) b[0] | ((juce::uint32) b[1] << 8) | ((juce::uint32) b[2] << 16) | ((juce::uint32) b[3] << 24);
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

std::string stateXml (const std::string& tag, float gain)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <" + tag + "><PARAM id=\"gain\" value=\""
           + std::to_string (gain) + "\"/></" + tag + ">";
}
} // namespace

TEST (StateBlob, LayoutIsMagicLengthSingleLineXmlAndNul)
{
    ProbeProcessor processor;
    const auto blob = blobOf (processor);

    ASSERT_GT (blob.getSize(), 9u);
    EXPECT_EQ (0, std::memcmp (blob.getData(), "VC2!", 4));
    EXPECT_EQ (readLE32 (blob, 4), blob.getSize() - 9);
    EXPECT_EQ (static_cast<const char*> (blob.getData())[blob.getSize() - 1], '\0');

    const std::string text (static_cast<const char*> (blob.getData()) + 8, blob.getSize() - 9);
    EXPECT_EQ (text.rfind ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <DRRoreRurediriz>", 0), 0u) << text;
    EXPECT_EQ (text.find ('\n'), std::string::npos);
    EXPECT_EQ (text.find ('\r'), std::string::npos);
    EXPECT_EQ (text.find ('\0'), std::string::npos);

    // One PARAM child per parameter, "power" last, real values.
    auto xml = juce::parseXML (juce::String (text));
    ASSERT_NE (xml, nullptr);
    juce::StringArray ids;
    for (auto* child : xml->getChildIterator())
    {
        EXPECT_EQ (child->getTagName(), "PARAM");
        ids.add (child->getStringAttribute ("id"));
    }
    EXPECT_EQ (ids.joinIntoString (","), "gain,toggle,power");
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

    EXPECT_FLOAT_EQ (target.getParameter ("gain"), -7.5f);
    EXPECT_FLOAT_EQ (target.getParameter ("toggle"), 1.0f);
    EXPECT_FLOAT_EQ (target.getParameter ("power"), 0.0f);
    EXPECT_EQ ((int) target.parameters.state.getProperty ("lastUIWidth"), 812);
    EXPECT_EQ (target.parameters.state.getProperty ("CurrentPreset").toString(), "/tmp/a.xml");
    EXPECT_EQ (blobOf (target), blob);
}

TEST (StateBlob, ContainsAChangeMadeJustBeforeWithoutAMessageLoop)
{
    ProbeProcessor processor;
    processor.setParameter ("gain", 3.3f);

    const auto blob = blobOf (processor);
    const juce::String text (static_cast<const char*> (blob.getData()) + 8, blob.getSize() - 9);
    EXPECT_TRUE (text.contains ("<PARAM id=\"gain\" value=\"3.3")) << text;

    processor.storeABState();
    ASSERT_NE (processor.getABSnapshot(), nullptr);
    auto* gain = processor.getABSnapshot()->getChildByAttribute ("id", "gain");
    ASSERT_NE (gain, nullptr);
    EXPECT_NEAR (gain->getDoubleAttribute ("value"), 3.3, 1e-5);
}

TEST (StateBlob, UnusableBlobsLeaveTheStateUnchanged)
{
    ProbeProcessor processor;
    processor.setParameter ("gain", 1.0f);
    const auto before = blobOf (processor);

    const auto valid = stateXml ("DRRoreRurediriz", 9.0f);
    const auto validLength = (juce::uint32) valid.size();

    struct Case { const char* name; juce::MemoryBlock data; };
    std::vector<Case> cases;
    cases.push_back ({ "eight bytes", makeBlob (0x21324356, 1, "", false) });
    cases.push_back ({ "no magic", makeBlob (0x21324357, validLength, valid) });
    cases.push_back ({ "zero length", makeBlob (0x21324356, 0, valid) });
    cases.push_back ({ "length at 2^31", makeBlob (0x21324356, 0x80000000u, valid) });
    cases.push_back ({ "length at 2^32-1", makeBlob (0x21324356, 0xffffffffu, valid) });
    cases.push_back ({ "foreign root", makeBlob (0x21324356, (juce::uint32) stateXml ("OtherRoot", 9.0f).size(), stateXml ("OtherRoot", 9.0f)) });
    cases.push_back ({ "not xml", makeBlob (0x21324356, 5, "hello") });
    cases.push_back ({ "bad utf-8", makeBlob (0x21324356, 4, "\xc3\x28\xf0\x90") });
    juce::MemoryBlock plain (valid.data(), valid.size());
    cases.push_back ({ "plain xml", plain });

    for (auto& c : cases)
    {
        processor.setStateInformation (c.data.getData(), (int) c.data.getSize());
        EXPECT_EQ (blobOf (processor), before) << c.name;
    }

    processor.setStateInformation (nullptr, 100);
    processor.setStateInformation (before.getData(), 8);
    processor.setStateInformation (before.getData(), -5);
    EXPECT_EQ (blobOf (processor), before);
}

TEST (StateBlob, AcceptsRootTagInOtherCaseAndOverlongLength)
{
    {
        ProbeProcessor processor;
        const auto xml = stateXml ("drroRERUREDIRIZ", 4.5f);
        const auto blob = makeBlob (0x21324356, (juce::uint32) xml.size(), xml);
        processor.setStateInformation (blob.getData(), (int) blob.getSize());
        EXPECT_FLOAT_EQ (processor.getParameter ("gain"), 4.5f);
    }
    {
        ProbeProcessor processor;
        const auto xml = stateXml ("DRRoreRurediriz", -2.0f);
        const auto blob = makeBlob (0x21324356, 100000, xml);
        processor.setStateInformation (blob.getData(), (int) blob.getSize());
        EXPECT_FLOAT_EQ (processor.getParameter ("gain"), -2.0f);
    }
}

TEST (StateBlob, MissingParamChildKeepsTheCurrentValue)
{
    ProbeProcessor processor;
    processor.setParameter ("toggle", 1.0f);

    processor.replaceState (juce::ValueTree::fromXml ("<DRRoreRurediriz><PARAM id=\"gain\" value=\"6\"/></DRRoreRurediriz>"));

    EXPECT_FLOAT_EQ (processor.getParameter ("gain"), 6.0f);
    EXPECT_FLOAT_EQ (processor.getParameter ("toggle"), 1.0f);
    EXPECT_TRUE (processor.parameters.state.getChildWithProperty ("id", "toggle").isValid());
    EXPECT_EQ (processor.parameters.state, processor.extensionState.tree);
}

TEST (StateBlob, ProcessingInstructionInsideTheDocumentIsRefusedNotLoopedOn)
{
    // JUCE's parser never returns on a processing instruction followed by text
    // inside an element; such a blob must be ignored, not hang the program.
    const std::string hostile = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<DRRoreRurediriz>"
                                "<PARAM id=\"gain\" value=\"5\"/><?pi x?> text</DRRoreRurediriz>";
    ProbeProcessor processor;
    const auto blob = makeBlob (0x21324356, (juce::uint32) hostile.size(), hostile);
    processor.setStateInformation (blob.getData(), (int) blob.getSize());
    EXPECT_FLOAT_EQ (processor.getParameter ("gain"), 0.0f);
}
