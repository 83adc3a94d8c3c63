#pragma once

#include <juce_core/juce_core.h>

namespace KA::GlobalStrings
{
/** Texts shared by the whole plug-in library: state-tree keys, the names of the
    toolbar's buttons and of the default program, the preset file extension. */
extern const juce::String currentPreset;  // state-tree property with the current preset's path
extern const juce::String defaultName;    // program 0 and the default preset entry
extern const juce::String factoryPresets; // folder caption of the built-in presets
extern const juce::String save;
extern const juce::String saveAs;
extern const juce::String deleteName;
extern const juce::String xmlExtension;   // preset files
extern const juce::String power;
extern const juce::String showMailForm;   // global-settings key
} // namespace KA::GlobalStrings
