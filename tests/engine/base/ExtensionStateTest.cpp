#include "engine/ExtensionValueTreeState.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct Recorder : KA::ExtensionValueTreeState::Listener
{
    Recorder (std::vector<juce::String>& logToUse, juce::String nameToUse)
        : log (logToUse), name (std::move (nameToUse)) {}

    void extensionParameterChanged (const juce::String& id, const juce::var& value) override
    {
        log.push_back (name + ":" + id + "=" + (value.isVoid() ? juce::String ("void") : value.toString()));
        if (onCall)
            onCall();
    }

    std::vector<juce::String>& log;
    juce::String name;
    std::function<void()> onCall;
};

struct ExtensionState : ::testing::Test
{
    ExtensionState()
    {
        state.createAndAddExtensionParameter ("colour", "red");
        state.createAndAddExtensionParameter ("size", 3);
        state.addListener (&first);
        state.addListener (&second);
    }

    juce::UndoManager undo;
    KA::ExtensionValueTreeState state { &undo };
    std::vector<juce::String> log;
    Recorder first { log, "first" }, second { log, "second" };
};
} // namespace

TEST_F (ExtensionState, RedirectCreatesMissingChildrenAndNotifiesLastListenerFirst)
{
    state.tree = juce::ValueTree::fromXml ("<Root><EXPARAM id=\"colour\" value=\"green\"/></Root>");

    EXPECT_EQ (log, (std::vector<juce::String> { "second:colour=green", "first:colour=green" }));

    auto size = state.tree.getChildWithProperty ("id", "size");
    ASSERT_TRUE (size.isValid());
    EXPECT_EQ (size.getType().toString(), "EXPARAM");
    EXPECT_FALSE (size.hasProperty ("value"));
}

TEST_F (ExtensionState, ValueChangesOfDirectChildrenOnlyAreFollowed)
{
    state.tree = juce::ValueTree::fromXml ("<Root><EXPARAM id=\"colour\" value=\"green\"/>"
                                           "<Group><EXPARAM id=\"size\" value=\"9\"/></Group></Root>");
    log.clear();

    state.tree.getChildWithName ("Group").getChild (0).setProperty ("value", 10, nullptr);
    EXPECT_TRUE (log.empty());

    state.getOrCreateChildValueTree ("size").setProperty ("value", 5, nullptr);
    EXPECT_EQ (log, (std::vector<juce::String> { "second:size=5", "first:size=5" }));

    log.clear();
    state.getOrCreateChildValueTree ("colour").removeProperty ("value", nullptr);
    EXPECT_EQ (log, (std::vector<juce::String> { "second:colour=void", "first:colour=void" }));
}

TEST_F (ExtensionState, ListenerRemovedDuringNotificationEndsTheRoundSafely)
{
    second.onCall = [this] { state.removeListener (&first); state.removeListener (&second); };
    state.tree = juce::ValueTree::fromXml ("<Root><EXPARAM id=\"colour\" value=\"blue\"/></Root>");
    EXPECT_EQ (log, (std::vector<juce::String> { "second:colour=blue" }));
}

TEST_F (ExtensionState, ResetWritesDefaultsThroughTheUndoManager)
{
    state.tree = juce::ValueTree::fromXml ("<Root><EXPARAM id=\"colour\" value=\"green\"/></Root>");
    undo.beginNewTransaction();
    state.resetToDefaults();

    EXPECT_EQ (state.getExtensionParameterValue ("colour").toString(), "red");
    EXPECT_EQ ((int) state.getExtensionParameterValue ("size"), 3);

    undo.undo();
    EXPECT_EQ (state.getExtensionParameterValue ("colour").toString(), "green");
}

TEST (ExtensionStateEmpty, NoParametersMeansNoChildrenAndNoCalls)
{
    KA::ExtensionValueTreeState state (nullptr);
    std::vector<juce::String> log;
    Recorder recorder (log, "r");
    state.addListener (&recorder);

    state.tree = juce::ValueTree::fromXml ("<Root><EXPARAM id=\"x\" value=\"1\"/></Root>");
    state.tree.getChild (0).setProperty ("value", 2, nullptr);

    EXPECT_TRUE (log.empty());
    EXPECT_EQ (state.tree.getNumChildren(), 1);
}

TEST (ExtensionStateEmpty, LookupMatchesIdWhateverTheChildType)
{
    KA::ExtensionValueTreeState state (nullptr);
    state.tree = juce::ValueTree::fromXml ("<Root><PARAM id=\"gain\" value=\"1\"/></Root>");
    EXPECT_EQ (state.getOrCreateChildValueTree ("gain").getType().toString(), "PARAM");
    EXPECT_EQ (state.tree.getNumChildren(), 1);

    // Invalid tree: a detached child is made and nothing else happens.
    KA::ExtensionValueTreeState detached (nullptr);
    auto child = detached.getOrCreateChildValueTree ("x");
    EXPECT_EQ (child.getType().toString(), "EXPARAM");
    EXPECT_EQ (child.getProperty ("id").toString(), "x");
}
