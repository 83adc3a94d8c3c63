// The product's editor is made here rather than beside the processor, so that
// the engine never depends on the user interface.

#include "engine/RedeVaAudioProcessor.h"
#include "ui/RedeVaAudioProcessorEditor.h"

juce::AudioProcessorEditor* RedeVaAudioProcessor::createEditor()
{
    auto* editor = new RedeVaAudioProcessorEditor (*this);
    editor->init (0, 0);
    return editor;
}
