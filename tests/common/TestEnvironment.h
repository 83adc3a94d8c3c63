#pragma once

#include <juce_core/juce_core.h>

namespace KA::Test
{
/** The temporary HOME every test binary runs under, so settings files written by
    the code under test never touch the developer's own. */
juce::File getTemporaryHome();

/** A fresh, empty folder below the temporary HOME. */
juce::File makeTemporaryFolder (const juce::String& prefix);
} // namespace KA::Test
