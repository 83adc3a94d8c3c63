#include "tests/common/ProbeProcessor.h"

#include "tests/common/TestEnvironment.h"

#include <gtest/gtest.h>

using KA::Test::ProbeProcessor;

namespace
{
juce::XmlElement* preset (const juce::String& tag, float gain, bool toggle)
{
    return juce::parseXML ("<" + tag + " CurrentPreset=\"factory\"><PARAM id=\"gain\" value=\"" + juce::String (gain)
                                + "\"/><PARAM id=\"toggle\" value=\"" + (toggle ? "1" : "0") + "\"/></" + tag + ">").release();
}
} // namespace

TEST (Programs, NamesLoadingAndUnusablePrograms)
{
    ProbeProcessor processor;
    processor.addFactoryPreset ("Warm", preset ("DRRoreRurediriz", 4.0f, true));
    processor.addFactoryPreset ("Foreign", preset ("OtherRoot", 9.0f, true));
    processor.addFactoryPreset ("Cold", preset ("drrorerurediriz", -4.0f, false));
    processor.addFactoryPreset ("Nothing", nullptr);

    EXPECT_EQ (processor.getNumPrograms(), 4);
    const juce::StringArray names { "Default", "Warm", "Foreign", "Cold", "Default" };
    for (int i = -1; i < 5; ++i)
        EXPECT_EQ (processor.getProgramName (i), names[juce::jmax (0, i)]) << i;
    processor.changeProgramName (0, "Renamed");
    processor.changeProgramName (1, "Warmer");
    EXPECT_EQ (processor.getProgramName (0), "Default");
    EXPECT_EQ (processor.getProgramName (1), "Warmer");

    // Zero when already zero does nothing.
    processor.setParameter ("gain", 5.0f);
    processor.setCurrentProgram (0);
    EXPECT_EQ (processor.getParameter ("gain"), 5.0f);

    // The document does not mention "power": it keeps its current value.
    processor.setParameter ("power", 0.0f);
    processor.setCurrentProgram (1);
    EXPECT_EQ (processor.getCurrentProgram(), 1);
    EXPECT_EQ (processor.getParameter ("power"), 0.0f);
    EXPECT_EQ (processor.getParameter ("gain"), 4.0f);
    EXPECT_EQ (processor.getParameter ("toggle"), 1.0f);
    EXPECT_EQ (processor.parameters.state.getProperty ("CurrentPreset").toString(), "factory");
    EXPECT_EQ (processor.parameters.state.getProperty ("name").toString(), "Warmer");
    EXPECT_EQ (processor.getFactoryPreset (0)->getNumChildElements(), 2);

    // The same index again does nothing, even after the state changed.
    processor.setParameter ("gain", 1.0f);
    processor.setCurrentProgram (1);
    EXPECT_EQ (processor.getParameter ("gain"), 1.0f);
    processor.setCurrentProgram (3);
    EXPECT_EQ (processor.getParameter ("gain"), -4.0f);
    EXPECT_EQ (processor.getParameter ("toggle"), 0.0f);

    // A foreign root, no document, "Default" and out-of-range indexes reset every parameter.
    for (int index : { 2, 4, 0, 99, -3 })
    {
        processor.setCurrentProgram (1);
        processor.setParameter ("power", 0.0f);
        processor.setCurrentProgram (index);
        EXPECT_EQ (processor.getCurrentProgram(), index);
        EXPECT_TRUE (processor.getParameter ("gain") == 0.0f && processor.getParameter ("toggle") == 0.0f && processor.getParameter ("power") == 1.0f) << index;
    }
}

