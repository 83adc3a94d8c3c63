#include "app/RedeVaPlugin.h"
#include "app/PluginFactory.h"
#include "ui/product/RedeVaAudioProcessorEditor.h"

juce::AudioProcessorEditor* RedeVaPlugin::createEditor()
{
    auto* editor = new RedeVaAudioProcessorEditor (*this);
    editor->init (0, 0);
    return editor;
}

juce::AudioProcessor* KA::createPluginFilter()
{
    return new RedeVaPlugin();
}
