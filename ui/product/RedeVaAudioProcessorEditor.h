#pragma once

#include "ui/editor/DRBaseAudioProcessorEditor.h"

/** The bass equalizer's editor: the series editor with the fader images and
    the product's control panel. */
class RedeVaAudioProcessorEditor : public DRBaseAudioProcessorEditor
{
public:
    explicit RedeVaAudioProcessorEditor (KA::PluginProcessor& processor);
    ~RedeVaAudioProcessorEditor() override;

    std::unique_ptr<KA::ImageResizeView> createEditorView() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RedeVaAudioProcessorEditor)
};
