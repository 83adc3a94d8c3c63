#pragma once

#include "ui/product/DRBaseEditor.h"

/** The bass equalizer's panel: the series controls plus the Level fader and
    seven band faders, each with a readout beneath it. */
class RedeVaEditor : public DRBaseEditor
{
public:
    RedeVaEditor (juce::LookAndFeel* lookAndFeel, KA::PluginProcessor& processor);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RedeVaEditor)
};
