#include "tests/common/ProbeProcessor.h"
#include "ui/lookandfeel/DRLookAndFeel.h"
#include "ui/editor/ImageResizeView.h"

#include <gtest/gtest.h>

namespace
{
/** The product's IDs and ranges for the controls these tests bind. */
struct PanelProbe : KA::Test::ProbeProcessor
{
    PanelProbe() : ProbeProcessor (stereoBuses(), { { "InputTrimmer", "Input Trimmer", -15.0f, 15.0f, 0.1f, 0.0f },
                                                    { "AnalogPower", "AnalogPower", 0.0f, 1.0f, 1.0f, 0.0f },
                                                    { "Level", "Level", -120.0f, 12.0f, 0.1f, 0.0f, 7.272543f },
                                                    { "50Hz", "50 Hz", -15.0f, 15.0f, 0.1f, 0.0f } }) {}
};

float realValue (juce::AudioProcessorValueTreeState& state, const char* id)
{
    return state.getRawParameterValue (id)->load();
}

void setReal (juce::AudioProcessorValueTreeState& state, const char* id, float value)
{
    auto* p = state.getParameter (id);
    p->setValueNotifyingHost (p->convertTo0to1 (value));
}
} // namespace

TEST (ParametersComponent, SlidersMirrorTheParameterRangeAndFollowIt)
{
    PanelProbe processor;
    DRLookAndFeel lf;
    KA::ParametersComponent panel (processor.parameters);
    auto* level = panel.addSliderWithAttachment ("Level", 74, 32, 38, 78, juce::Slider::LinearVertical, &lf);
    auto* trim = panel.addSliderWithAttachment ("InputTrimmer", 32, 19, 25, 25, juce::Slider::RotaryHorizontalVerticalDrag, &lf, "Knob");
    EXPECT_EQ (level->imageName + trim->imageName, "LevelKnob");
    EXPECT_TRUE (panel.isControlBound (level) && level->isVisible());

    // The parameter's range, skew included, and its own text conversion.
    EXPECT_EQ (level->getRange(), juce::Range<double> (-120.0, 12.0));
    EXPECT_NEAR (level->valueToProportionOfLength (0.0), 0.5, 1.0e-5);
    EXPECT_EQ (level->getTextFromValue (-9.5), processor.parameters.getParameter ("Level")->getText (
                                                    processor.parameters.getParameter ("Level")->convertTo0to1 (-9.5f), 1024));

    setReal (processor.parameters, "InputTrimmer", -9.5f);
    EXPECT_NEAR (trim->getValue(), -9.5, 1.0e-4); // the product editor's tests drive every control both ways
}

TEST (ParametersComponent, ControlsWithoutParameterStayUnbound)
{
    PanelProbe processor;
    KA::ParametersComponent panel (processor.parameters);

    auto* slider = panel.addSliderWithAttachment ("NoSuchParameter", 0, 0, 20, 20, juce::Slider::LinearVertical, nullptr);
    slider->setRange (0.0, 1.0);
    slider->setValue (0.75, juce::sendNotificationSync);
    EXPECT_DOUBLE_EQ (slider->getValue(), 0.75);
    EXPECT_FALSE (panel.isControlBound (slider));

    auto* button = panel.addButtonWithAttachment ("Missing", panel.createToggleButton ("Missing", 0, 0, 10, 10, nullptr, true));
    button->setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (button->getToggleState());
    EXPECT_FALSE (panel.isControlBound (button));

    EXPECT_EQ (panel.addButtonWithAttachment ("power", nullptr), nullptr);
    EXPECT_EQ (panel.getNumControls(), 2);

    // Disabled toggles are dimmed.
    auto enabled = panel.createToggleButton ("AnalogPower", 1, 2, 3, 4, nullptr, true, {}, true);
    auto disabled = panel.createToggleButton ("AnalogPower", 1, 2, 3, 4, nullptr, false);
    EXPECT_TRUE (enabled->momentary && enabled->getAlpha() == 1.0f);
    EXPECT_EQ (enabled->getBounds(), juce::Rectangle<int> (1, 2, 3, 4));
    EXPECT_FALSE (disabled->isEnabled());
    EXPECT_NEAR (disabled->getAlpha(), 0.7f, 1.0f / 255.0f);
}

TEST (ParametersComponent, DestroyingThePanelReleasesEveryBinding)
{
    PanelProbe processor;
    DRLookAndFeel lf;

    {
        KA::ImageResizeView panel (processor.parameters);
        panel.addSliderWithAttachment ("Level", 0, 0, 38, 78, juce::Slider::LinearVertical, &lf);
        panel.addSliderWithAttachment ("InputTrimmer", 0, 0, 25, 25, juce::Slider::RotaryHorizontalVerticalDrag, &lf);
        panel.addButtonWithAttachment ("power", panel.createToggleButton ("power", 0, 0, 25, 25, &lf, true));
        panel.addButtonWithAttachment ("power", panel.createToggleButton ("power", 0, 0, 20, 20, &lf, true, "Led_png"));
    }

    // Under the address sanitizer, a listener left behind by the destroyed
    // controls would be reported here.
    setReal (processor.parameters, "Level", 3.0f);
    setReal (processor.parameters, "InputTrimmer", -4.0f);
    setReal (processor.parameters, "power", 0.0f);
    EXPECT_NEAR (realValue (processor.parameters, "Level"), 3.0f, 1.0e-3f);
}

TEST (SliderEx, InvertedRunsTheOtherWay)
{
    KA::SliderEx slider;
    slider.setRange (-15.0, 15.0);
    slider.setSkewFactor (0.5);
    const auto plain = slider.valueToProportionOfLength (5.0);

    slider.inverted = true;
    EXPECT_DOUBLE_EQ (slider.proportionOfLengthToValue (0.0), 15.0);
    EXPECT_DOUBLE_EQ (slider.proportionOfLengthToValue (1.0), -15.0);
    EXPECT_NEAR (slider.valueToProportionOfLength (5.0), 1.0 - plain, 1.0e-12);
    EXPECT_NEAR (slider.proportionOfLengthToValue (slider.valueToProportionOfLength (5.0)), 5.0, 1.0e-9);
}
