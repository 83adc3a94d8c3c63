#pragma once

#include "ui/lookandfeel/PluginBarLookAndFeel.h"

namespace KA
{
/** Draws switches and sliders from images registered under the controls'
    image names (see ImageRef). Sliders that are not SliderEx and toggle
    buttons that are not ToggleButtonEx keep JUCE's own drawing. */
class PluginLookAndFeel : public PluginBarLookAndFeel
{
public:
    PluginLookAndFeel();
    ~PluginLookAndFeel() override;

    /** Stop hand, red-and-white sign, yellow-and-red sign. */
    juce::OwnedArray<juce::Drawable> alertIcons;

    /** Vertical strips of square frames, one per knob. */
    juce::HashMap<juce::String, juce::Image> rotarySliderImages;

    /** Two-state strips: upper half off, lower half on. */
    juce::HashMap<juce::String, juce::Image> toggleButtonImages;

    /** A thumb image or a vertical filmstrip per linear slider. */
    juce::HashMap<juce::String, juce::Image> linearSliderImages;

    void drawToggleButton (juce::Graphics&, juce::ToggleButton&, bool shouldDrawButtonAsHighlighted,
                           bool shouldDrawButtonAsDown) override;
    void drawAlertBox (juce::Graphics&, juce::AlertWindow&, const juce::Rectangle<int>& textArea,
                       juce::TextLayout&) override;
    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;
    juce::Font getPopupMenuFont() override;
    void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                           float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle, juce::Slider&) override;
    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float sliderPosProportional,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider&) override;
    juce::Label* createSliderTextBox (juce::Slider&) override;
    juce::Font getSliderPopupFont (juce::Slider&) override;
    int getSliderPopupPlacement (juce::Slider&) override;

    /** What the alert box drawing needs of its window. */
    struct AlertBoxParts
    {
        int width = 0, height = 0;
        juce::MessageBoxIconType iconType = juce::MessageBoxIconType::NoIcon;
        bool hasExtraComponents = false;
        int numButtons = 0;
        juce::Colour background, text, outline;
    };

    /** The alert box drawing proper, apart from the window it is drawn for. */
    void drawAlertBox (juce::Graphics&, const AlertBoxParts&, const juce::Rectangle<int>& textArea, juce::TextLayout&);

    /** Frame of a knob strip with this many frames for the slider's value. */
    static int getRotaryFrame (juce::Slider&, int numFrames);

    /** Frame of a linear filmstrip with this many frames for the slider's value. */
    static int getLinearFrame (juce::Slider&, int numFrames, bool inverted);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginLookAndFeel)
};
} // namespace KA
