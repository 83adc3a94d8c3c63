// The product editor as a user first sees it, and with a question box open: every
// control, readout, meter and text at its place, in its colours and fonts.

#include "app/RedeVaPlugin.h"
#include "engine/GlobalStrings.h"
#include "tests/ui/support/ReviewedPicture.h"
#include "ui/dialogs/DialogBoxes.h"
#include "ui/editor/PluginEditor.h"
#include "ui/product/DRBaseEditor.h"

TEST (EditorPicture, EditorAndQuestionBoxLookAsReviewed)
{
    for (auto [name, message] : { std::pair { "editor", "" }, { "question", "Delete the preset \"Warm\"?" } })
    {
        RedeVaPlugin processor;
        // The sign-up form a first start offers would cover the panel.
        processor.globalSettings->getUserSettings()->setValue (KA::GlobalStrings::showMailForm, false);
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        auto& pluginEditor = static_cast<KA::PluginEditor&> (*editor);
        dynamic_cast<DRBaseEditor&> (*pluginEditor.getEditorView()).timerCallback();
        if (juce::String (message).isNotEmpty())
            KA::askQuestionBox (pluginEditor, 1, message, "Delete", "Cancel", {}, nullptr);

        EXPECT_TRUE (KA::Test::looksAsReviewed (editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f), name));
        processor.editorBeingDeleted (editor.get());
    }
}
