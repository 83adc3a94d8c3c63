// The product editor as a user first sees it, compared with a reviewed picture of
// it: every control, readout, meter and text at its place, in its colours and fonts.
// After an intended change of the look, look at the new picture and keep it:
//   KA_UPDATE_PICTURES=1 build-test/tests/ka_ui_tests --gtest_filter='EditorPicture*'

#include "app/RedeVaPlugin.h"
#include "ui/dialogs/DialogBoxes.h"
#include "ui/editor/PluginEditor.h"
#include "ui/product/DRBaseEditor.h"

#include <gtest/gtest.h>

namespace
{
juce::File reference (const char* name)
{
    return juce::File (__FILE__).getSiblingFile ("pictures").getChildFile (name);
}

/** Pixels whose colour differs by more than a rounding in any channel. */
int differingPixels (const juce::Image& a, const juce::Image& b)
{
    int count = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
            count += std::abs (p.getRed() - q.getRed()) > 8 || std::abs (p.getGreen() - q.getGreen()) > 8
                     || std::abs (p.getBlue() - q.getBlue()) > 8 ? 1 : 0;
        }
    return count;
}
} // namespace

/** The editor at its default size, with a message box open when a message is given. */
juce::Image pictureOfTheEditor (const juce::String& message)
{
    RedeVaPlugin processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto& pluginEditor = static_cast<KA::PluginEditor&> (*editor);
    dynamic_cast<DRBaseEditor&> (*pluginEditor.getEditorView()).timerCallback();
    if (message.isNotEmpty())
        KA::askQuestionBox (pluginEditor, 1, message, "Delete", "Cancel", {}, nullptr);
    auto picture = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f).convertedToFormat (juce::Image::RGB);
    processor.editorBeingDeleted (editor.get());
    return picture;
}

TEST (EditorPicture, EditorAndDialogLookAsReviewed)
{
    for (auto [name, message] : { std::pair { "editor.png", "" }, { "question.png", "Delete the preset \"Warm\"?" } })
    {
        const auto picture = pictureOfTheEditor (message);
        const auto file = reference (name);
        if (juce::SystemStats::getEnvironmentVariable ("KA_UPDATE_PICTURES", {}).isNotEmpty())
        {
            file.getParentDirectory().createDirectory();
            file.deleteFile();
            juce::FileOutputStream out (file);
            ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (picture, out));
        }

        const auto expected = juce::ImageFileFormat::loadFrom (file);
        ASSERT_TRUE (expected.isValid()) << file.getFullPathName();
        ASSERT_EQ (expected.getBounds(), picture.getBounds());
        EXPECT_EQ (differingPixels (expected, picture), 0) << name << " no longer looks as reviewed; see the file comment";
    }
}
