#include "ui/product/RedeVaEditor.h"

#include "ui/product/DRPanelLayout.h"

RedeVaEditor::RedeVaEditor (juce::LookAndFeel* lf, KA::PluginProcessor& p)
    : DRBaseEditor (lf, p)
{
    for (auto& fader : DRPanelLayout::faders)
    {
        auto* slider = addSliderWithAttachment (fader.parameterID, fader.fader.x, fader.fader.y, fader.fader.width,
                                                fader.fader.height, juce::Slider::LinearVertical, controlLookAndFeel);
        slider->drawAsThumb = true;
        slider->setSliderSnapsToMousePosition (false);
        slider->setMouseDragSensitivity (65);
    }

    for (auto& fader : DRPanelLayout::faders)
        addValueLabel (fader.parameterID, fader.valueLabel.x);
}
