#pragma once

#include "ui/controls/SliderEx.h"
#include "ui/controls/ToggleButtonEx.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace KA
{
/** A panel that creates its controls and binds each to the processor parameter
    of the same ID. It owns the controls and their attachments and destroys the
    attachments first, so that none outlives the control it listens to. */
class ParametersComponent : public juce::Component,
                            public juce::Timer
{
public:
    /** The parameters the controls bind to; they must outlive the panel. */
    explicit ParametersComponent (juce::AudioProcessorValueTreeState& parameters);
    ~ParametersComponent() override;

    /** Alpha given to a control created disabled. */
    float disabledAlpha = 0.7f;

    /** A new slider without text box, its component ID the parameter ID and its
        image name the given one or else the ID, bound to the parameter when one
        with that ID exists (free otherwise). Owned by this panel. */
    SliderEx* addSliderWithAttachment (const juce::String& parameterID, int x, int y, int width, int height,
                                       juce::Slider::SliderStyle style, juce::LookAndFeel* lf,
                                       const juce::String& imageName = {});

    /** A new switch for addButtonWithAttachment, not yet owned by anyone. */
    std::unique_ptr<ToggleButtonEx> createToggleButton (const juce::String& id, int x, int y, int width, int height,
                                                        juce::LookAndFeel* lf, bool enabled,
                                                        const juce::String& imageName = {}, bool momentary = false);

    /** Adopts the button and binds it to the parameter (when it exists). Several
        buttons may share a parameter, e.g. a switch and its LED. */
    ToggleButtonEx* addButtonWithAttachment (const juce::String& parameterID, std::unique_ptr<ToggleButtonEx> button);

    juce::AudioProcessorValueTreeState& getParameters() const noexcept { return parameters; }

    int getNumControls() const noexcept { return controls.size(); }
    juce::Component* getControl (int index) const noexcept { return controls[index]; }

    /** True when the control is bound to a parameter. */
    bool isControlBound (const juce::Component* control) const noexcept;

    void timerCallback() override {}

private:
    juce::AudioProcessorValueTreeState& parameters;
    juce::OwnedArray<juce::Component> controls;
    juce::OwnedArray<juce::AudioProcessorValueTreeState::SliderAttachment> sliderAttachments;
    juce::OwnedArray<juce::AudioProcessorValueTreeState::ButtonAttachment> buttonAttachments;
    juce::Array<const juce::Component*> boundControls;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParametersComponent)
};
} // namespace KA
