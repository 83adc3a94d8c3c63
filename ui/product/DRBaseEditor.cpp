#include "ui/product/DRBaseEditor.h"

#include "engine/DRBaseAudioProcessor.h"
#include "ui/product/DRPanelLayout.h"

#include "BinaryData.h"

#include <cmath>

namespace
{
/** Series members whose panel has no saturation stage. */
bool hasAnalogPower (const juce::String& stateRootTag)
{
    return stateRootTag != "DRHowler" && stateRootTag != "DRGrit";
}

void placeMeter (KA::LevelMeter& meter, int numChannels, const DRPanelLayout::Rect& r)
{
    meter.setNumChannels (numChannels);
    meter.backgroundColour = juce::Colour (0x00000000);
    meter.barGap = 2;
    meter.setBounds (r.x, r.y, r.width, r.height);
}
} // namespace

DRBaseEditor::DRBaseEditor (juce::LookAndFeel* lf, KA::PluginProcessor& p)
    : KA::ImageResizeView (p.parameters),
      processor (p),
      meteredProcessor (dynamic_cast<DRBaseAudioProcessor*> (&p))
{
    controlLookAndFeel = lf;

    image = juce::ImageCache::getFromMemory (BinaryData::control_panel_png, BinaryData::control_panel_pngSize);
    imageScale = DRPanelLayout::imageScale;

    placeMeter (inputLevelMeter, processor.getTotalNumInputChannels(), DRPanelLayout::inputMeter);
    placeMeter (outputLevelMeter, processor.getTotalNumOutputChannels(), DRPanelLayout::outputMeter);

    for (auto& knob : DRPanelLayout::knobs)
    {
        auto* slider = addSliderWithAttachment (knob.parameterID, knob.bounds.x, knob.bounds.y, knob.bounds.width,
                                                knob.bounds.height, juce::Slider::RotaryHorizontalVerticalDrag,
                                                controlLookAndFeel);
        // The value bubble shows while dragging, not on hover.
        slider->setPopupDisplayEnabled (true, false, this, 2000);
    }

    const auto withAnalogPower = hasAnalogPower (processor.getStateRootTag());

    for (auto& control : DRPanelLayout::switches)
    {
        const juce::String id (control.parameterID);

        if (id == KA::parameterID (KA::ParameterIndex::analogPower) && ! withAnalogPower)
            continue;

        addButtonWithAttachment (id, createToggleButton (id, control.bounds.x, control.bounds.y, control.bounds.width,
                                                         control.bounds.height, controlLookAndFeel, true,
                                                         control.imageName, false));
    }

    addAndMakeVisible (inputLevelMeter);
    addAndMakeVisible (outputLevelMeter);
    lastInputLevels.fill (0.0f);
    lastOutputLevels.fill (0.0f);
    startTimer (100);
}

DRBaseEditor::~DRBaseEditor()
{
    stopTimer();

    for (int i = 0; i < numValueLabels; ++i)
        valueLabels[(size_t) i].label.removeListener (this);
}

void DRBaseEditor::addValueLabel (const juce::String& parameterID, int x)
{
    if (numValueLabels >= maxValueLabels)
        return;

    auto& record = valueLabels[(size_t) numValueLabels];
    record.label.setBounds (x, DRPanelLayout::valueLabelY, DRPanelLayout::valueLabelWidth, DRPanelLayout::valueLabelHeight);
    record.parameterID = parameterID;
    record.parameter = getParameters().getParameter (parameterID);
    record.label.setLookAndFeel (controlLookAndFeel);
    record.label.setEditable (true, false, false);
    record.label.setJustificationType (juce::Justification::centred);
    record.label.addListener (this);
    addAndMakeVisible (record.label);
    ++numValueLabels;
}

void DRBaseEditor::timerCallback()
{
    for (int i = 0; i < numValueLabels; ++i)
    {
        auto& record = valueLabels[(size_t) i];

        if (auto* parameter = record.parameter; parameter != nullptr && ! record.label.isBeingEdited())
            record.label.setText (parameter->getCurrentValueAsText() + " " + parameter->getLabel(), juce::dontSendNotification);
    }

    if (meteredProcessor == nullptr)
        return;

    // A level that has not moved since the last tick counts as silence, so the
    // meters fall when the audio thread stalls. The processor meters at most two
    // channels, however many outputs it has.
    const auto channels = juce::jmin (processor.getTotalNumOutputChannels(), numMeteredChannels);

    for (int c = 0; c < channels; ++c)
    {
        const auto input = meteredProcessor->inputMeter.getLevel (c);
        const auto output = meteredProcessor->outputMeter.getLevel (c);

        inputLevelMeter.updateMeterLevel (c, input == lastInputLevels[(size_t) c] ? 0.0f : input);
        outputLevelMeter.updateMeterLevel (c, output == lastOutputLevels[(size_t) c] ? 0.0f : output);

        lastInputLevels[(size_t) c] = input;
        lastOutputLevels[(size_t) c] = output;
    }
}

std::optional<float> DRBaseEditor::parseTypedValue (const juce::String& text, const juce::NormalisableRange<float>& range)
{
    const auto typed = text.getDoubleValue();

    if (! std::isfinite (typed))
        return std::nullopt;

    return (float) juce::jlimit ((double) range.start, (double) range.end, typed);
}

void DRBaseEditor::labelTextChanged (juce::Label* label)
{
    for (int i = 0; i < numValueLabels; ++i)
    {
        auto& record = valueLabels[(size_t) i];

        if (&record.label != label)
            continue;

        auto* parameter = record.parameter;

        if (parameter == nullptr)
            return;

        // Refused text is left for the next tick to overwrite with the parameter's own.
        const auto& range = parameter->getNormalisableRange();

        if (const auto value = parseTypedValue (label->getText(), range))
            parameter->setValueNotifyingHost (juce::jlimit (0.0f, 1.0f, range.convertTo0to1 (*value)));

        return;
    }
}
