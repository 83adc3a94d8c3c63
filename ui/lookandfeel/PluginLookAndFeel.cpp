#include "ui/lookandfeel/PluginLookAndFeel.h"
#include "ui/controls/SliderEx.h"
#include "ui/controls/ToggleButtonEx.h"

#include "BinaryData.h"

#include <cmath>

namespace KA
{
PluginLookAndFeel::PluginLookAndFeel()
{
    alertIcons.add (juce::Drawable::createFromImageData (BinaryData::stop_hand_svg, (size_t) BinaryData::stop_hand_svgSize));
    alertIcons.add (juce::Drawable::createFromImageData (BinaryData::alert_red_svg, (size_t) BinaryData::alert_red_svgSize));
    alertIcons.add (juce::Drawable::createFromImageData (BinaryData::alert_yellow_svg, (size_t) BinaryData::alert_yellow_svgSize));
}

PluginLookAndFeel::~PluginLookAndFeel()
{
    rotarySliderImages.clear();
    toggleButtonImages.clear();
    linearSliderImages.clear();
    alertIcons.clear();
}

void PluginLookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button,
                                          bool isHighlighted, bool isDown)
{
    auto* ex = dynamic_cast<ToggleButtonEx*> (&button);

    if (ex == nullptr)
    {
        juce::LookAndFeel_V4::drawToggleButton (g, button, isHighlighted, isDown);
        return;
    }

    const auto image = toggleButtonImages[ex->imageName];

    if (! image.isValid())
        return;

    const bool state = ex->momentary ? button.getState() == juce::Button::buttonDown
                                     : button.getToggleState();
    const auto half = juce::roundToInt (image.getHeight() * 0.5);

    g.drawImage (image, 0, 0, button.getWidth(), button.getHeight(),
                 0, state == ex->inverted ? 0 : half, image.getWidth(), half);
}

void PluginLookAndFeel::drawAlertBox (juce::Graphics& g, juce::AlertWindow& alert,
                                      const juce::Rectangle<int>& textArea, juce::TextLayout& textLayout)
{
    AlertBoxParts parts;
    parts.width = alert.getWidth();
    parts.height = alert.getHeight();
    parts.iconType = alert.getAlertType();
    parts.hasExtraComponents = alert.containsAnyExtraComponents();
    parts.numButtons = alert.getNumButtons();
    parts.background = alert.findColour (juce::AlertWindow::backgroundColourId);
    parts.text = alert.findColour (juce::AlertWindow::textColourId);
    parts.outline = alert.findColour (juce::AlertWindow::outlineColourId);
    drawAlertBox (g, parts, textArea, textLayout);
}

void PluginLookAndFeel::drawAlertBox (juce::Graphics& g, const AlertBoxParts& alert,
                                      const juce::Rectangle<int>& textArea, juce::TextLayout& textLayout)
{
    g.fillAll (alert.background);

    auto iconSize = juce::jmin (alert.height + 20, 100);

    if (alert.hasExtraComponents || alert.numButtons > 2)
        iconSize = juce::jmin (iconSize, textArea.getHeight() + 50);

    int iconWidth = 0;

    if (alert.iconType != juce::MessageBoxIconType::NoIcon)
    {
        auto* icon = alertIcons[alert.iconType == juce::MessageBoxIconType::WarningIcon ? 1 : 0];

        if (icon != nullptr)
            icon->drawWithin (g, juce::Rectangle<float> (20.0f, 0.0f, (float) iconSize, (float) iconSize),
                              juce::RectanglePlacement::centred, 1.0f);

        iconWidth = 120;
    }

    g.setColour (alert.text);
    textLayout.draw (g, textArea.withTrimmedLeft (iconWidth).toFloat());

    g.setColour (alert.outline);
    g.drawRect (0.0f, 0.0f, (float) alert.width, (float) alert.height, 1.0f);
}

void PluginLookAndFeel::drawTextEditorOutline (juce::Graphics&, int, int, juce::TextEditor&)
{
}

juce::Font PluginLookAndFeel::getPopupMenuFont()
{
    return juce::Font (10.0f);
}

int PluginLookAndFeel::getRotaryFrame (juce::Slider& slider, int numFrames)
{
    // Through the slider's own proportion mapping, so a skewed range picks the
    // frame the user sees while an inverted one cancels out.
    const auto low = slider.valueToProportionOfLength (slider.getMinimum());
    const auto high = slider.valueToProportionOfLength (slider.getMaximum());
    const auto span = high - low;
    auto p = span != 0.0 ? (slider.valueToProportionOfLength (slider.getValue()) - low) / span : 0.0;

    if (! std::isfinite (p))
        p = 0.0;

    return juce::jlimit (0, numFrames - 1, (int) (juce::jlimit (0.0, 1.0, p) * (numFrames - 1) + 0.5));
}

