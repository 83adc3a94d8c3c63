#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace KA
{
/** Values that are not audio parameters, kept in the processor's state tree as
    "EXPARAM" children beside the parameter state's "PARAM" children. It follows the
    tree and tells its listeners about every value that changed. */
class ExtensionValueTreeState : private juce::ValueTree::Listener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void extensionParameterChanged (const juce::String& parameterID, const juce::var& newValue) = 0;
    };

    struct ExtensionParameter
    {
        virtual ~ExtensionParameter() = default;

        juce::String id;
        juce::var value;
        juce::var defaultValue;
    };

    explicit ExtensionValueTreeState (juce::UndoManager* undoManagerToUse);
    ~ExtensionValueTreeState() override;

    /** Registers an extension parameter; its value is taken from the tree at the next
        synchronisation. */
    void createAndAddExtensionParameter (const juce::String& parameterID, const juce::var& defaultValue);

    /** The first child of the tree whose "id" is the given ID, whatever its type; a new
        "EXPARAM" child is appended when there is none. */
    juce::ValueTree getOrCreateChildValueTree (const juce::String& parameterID);

    /** Takes every extension parameter's value from the tree and notifies listeners,
        the last added first, about each one that changed. */
    void syncExtensionParameters();

    /** Writes every extension parameter's default into the tree through the undo manager. */
    void resetToDefaults();

    void addListener (Listener* listener);
    void removeListener (Listener* listener);
    bool hasListener (Listener* listener) const;

    int getNumExtensionParameters() const;
    juce::var getExtensionParameterValue (const juce::String& parameterID) const;

    /** Registered as a listener of the parameter state's tree object too: both objects
        refer to the one shared tree after every state replacement. */
    juce::ValueTree::Listener& asTreeListener() noexcept { return *this; }

    juce::ValueTree tree;

private:
    void valueTreePropertyChanged (juce::ValueTree& changedTree, const juce::Identifier& property) override;
    void valueTreeRedirected (juce::ValueTree& redirectedTree) override;

    juce::UndoManager* undoManager;
    const juce::Identifier valueType { "EXPARAM" };
    const juce::Identifier valuePropertyID { "value" };
    const juce::Identifier idPropertyID { "id" };
    juce::CriticalSection lock;
    juce::Array<Listener*> listeners;
    juce::OwnedArray<ExtensionParameter> extensionParameters;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ExtensionValueTreeState)
};
} // namespace KA
