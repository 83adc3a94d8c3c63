#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include "tests/common/TestEnvironment.h"

TEST (TestEnvironment, HomeIsTemporary)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    EXPECT_EQ (home, KA::Test::getTemporaryHome());
    EXPECT_TRUE (home.getFullPathName().startsWith ("/tmp/ka-test-home"));
}
