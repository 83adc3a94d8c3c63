#include "ui/editor/DRBaseAudioProcessorEditor.h"

#include "engine/GlobalStrings.h"

#include "BinaryData.h"

DRBaseAudioProcessorEditor::DRBaseAudioProcessorEditor (KA::PluginProcessor& p)
    : KA::PluginEditor (p),
      seriesLookAndFeel (std::make_unique<DRLookAndFeel>())
{
    const auto knob = juce::ImageCache::getFromMemory (BinaryData::knob_filmstrip_png, BinaryData::knob_filmstrip_pngSize);
    seriesLookAndFeel->rotarySliderImages.set ("InputTrimmer", knob);
    seriesLookAndFeel->rotarySliderImages.set ("OutputTrimmer", knob);

    const auto toggle = juce::ImageCache::getFromMemory (BinaryData::switch_strip_png, BinaryData::switch_strip_pngSize);
    seriesLookAndFeel->toggleButtonImages.set ("power", toggle);
    seriesLookAndFeel->toggleButtonImages.set ("AnalogPower", toggle);
    seriesLookAndFeel->toggleButtonImages.set ("Led_png",
                                               juce::ImageCache::getFromMemory (BinaryData::led_strip_png, BinaryData::led_strip_pngSize));

    backgroundImage = juce::ImageCache::getFromMemory (BinaryData::editor_background_png, BinaryData::editor_background_pngSize);
}

DRBaseAudioProcessorEditor::~DRBaseAudioProcessorEditor()
{
    releaseComponents();

    // JUCE's default look-and-feel must never point at a deleted object.
    if (&juce::LookAndFeel::getDefaultLookAndFeel() == seriesLookAndFeel.get())
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);

    seriesLookAndFeel.reset();
}

void DRBaseAudioProcessorEditor::init (int, int)
{
    createComponents();
    restoreEditorSize (defaultWidth, defaultHeight);
    seriesLookAndFeel->installAsDefault();

    auto* settings = getProcessor().globalSettings != nullptr ? getProcessor().globalSettings->getUserSettings() : nullptr;

    if (shouldOfferMailForm (settings))
        showMailListDialog();
}

bool DRBaseAudioProcessorEditor::shouldOfferMailForm (const juce::PropertySet* globalSettings)
{
    // An absent key means the user never declined.
    return globalSettings == nullptr || globalSettings->getBoolValue (KA::GlobalStrings::showMailForm, true);
}
