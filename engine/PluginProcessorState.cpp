// The state side of PluginProcessor: the state tree and its blob, programs,
// A/B snapshots and the global-settings file.

#include "engine/PluginProcessor.h"

#include "engine/GlobalStrings.h"
#include "engine/SettingsFile.h"
#include "engine/xml/GuardedXml.h"
#include "engine/xml/NumberText.h"

#include <cmath>
#include <cstring>

namespace KA
{
namespace
{
    constexpr juce::uint32 stateBlobMagic = 0x21324356; // "VC2!"
    constexpr int stateBlobHeaderBytes = 8;
}

//==============================================================================
juce::ValueTree PluginProcessor::copyFlushedState()
{
    if (! parameters.state.isValid())
        return {};

    return parameters.copyState();
}

void PluginProcessor::flushParameterValues()
{
    // JUCE offers its write of the pending values only together with a copy of the tree.
    (void) copyFlushedState();
}

void PluginProcessor::writeStateBlob (const juce::ValueTree& state, juce::MemoryBlock& destData)
{
    destData.reset();

    if (auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

std::unique_ptr<juce::XmlElement> PluginProcessor::readStateBlob (const void* data, int sizeInBytes,
                                                                const juce::String& rootTag)
{
    if (data == nullptr || sizeInBytes <= stateBlobHeaderBytes)
        return {};

    const auto* bytes = static_cast<const char*> (data);

    if (juce::ByteOrder::littleEndianInt (bytes) != stateBlobMagic)
        return {};

    const auto length = (int) juce::ByteOrder::littleEndianInt (bytes + 4);

    if (length < 1)
        return {};

    const auto* text = bytes + stateBlobHeaderBytes;
    auto available = juce::jmin (length, sizeInBytes - stateBlobHeaderBytes);

    // The text ends at the first NUL; what follows it is not part of the document.
    if (const auto* nul = static_cast<const char*> (std::memchr (text, 0, (size_t) available)))
        available = (int) (nul - text);

    if (available <= 0)
        return {};

    return GuardedXml::parse (text, (size_t) available, GuardedXml::Shape::state, rootTag);
}

void PluginProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    writeStateBlob (copyFlushedState(), destData);
}

void PluginProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (auto xml = readStateBlob (data, sizeInBytes, parameters.state.getType().toString()))
        replaceState (juce::ValueTree::fromXml (*xml));
}

//==============================================================================
bool PluginProcessor::tagMatchesState (const juce::XmlElement& xml) const
{
    return xml.getTagName().equalsIgnoreCase (parameters.state.getType().toString());
}

void PluginProcessor::setStateFromXml (const juce::XmlElement* xml)
{
    if (xml != nullptr && tagMatchesState (*xml))
        replaceState (juce::ValueTree::fromXml (*xml));
}

void PluginProcessor::addMissingParameterChildren (juce::ValueTree& tree)
{
    // The numbers of a loaded document are read here, into numbers: JUCE's own reader,
    // which the parameter state and the editor would use on the text, overflows on a
    // long exponent. A window size that is not a number is dropped.
    for (const auto* size : { "lastUIWidth", "lastUIHeight" })
    {
        if (const auto stored = tree.getProperty (size); stored.isString())
        {
            if (const auto number = readNumberText (stored.toString()))
                tree.setProperty (size, std::trunc (*number) == *number && std::abs (*number) < 1.0e9 ? juce::var ((int) *number)
                                                                                                       : juce::var (*number), nullptr);
            else
                tree.removeProperty (size, nullptr);
        }
    }

    // JUCE's parameter state would put a parameter without a child back to its
    // default; a state or preset that does not mention a parameter leaves it as it
    // is. A value that is not a finite number is treated the same way, so a corrupt
    // document can't leave NaN in a parameter (and in every state saved after it).
    // JUCE reads the value of every child that names a parameter, not only the first.
    for (auto* parameter : getParameters())
    {
        if (auto* withID = dynamic_cast<juce::RangedAudioParameter*> (parameter))
        {
            const auto currentValue = withID->convertFrom0to1 (withID->getValue());
            const juce::var id (withID->paramID);
            bool named = false;

            for (auto child : tree)
            {
                if (child.getProperty ("id") == id)
                {
                    named = true;

                    if (child.hasProperty ("value"))
                        child.setProperty ("value", readStoredNumber (child.getProperty ("value")).value_or (currentValue), nullptr);
                }
            }

            if (! named)
            {
                juce::ValueTree child ("PARAM");
                child.setProperty ("id", id, nullptr);
                child.setProperty ("value", currentValue, nullptr);
                tree.appendChild (child, nullptr);
            }
        }
    }
}

void PluginProcessor::replaceState (const juce::ValueTree& newState)
{
    juce::ValueTree tree (newState);
    addMissingParameterChildren (tree);

    // Both tree objects end up on the one shared tree: the extension state first, so
    // it re-reads its values, then the parameter state, which updates the parameters.
    extensionState.tree = tree;
    parameters.state = extensionState.tree;
}

void PluginProcessor::resetAllParametersToDefault()
{
    for (auto* parameter : getParameters())
        parameter->setValueNotifyingHost (parameter->getDefaultValue());
}

void PluginProcessor::resetParametersToDefault()
{
    resetAllParametersToDefault();
    extensionState.resetToDefaults();
    flushParameterValues();
    undoManager.clearUndoHistory();
}

void PluginProcessor::storeABState()
{
    const auto state = copyFlushedState();
    abSnapshot = state.isValid() ? state.createXml() : nullptr;
}

void PluginProcessor::swapABState()
{
    const auto state = copyFlushedState();
    auto current = state.isValid() ? state.createXml() : nullptr;

    if (abSnapshot != nullptr)
        setStateFromXml (abSnapshot.get());
    else
        resetParametersToDefault();

    abSnapshot = std::move (current);
}

//==============================================================================
int PluginProcessor::getNumPrograms()
{
    return factoryPresets.size() + 1;
}

int PluginProcessor::getCurrentProgram()
{
    return currentProgram;
}

void PluginProcessor::setCurrentProgram (int index)
{
    if (index == currentProgram)
        return;

    currentProgram = index;

    if (index >= 1 && index <= factoryPresets.size())
    {
        if (auto* document = factoryPresets[index - 1]; document != nullptr && tagMatchesState (*document))
        {
            auto tree = juce::ValueTree::fromXml (*document);
            addMissingParameterChildren (tree);
            parameters.state = tree;
            return;
        }
    }

    resetAllParametersToDefault();
}

const juce::String PluginProcessor::getProgramName (int index)
{
    if (index < 1 || index > factoryPresets.size() || factoryPresets[index - 1] == nullptr)
        return GlobalStrings::defaultName;

    return factoryPresets[index - 1]->getStringAttribute ("name");
}

void PluginProcessor::changeProgramName (int index, const juce::String& newName)
{
    if (index >= 1 && index <= factoryPresets.size())
        if (auto* document = factoryPresets[index - 1])
            document->setAttribute ("name", newName);
}

void PluginProcessor::addFactoryPreset (const juce::String& name, juce::XmlElement* document)
{
    if (document == nullptr)
        return;

    document->setAttribute ("name", name);
    factoryPresets.add (document);
}

//==============================================================================
void PluginProcessor::initialiseProcessorState()
{
    addTableParameter (ParameterIndex::power);

    globalSettings = std::make_unique<juce::ApplicationProperties>();
    SettingsFile::open (*globalSettings, SettingsFile::makeOptions (getStateRootTag() + " Global Settings", "Preferences"));

    parameters.state.addListener (&extensionState.asTreeListener());
    extensionState.addListener (this);

    replaceState (juce::ValueTree (juce::Identifier (getStateRootTag())));
}
} // namespace KA
