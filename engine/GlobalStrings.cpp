#include "engine/GlobalStrings.h"

namespace KA::GlobalStrings
{
const juce::String currentPreset ("CurrentPreset");
const juce::String defaultName ("Default");
const juce::String factoryPresets ("Factory Presets");
const juce::String save ("Save");
const juce::String saveAs ("Save As");
const juce::String deleteName ("Delete");
const juce::String xmlExtension (".xml");
const juce::String power ("Power");
const juce::String showMailForm ("showMailForm");
} // namespace KA::GlobalStrings