int PluginLookAndFeel::getLinearFrame (juce::Slider& slider, int numFrames, bool inverted)
{
    const auto span = slider.getMaximum() - slider.getMinimum();
    auto p = span != 0.0 ? (slider.getValue() - slider.getMinimum()) / span : 0.0;

    if (! std::isfinite (p))
        p = 0.0;

    p = juce::jlimit (0.0, 1.0, inverted ? 1.0 - p : p);
    return juce::jlimit (0, numFrames - 1, (int) std::ceil ((numFrames - 1) * p));
}

void PluginLookAndFeel::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                          float minSliderPos, float maxSliderPos,
                                          juce::Slider::SliderStyle style, juce::Slider& slider)
{
    auto* ex = dynamic_cast<SliderEx*> (&slider);

    if (ex == nullptr)
    {
        juce::LookAndFeel_V4::drawLinearSlider (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos,
                                                style, slider);
        return;
    }

    const auto image = linearSliderImages[ex->imageName];

    if (! image.isValid())
        return;

    const auto iw = image.getWidth(), ih = image.getHeight();

    if (ex->drawAsThumb)
    {
        // Positions are relative to the slider's own top-left corner.
        const auto w = juce::roundToInt (0.5 * iw), h = juce::roundToInt (0.5 * ih);

        if (style == juce::Slider::LinearHorizontal)
            g.drawImage (image, juce::roundToInt (sliderPos - 0.25f * (float) iw), 0, w, h, 0, 0, iw, ih);
        else if (style == juce::Slider::LinearVertical)
            g.drawImage (image, 0, juce::roundToInt (sliderPos - 0.25f * (float) ih), w, h, 0, 0, iw, ih);

        return;
    }

    const auto frames = ex->frameCount >= 1 ? ex->frameCount : juce::roundToInt ((double) ih / (double) iw);

    if (frames < 1)
        return;

    const auto frameHeight = juce::roundToInt ((double) ih / (double) frames);
    const auto frame = getLinearFrame (slider, frames, ex->inverted);
    g.drawImage (image, 0, 0, width, height, 0, frame * frameHeight, iw, frameHeight);
}

void PluginLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                          float sliderPosProportional, float rotaryStartAngle,
                                          float rotaryEndAngle, juce::Slider& slider)
{
    auto* ex = dynamic_cast<SliderEx*> (&slider);

    if (ex == nullptr)
    {
        juce::LookAndFeel_V4::drawRotarySlider (g, x, y, width, height, sliderPosProportional,
                                                rotaryStartAngle, rotaryEndAngle, slider);
        return;
    }

    const auto image = rotarySliderImages[ex->imageName];

    if (! image.isValid() || image.getWidth() <= 0)
        return;

    const auto size = image.getWidth();
    const auto frames = image.getHeight() / size;

    if (frames < 1)
        return;

    const auto frame = getRotaryFrame (slider, frames);
    const auto radius = juce::jmin ((float) width * 0.5f, (float) height * 0.5f);
    const auto left = (int) ((float) x + (float) width * 0.5f - radius - 1.0f);
    const auto side = 2 * (int) radius;

    g.drawImage (image, left, y - 1, side, side, 0, frame * size, size, size);
}

juce::Label* PluginLookAndFeel::createSliderTextBox (juce::Slider& slider)
{
    slider.setColour (juce::Slider::textBoxBackgroundColourId, juce::Colour (0x00ffffff));
    slider.setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00ffffff));
    slider.setColour (juce::Slider::textBoxTextColourId, juce::Colour (0xffffffff));

    auto* label = juce::LookAndFeel_V4::createSliderTextBox (slider);
    label->setFont (label->getFont().withHeight (11.0f));
    return label;
}

juce::Font PluginLookAndFeel::getSliderPopupFont (juce::Slider&)
{
    return juce::Font (12.0f);
}

int PluginLookAndFeel::getSliderPopupPlacement (juce::Slider& slider)
{
    if (auto* ex = dynamic_cast<SliderEx*> (&slider))
        return ex->popupPlacement;

    return juce::LookAndFeel_V4::getSliderPopupPlacement (slider);
}
} // namespace KA
