#include "engine/ExtensionValueTreeState.h"

namespace KA
{
ExtensionValueTreeState::ExtensionValueTreeState (juce::UndoManager* undoManagerToUse)
    : undoManager (undoManagerToUse)
{
    tree.addListener (this);
}

ExtensionValueTreeState::~ExtensionValueTreeState()
{
    tree.removeListener (this);

    // Deleted from the last to the first, as they were built up.
    for (int i = extensionParameters.size(); --i >= 0;)
        extensionParameters.remove (i);
}

void ExtensionValueTreeState::createAndAddExtensionParameter (const juce::String& parameterID, const juce::var& defaultValue)
{
    const juce::ScopedLock sl (lock);
    auto* parameter = new ExtensionParameter();
    parameter->id = parameterID;
    parameter->defaultValue = defaultValue;
    extensionParameters.add (parameter);
}

juce::ValueTree ExtensionValueTreeState::getOrCreateChildValueTree (const juce::String& parameterID)
{
    if (tree.isValid())
    {
        const juce::var idValue (parameterID);

        for (const auto& child : tree)
            if (child.getProperty (idPropertyID) == idValue)
                return child;
    }

    juce::ValueTree child (valueType);
    child.setProperty (idPropertyID, parameterID, undoManager);

    if (tree.isValid())
        tree.appendChild (child, nullptr);

    return child;
}

void ExtensionValueTreeState::syncExtensionParameters()
{
    const juce::ScopedLock sl (lock);

    if (extensionParameters.isEmpty())
        return;

    for (auto* parameter : extensionParameters)
    {
        const auto child = getOrCreateChildValueTree (parameter->id);
        const auto v = child.getProperty (valuePropertyID);

        if (v == parameter->value)
            continue;

        parameter->value = v;

        // Last added first; a callback may remove listeners, so the index is pulled
        // back to the current size before every call.
        for (int i = listeners.size() - 1; i >= 0; --i)
        {
            i = juce::jmin (i, listeners.size() - 1);
            if (i < 0)
                break;

            listeners.getUnchecked (i)->extensionParameterChanged (parameter->id, v);
        }
    }
}

void ExtensionValueTreeState::resetToDefaults()
{
    const juce::ScopedLock sl (lock);

    for (auto* parameter : extensionParameters)
        getOrCreateChildValueTree (parameter->id).setProperty (valuePropertyID, parameter->defaultValue, undoManager);
}

void ExtensionValueTreeState::addListener (Listener* listener)
{
    listeners.addIfNotAlreadyThere (listener);
}

void ExtensionValueTreeState::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

bool ExtensionValueTreeState::hasListener (Listener* listener) const
{
    return listeners.contains (listener);
}

int ExtensionValueTreeState::getNumExtensionParameters() const
{
    const juce::ScopedLock sl (lock);
    return extensionParameters.size();
}

juce::var ExtensionValueTreeState::getExtensionParameterValue (const juce::String& parameterID) const
{
    const juce::ScopedLock sl (lock);

    for (auto* parameter : extensionParameters)
        if (parameter->id == parameterID)
            return parameter->value;

    return {};
}

void ExtensionValueTreeState::valueTreePropertyChanged (juce::ValueTree& changedTree, const juce::Identifier& property)
{
    if (property == valuePropertyID
        && changedTree.isValid()
        && changedTree.hasType (valueType)
        && tree.isValid()
        && changedTree.getParent() == tree)
    {
        syncExtensionParameters();
    }
}

void ExtensionValueTreeState::valueTreeRedirected (juce::ValueTree& redirectedTree)
{
    if (redirectedTree == tree)
        syncExtensionParameters();
}
} // namespace KA
