#include "ui/editor/ParametersComponent.h"

namespace KA
{
ParametersComponent::ParametersComponent (juce::AudioProcessorValueTreeState& p)
    : parameters (p)
{
}

ParametersComponent::~ParametersComponent()
{
    // Attachments listen to the controls and the parameters: they go first.
    sliderAttachments.clear();
    buttonAttachments.clear();
    boundControls.clear();
    controls.clear();
}

SliderEx* ParametersComponent::addSliderWithAttachment (const juce::String& parameterID, int x, int y,
                                                        int width, int height, juce::Slider::SliderStyle style,
                                                        juce::LookAndFeel* lf, const juce::String& imageName)
{
    auto slider = std::make_unique<SliderEx>();
    slider->setComponentID (parameterID);
    slider->setSliderStyle (style);
    slider->setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    slider->setBounds (x, y, width, height);
    slider->setEnabled (true);
    slider->imageName = imageName.isNotEmpty() ? imageName : parameterID;
    slider->setLookAndFeel (lf);
    auto* raw = slider.get();
    addAndMakeVisible (*raw);
    controls.add (std::move (slider));

    // A missing parameter leaves an empty entry: the slider then moves freely.
    if (parameters.getParameter (parameterID) != nullptr)
    {
        sliderAttachments.add (std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (parameters, parameterID, *raw));
        boundControls.add (raw);
    }
    else
    {
        sliderAttachments.add (static_cast<juce::AudioProcessorValueTreeState::SliderAttachment*> (nullptr));
    }

    return raw;
}

std::unique_ptr<ToggleButtonEx> ParametersComponent::createToggleButton (const juce::String& id, int x, int y,
                                                                         int width, int height,
                                                                         juce::LookAndFeel* lf, bool enabled,
                                                                         const juce::String& imageName, bool momentary)
{
    auto button = std::make_unique<ToggleButtonEx>();
    button->imageName = imageName.isNotEmpty() ? imageName : id;
    button->momentary = momentary;
    button->inverted = false;
    button->setComponentID (id);
    button->setLookAndFeel (lf);
    button->setBounds (x, y, width, height);
    button->setEnabled (enabled);

    if (! enabled)
        button->setAlpha (disabledAlpha);

    return button;
}

ToggleButtonEx* ParametersComponent::addButtonWithAttachment (const juce::String& parameterID,
                                                              std::unique_ptr<ToggleButtonEx> button)
{
    jassert (button != nullptr);

    if (button == nullptr)
        return nullptr;

    auto* raw = button.get();
    addAndMakeVisible (*raw);
    controls.add (std::move (button));

    if (parameters.getParameter (parameterID) != nullptr)
    {
        buttonAttachments.add (std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (parameters, parameterID, *raw));
        boundControls.add (raw);
    }
    else
    {
        buttonAttachments.add (static_cast<juce::AudioProcessorValueTreeState::ButtonAttachment*> (nullptr));
    }

    return raw;
}

bool ParametersComponent::isControlBound (const juce::Component* control) const noexcept
{
    return boundControls.contains (control);
}
} // namespace KA
