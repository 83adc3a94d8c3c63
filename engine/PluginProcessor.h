#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

#include "engine/ExtensionValueTreeState.h"
#include "engine/ParameterTable.h"
#include "engine/SettingsPluginInOuts.h"

#include <array>
#include <atomic>
#include <memory>

namespace KA
{
/** The in-house processor base. It owns the parameter state with its undo manager,
    the extension state, the A/B snapshot, the factory presets, the current program
    and the global-settings file, and frames the product's signal chain: flush-to-zero,
    a dry copy of every block, one processing hook, and the "power" cross-fade between
    the dry copy and the processed block. */
class PluginProcessor : public juce::AudioProcessor,
                        public juce::AudioProcessorValueTreeState::Listener,
                        public ExtensionValueTreeState::Listener
{
public:
    /** Frames of the dry copy; longer blocks are processed in pieces of at most this. */
    static constexpr int dryCopyFrames = 4096;

    explicit PluginProcessor (const BusesProperties& ioLayouts);

    /** The most frames the chain is handed at once for an announced maximum block
        size: longer blocks are processed in pieces, and an announced size of 0 or
        less means the dry copy's length. Every buffer of the chain holds this many. */
    static int chainBlockSize (int maximumExpectedSamplesPerBlock) noexcept;
    ~PluginProcessor() override;

    //==============================================================================
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    using juce::AudioProcessor::processBlock;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlockBypassed;
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    void reset() override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    virtual juce::String getStateRootTag() const = 0;
    virtual juce::Array<SettingsPluginInOuts> getChannelConfigurations() const;
    virtual void processAudioBlock (juce::dsp::AudioBlock<float>& block, juce::MidiBuffer& midi);

    /** Looks the ID up in the parameter table once and hands its row on to the
        overload below; an ID the table does not know is ignored. */
    void parameterChanged (const juce::String& parameterID, float newValue) override;

    /** A change of a table parameter: each processor class handles its own rows
        and then calls its base class's version. */
    virtual void parameterChanged (ParameterIndex index, float newValue);

    void extensionParameterChanged (const juce::String& parameterID, const juce::var& newValue) override;
    virtual void setStateFromXml (const juce::XmlElement* xml);
    virtual void replaceState (const juce::ValueTree& newState);
    virtual void resetParametersToDefault();
    virtual void swapABState();
    virtual void storeABState();
    virtual void prepareToSavePreset();
    virtual void initialiseProcessorState();

    /** Takes ownership of a factory preset document and names it; a null document is ignored. */
    void addFactoryPreset (const juce::String& name, juce::XmlElement* document);

    /** The state tree with every parameter's latest value written into it. JUCE copies
        parameter values into its tree only from a message-thread timer, so anything
        that serialises the state goes through here. */
    juce::ValueTree copyFlushedState();

    /** Writes the values JUCE has not yet copied into the state tree, through the undo
        manager, into the open transaction. Whatever moves or clears the undo history
        does this first: JUCE's own later write would land after it. */
    void flushParameterValues();

    /** The blob of getStateInformation as a standalone function of a state tree. */
    static void writeStateBlob (const juce::ValueTree& state, juce::MemoryBlock& destData);

    /** The state document carried by a state blob, or nothing when the blob is not
        usable or its root tag is not rootTag (ignoring case). */
    static std::unique_ptr<juce::XmlElement> readStateBlob (const void* data, int sizeInBytes,
                                                            const juce::String& rootTag);

    const juce::XmlElement* getABSnapshot() const noexcept { return abSnapshot.get(); }
    int getNumFactoryPresets() const noexcept { return factoryPresets.size(); }
    const juce::XmlElement* getFactoryPreset (int index) const noexcept { return factoryPresets[index]; }

    //==============================================================================
    // Reached by the editor, the toolbar and the preset library.
    juce::UndoManager undoManager;
    std::unique_ptr<juce::ApplicationProperties> globalSettings;
    juce::AudioProcessorValueTreeState parameters;
    ExtensionValueTreeState extensionState;

protected:
    /** Creates the table's parameter, adds it to the state and listens to it. */
    void addTableParameter (ParameterIndex index);

    /** A table parameter added by addTableParameter, and its real value. */
    juce::RangedAudioParameter& getTableParameter (ParameterIndex index) const noexcept { return *tableParameters[(size_t) index]; }
    float getRealValue (ParameterIndex index) const noexcept { return tableValues[(size_t) index]->load(); }

    /** Length of the power cross-fade in seconds; the series processor sets its own. */
    void setPowerRampSeconds (double seconds);
    double getPowerRampSeconds() const noexcept { return powerRampSeconds; }

private:
    bool tagMatchesState (const juce::XmlElement& xml) const;
    void addMissingParameterChildren (juce::ValueTree& tree);
    void resetAllParametersToDefault();
    void resetPowerCrossfade();
    void mixDryAndProcessed (juce::dsp::AudioBlock<float>& block, int numFrames);

    std::unique_ptr<juce::XmlElement> abSnapshot;

    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> powerCrossfade;
    // Written by parameterChanged on any thread; taken over by the audio thread at
    // the start of every block, so the smoother itself has a single owner.
    std::atomic<float> pendingPowerTarget { 0.0f };

    std::array<juce::RangedAudioParameter*, numParameters> tableParameters {};
    std::array<std::atomic<float>*, numParameters> tableValues {};

    juce::dsp::AudioBlock<float> dryBlock;
    juce::HeapBlock<char> dryStorage;
    juce::HeapBlock<float> crossfadeGains;
    int preparedBlockSize = 0;

    int currentProgram = 0;
    juce::OwnedArray<juce::XmlElement> factoryPresets;
    double powerRampSeconds = 0.05;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginProcessor)
};
} // namespace KA
