#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace KA
{
/** Creates the product's processor; the standalone holder calls it once. */
juce::AudioProcessor* createPluginFilter();
} // namespace KA