TEST (ABSnapshots, StoreKeepsTheLastSwapExchangesAndWithoutASnapshotResets)
{
    ProbeProcessor processor;
    processor.undoManager.beginNewTransaction();
    processor.parameters.state.setProperty ("lastUIWidth", 700, &processor.undoManager);
    processor.setParameter ("gain", -6.0f);
    ASSERT_TRUE (processor.undoManager.canUndo());

    // No snapshot yet: a reset that clears the undo history and keeps root properties.
    processor.swapABState();
    EXPECT_EQ (processor.getParameter ("gain"), 0.0f);
    processor.flushParameterValues(); // as the parameter state's timer would
    EXPECT_FALSE (processor.undoManager.canUndo());
    EXPECT_EQ ((int) processor.parameters.state.getProperty ("lastUIWidth"), 700);
    processor.swapABState();
    EXPECT_EQ (processor.getParameter ("gain"), -6.0f);

    processor.setParameter ("gain", 1.0f);
    processor.storeABState();
    processor.setParameter ("gain", 2.0f);
    processor.storeABState();
    processor.setParameter ("gain", 3.0f);
    processor.swapABState();
    EXPECT_EQ (processor.getParameter ("gain"), 2.0f);
    EXPECT_NEAR (processor.getABSnapshot()->getChildByAttribute ("id", "gain")->getDoubleAttribute ("value"), 3.0, 1e-6);
    processor.swapABState();
    EXPECT_EQ (processor.getParameter ("gain"), 3.0f);

    // A state with a foreign tag, or none, is ignored.
    processor.setStateFromXml (nullptr);
    juce::XmlElement foreign ("Foreign");
    processor.setStateFromXml (&foreign);
    EXPECT_EQ (processor.parameters.state.getType().toString(), "DRRoreRurediriz");
    EXPECT_EQ (processor.getParameter ("gain"), 3.0f);
}

TEST (UndoManager, SharedByParameterStateAndExtensionState)
{
    ProbeProcessor processor;
    processor.extensionState.createAndAddExtensionParameter ("colour", "red");
    processor.undoManager.beginNewTransaction();
    processor.extensionState.getOrCreateChildValueTree ("colour").setProperty ("value", "blue", &processor.undoManager);
    EXPECT_EQ (processor.extensionState.getExtensionParameterValue ("colour").toString(), "blue");
    processor.undoManager.undo();
    EXPECT_TRUE (processor.extensionState.getExtensionParameterValue ("colour").isVoid());

    // A parameter change reaches the same history once it is written into the tree.
    processor.undoManager.clearUndoHistory();
    processor.undoManager.beginNewTransaction();
    processor.setParameter ("gain", 4.0f);
    (void) processor.copyFlushedState();
    ASSERT_TRUE (processor.undoManager.canUndo());
    processor.undoManager.undo();
    EXPECT_EQ (processor.getParameter ("gain"), 0.0f);

    // The "Default" preset's reset leaves nothing to undo, also after the timer's write.
    processor.undoManager.redo();
    processor.resetParametersToDefault();
    processor.flushParameterValues();
    EXPECT_FALSE (processor.undoManager.undo());
    EXPECT_EQ (processor.getParameter ("gain"), 0.0f);
}

TEST (GlobalSettings, FileLivesUnderHomeAndKeepsShowMailForm)
{
    {
        ProbeProcessor processor;
        auto* settings = processor.globalSettings->getUserSettings();
        settings->setValue ("showMailForm", false);
        EXPECT_TRUE (settings->saveIfNeeded());
    }

    const auto file = KA::Test::getTemporaryHome().getChildFile (".DRRoreRurediriz Global Settings/DRRoreRurediriz Global Settings.settings");
    auto xml = juce::parseXML (file);
    ASSERT_NE (xml, nullptr) << file.getFullPathName();
    auto* value = xml->getChildByAttribute ("name", "showMailForm");
    ASSERT_NE (value, nullptr);
    EXPECT_FALSE (value->getBoolAttribute ("val", true));
    EXPECT_FALSE (ProbeProcessor().globalSettings->getUserSettings()->getBoolValue ("showMailForm", true));
}

TEST (ChannelConfigurations, AreMonoMonoMonoStereoStereoStereo)
{
    using InOuts = KA::SettingsPluginInOuts;
    EXPECT_EQ (ProbeProcessor().getChannelConfigurations(), (juce::Array<InOuts> { InOuts { 1, 1 }, InOuts { 1, 2 }, InOuts { 2, 2 } }));
}
