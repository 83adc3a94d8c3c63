#include "app/RedeVaPlugin.h"
#include "tests/common/MessageLoop.h"
#include "ui/dialogs/DialogBoxes.h"
#include "ui/editor/PluginEditor.h"
#include "ui/lookandfeel/DRLookAndFeel.h"
#include "ui/product/DRBaseEditor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
using KA::Test::runFor;

TEST (WindowedEditor, CreatedShownAndDestroyedRepeatedlyWhileAudioRuns)
{
    RedeVaPlugin processor;
    processor.prepareToPlay (48000.0, 256);
    std::atomic<int> blocks { 0 };
    std::atomic<bool> stop { false };
    std::thread thread ([&]
    {
        juce::AudioBuffer<float> buffer (2, 256);
        juce::MidiBuffer midi;
        juce::Random random (7);
        while (! stop)
        {
            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < 256; ++i)
                    buffer.setSample (c, i, 0.5f * (random.nextFloat() - 0.5f));
            processor.processBlock (buffer, midi);
            ++blocks;
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
        }
    });

    float meterPeak = 0.0f;
    for (int round = 0; round < 12; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        auto& pluginEditor = dynamic_cast<KA::PluginEditor&> (*editor);
        auto* panel = dynamic_cast<DRBaseEditor*> (pluginEditor.getEditorView());
        editor->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        editor->setVisible (true);
        editor->setSize (round % 2 == 0 ? 690 : 1280, round % 2 == 0 ? 284 : 720);
        ASSERT_TRUE (editor->getPeer() != nullptr && editor->getPeer()->getNativeHandle() != nullptr);

        // Move a control and open dialogs while the meters run.
        processor.parameters.getParameter ("Level")->setValueNotifyingHost ((float) (round % 5) / 4.0f);
        if (round % 3 == 0)
            KA::showMessageBox (pluginEditor, "round " + juce::String (round), nullptr);
        runFor (150);
        meterPeak = juce::jmax (meterPeak, panel->inputLevelMeter.getChannelLevel (0));

        processor.editorBeingDeleted (editor.get());
        editor.reset();
        EXPECT_EQ (processor.getActiveEditor(), nullptr);
    }
    stop = true;
    thread.join();
    EXPECT_GT (blocks.load(), 50);
    EXPECT_GT (meterPeak, 0.0f);
}

TEST (WindowedEditor, WindowsAreToldWhenTheEditorsDefaultLookAndFeelGoes)
{
    struct OtherWindow : public juce::Component
    {
        void lookAndFeelChanged() override { ++changes; }
        int changes = 0;
    } window;
    window.setSize (200, 100);
    window.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    window.setVisible (true);

    RedeVaPlugin processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    EXPECT_NE (dynamic_cast<DRLookAndFeel*> (&window.getLookAndFeel()), nullptr);
    const auto before = window.changes;
    processor.editorBeingDeleted (editor.get());
    editor.reset();

    // The default was put back while the series look-and-feel still existed, so the window moved off it and was told.
    EXPECT_GT (window.changes, before);
    EXPECT_EQ (dynamic_cast<DRLookAndFeel*> (&window.getLookAndFeel()), nullptr);
    runFor (50);
    window.repaint();
    runFor (50);
}

TEST (WindowedLookAndFeel, AlertWindowsDrawTheSeriesAlertBox)
{
    DRLookAndFeel lf;
    juce::AlertWindow alert ("Title", "A message", juce::MessageBoxIconType::WarningIcon);
    alert.setLookAndFeel (&lf);
    alert.setColour (juce::AlertWindow::outlineColourId, juce::Colour (0xff0000ff));
    alert.setColour (juce::AlertWindow::backgroundColourId, juce::Colour (0xff101010));
    alert.setSize (400, 150);
    const auto picture = alert.createComponentSnapshot (alert.getLocalBounds(), false, 1.0f);
    EXPECT_EQ (picture.getPixelAt (0, 0).getARGB(), 0xff0000ffu);
    EXPECT_EQ (picture.getPixelAt (200, 140).getARGB(), 0xff101010u);
    EXPECT_GT (picture.getPixelAt (70, 40).getRed(), 150); // the warning sign's centre
    alert.setLookAndFeel (nullptr);
}
} // namespace
