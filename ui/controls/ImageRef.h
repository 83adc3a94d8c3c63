#pragma once

#include <juce_core/juce_core.h>

namespace KA
{
/** Names the image a look-and-feel draws a control with. */
struct ImageRef
{
    juce::String imageName;
};
} // namespace KA
