#pragma once

#include "ui/editor/ImageResizeView.h"
#include "ui/controls/LevelMeter.h"

#include "engine/PluginProcessor.h"

#include <array>
#include <optional>

class DRBaseAudioProcessor;

/** The control panel every product of the series shares: the trim knobs with
    their meters, the "AnalogPower" and "power" switches with their LEDs and the
    value readouts the product's faders add. A 100 ms timer moves the meters and
    refreshes the readouts; a readout can be typed into. */
class DRBaseEditor : public KA::ImageResizeView,
                     public juce::Label::Listener
{
public:
    static constexpr int maxValueLabels = 8;

    /** The processor's meters exist for this many channels. */
    static constexpr int numMeteredChannels = 2;

    DRBaseEditor (juce::LookAndFeel* lookAndFeel, KA::PluginProcessor& processor);
    ~DRBaseEditor() override;

    /** A readout under a fader at x; ignored once all of them are in use. */
    void addValueLabel (const juce::String& parameterID, int x);

    void timerCallback() override;
    void labelTextChanged (juce::Label*) override;

    int getNumValueLabels() const noexcept { return numValueLabels; }
    juce::Label& getValueLabel (int index) noexcept { return valueLabels[(size_t) index].label; }
    const juce::String& getValueLabelParameterID (int index) const noexcept { return valueLabels[(size_t) index].parameterID; }

    KA::LevelMeter inputLevelMeter;
    KA::LevelMeter outputLevelMeter;

private:
    struct ValueLabel
    {
        juce::Label label;
        juce::String parameterID;
        juce::RangedAudioParameter* parameter = nullptr; // looked up once; null when the ID has none
    };

    /** The typed text as a parameter value, or nothing when it is not a finite number. */
    static std::optional<float> parseTypedValue (const juce::String& text, const juce::NormalisableRange<float>& range);

    KA::PluginProcessor& processor;
    DRBaseAudioProcessor* meteredProcessor = nullptr;
    std::array<ValueLabel, maxValueLabels> valueLabels;
    int numValueLabels = 0;
    std::array<float, numMeteredChannels> lastInputLevels {};
    std::array<float, numMeteredChannels> lastOutputLevels {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DRBaseEditor)
};
