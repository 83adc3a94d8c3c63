#include "engine/ExtensionValueTreeState.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Log = std::vector<juce::String>;

struct Recorder : KA::ExtensionValueTreeState::Listener
{
    Recorder (Log& l, juce::String n) : log (l), name (std::move (n)) {}

    void extensionParameterChanged (const juce::String& id, const juce::var& value) override
    {
        log.push_back (name + ":" + id + "=" + (value.isVoid() ? juce::String ("void") : value.toString()));
        if (onCall)
            onCall();
    }

    Log& log;
    juce::String name;
    std::function<void()> onCall;
};
} // namespace

TEST (ExtensionState, FollowsDirectChildrenOnlyNotifiesTheLastListenerFirstAndResetsThroughUndo)
{
    juce::UndoManager undo;
    KA::ExtensionValueTreeState state { &undo };
    state.createAndAddExtensionParameter ("colour", "red");
    state.createAndAddExtensionParameter ("size", 3);
    Log log;
    Recorder first { log, "first" }, second { log, "second" };
    state.addListener (&first);
    state.addListener (&second);

    state.tree = juce::ValueTree::fromXml ("<Root><EXPARAM id=\"colour\" value=\"green\"/><Group><EXPARAM id=\"size\" value=\"9\"/></Group></Root>");
    EXPECT_EQ (log, (Log { "second:colour=green", "first:colour=green" }));

    // A missing child is made, without a value.
    auto size = state.tree.getChildWithProperty ("id", "size");
    EXPECT_EQ (size.getType().toString(), "EXPARAM");
    EXPECT_FALSE (size.hasProperty ("value"));

    log.clear();
    state.tree.getChildWithName ("Group").getChild (0).setProperty ("value", 10, nullptr);
    EXPECT_TRUE (log.empty());
    size.setProperty ("value", 5, nullptr);
    state.getOrCreateChildValueTree ("colour").removeProperty ("value", nullptr);
    EXPECT_EQ (log, (Log { "second:size=5", "first:size=5", "second:colour=void", "first:colour=void" }));

    state.getOrCreateChildValueTree ("colour").setProperty ("value", "green", nullptr);
    undo.beginNewTransaction();
    state.resetToDefaults();
    EXPECT_EQ (state.getExtensionParameterValue ("colour").toString(), "red");
    EXPECT_EQ ((int) state.getExtensionParameterValue ("size"), 3);
    undo.undo();
    EXPECT_EQ (state.getExtensionParameterValue ("colour").toString(), "green");

    // A listener removed during a notification ends the round safely.
    log.clear();
    second.onCall = [&] { state.removeListener (&first); state.removeListener (&second); };
    state.tree = juce::ValueTree::fromXml ("<Root><EXPARAM id=\"colour\" value=\"blue\"/></Root>");
    EXPECT_EQ (log, (Log { "second:colour=blue" }));
}

TEST (ExtensionState, WithoutParametersNoCallsAndLookupByIdWhateverTheType)
{
    KA::ExtensionValueTreeState state (nullptr);
    Log log;
    Recorder recorder (log, "r");
    state.addListener (&recorder);

    state.tree = juce::ValueTree::fromXml ("<Root><PARAM id=\"gain\" value=\"1\"/></Root>");
    state.tree.getChild (0).setProperty ("value", 2, nullptr);
    EXPECT_TRUE (log.empty());
    EXPECT_EQ (state.getOrCreateChildValueTree ("gain").getType().toString(), "PARAM");
    EXPECT_EQ (state.tree.getNumChildren(), 1);

    // Without a tree a detached child is made.
    auto child = KA::ExtensionValueTreeState (nullptr).getOrCreateChildValueTree ("x");
    EXPECT_EQ (child.getType().toString(), "EXPARAM");
    EXPECT_EQ (child.getProperty ("id").toString(), "x");
}
