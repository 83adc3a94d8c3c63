#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace KA::Test
{
/** Compares a picture with the reviewed one of that name in tests/ui/pictures, pixel for
    pixel: JUCE's software renderer draws the same pixels whatever the build. After an
    intended change of the look, look at the new pictures and keep them:
    KA_UPDATE_PICTURES=1 build-test/tests/ka_ui_tests */
inline ::testing::AssertionResult looksAsReviewed (const juce::Image& picture, const juce::String& name)
{
    const auto file = juce::File (KA_UI_PICTURES).getChildFile (name + ".png");
    const auto rgb = picture.convertedToFormat (juce::Image::RGB);

    if (juce::SystemStats::getEnvironmentVariable ("KA_UPDATE_PICTURES", {}).isNotEmpty())
    {
        file.getParentDirectory().createDirectory();
        file.deleteFile();
        juce::FileOutputStream out (file);
        juce::PNGImageFormat().writeImageToStream (rgb, out);
    }

    const auto expected = juce::ImageFileFormat::loadFrom (file);
    if (expected.getBounds() != rgb.getBounds())
        return ::testing::AssertionFailure() << "no reviewed picture of that size: " << file.getFullPathName();

    int differing = 0;
    for (int y = 0; y < rgb.getHeight(); ++y)
        for (int x = 0; x < rgb.getWidth(); ++x)
            differing += expected.getPixelAt (x, y) != rgb.getPixelAt (x, y) ? 1 : 0;
    if (differing > 0)
        return ::testing::AssertionFailure() << name << " differs from the reviewed picture in " << differing << " pixels";
    return ::testing::AssertionSuccess();
}
} // namespace KA::Test
