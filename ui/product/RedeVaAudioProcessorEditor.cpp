#include "ui/product/RedeVaAudioProcessorEditor.h"

#include "ui/product/DRPanelLayout.h"
#include "ui/product/RedeVaEditor.h"

#include "BinaryData.h"

RedeVaAudioProcessorEditor::RedeVaAudioProcessorEditor (KA::PluginProcessor& p)
    : DRBaseAudioProcessorEditor (p)
{
    const auto cap = juce::ImageCache::getFromMemory (BinaryData::fader_cap_png, BinaryData::fader_cap_pngSize);

    for (auto& fader : DRPanelLayout::faders)
        seriesLookAndFeel->linearSliderImages.set (fader.parameterID, cap);
}

RedeVaAudioProcessorEditor::~RedeVaAudioProcessorEditor()
{
    releaseComponents();
}

std::unique_ptr<KA::ImageResizeView> RedeVaAudioProcessorEditor::createEditorView()
{
    return std::make_unique<RedeVaEditor> (seriesLookAndFeel.get(), getProcessor());
}
