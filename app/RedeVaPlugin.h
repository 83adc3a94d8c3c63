#pragma once

#include "engine/RedeVaAudioProcessor.h"

/** The product processor as the application runs it: with its editor. The
    engine's class knows nothing of the user interface, so its tests and tools
    build without it. */
class RedeVaPlugin : public RedeVaAudioProcessor
{
public:
    bool hasEditor() const override { return true; }
    juce::AudioProcessorEditor* createEditor() override;
};
