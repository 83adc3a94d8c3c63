#include "app/RedeVaPlugin.h"
#include "ui/lookandfeel/DRLookAndFeel.h"
#include "ui/product/DRBaseEditor.h"
#include "ui/dialogs/DialogBoxes.h"
#include "ui/product/RedeVaAudioProcessorEditor.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
/** Plays noise through the processor in real-time-sized blocks until stopped. */
class AudioThread : public juce::Thread
{
public:
    explicit AudioThread (RedeVaPlugin& p) : juce::Thread ("test audio"), processor (p) {}

    void run() override
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        juce::Random random (7);

        while (! threadShouldExit())
        {
            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < blockSize; ++i)
                    buffer.setSample (c, i, 0.5f * (random.nextFloat() - 0.5f));

            processor.processBlock (buffer, midi);
            ++blocks;
            wait (5);
        }
    }

    static constexpr int blockSize = 256;
    std::atomic<int> blocks { 0 };

private:
    RedeVaPlugin& processor;
};

void runMessageLoop (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

TEST (WindowedEditor, CreatedShownAndDestroyedRepeatedlyWhileAudioRuns)
{
    RedeVaPlugin processor;
    processor.prepareToPlay (48000.0, AudioThread::blockSize);
    AudioThread audio (processor);
    audio.startThread();

    float meterPeak = 0.0f;

    for (int round = 0; round < 12; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        auto& pluginEditor = dynamic_cast<KA::PluginEditor&> (*editor);
        auto* panel = dynamic_cast<DRBaseEditor*> (pluginEditor.getEditorView());
        ASSERT_NE (panel, nullptr);

        editor->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        editor->setVisible (true);
        editor->setSize (round % 2 == 0 ? 690 : 1280, round % 2 == 0 ? 284 : 720);
        ASSERT_NE (editor->getPeer(), nullptr);
        ASSERT_NE (editor->getPeer()->getNativeHandle(), nullptr);

        // Move a few controls and open dialogs while the meters run.
        auto& level = *processor.parameters.getParameter ("Level");
        level.setValueNotifyingHost ((float) (round % 5) / 4.0f);
        if (round % 3 == 0)
            KA::showMessageBox (pluginEditor, "round " + juce::String (round), nullptr);

        runMessageLoop (150);
        meterPeak = juce::jmax (meterPeak, panel->inputLevelMeter.getChannelLevel (0));

        processor.editorBeingDeleted (editor.get());
        editor.reset();
        EXPECT_EQ (processor.getActiveEditor(), nullptr);
    }

    audio.stopThread (2000);
    EXPECT_GT (audio.blocks.load(), 50);
    EXPECT_GT (meterPeak, 0.0f);
}
} // namespace

namespace
{
/** A window of the program that draws with the default look-and-feel. */
struct OtherWindow : public juce::Component
{
    void lookAndFeelChanged() override { ++changes; }
    int changes = 0;
};

TEST (WindowedEditor, WindowsAreToldWhenTheEditorsDefaultLookAndFeelGoes)
{
    OtherWindow window;
    window.setSize (200, 100);
    window.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    window.setVisible (true);

    RedeVaPlugin processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto* installed = &juce::LookAndFeel::getDefaultLookAndFeel();
    EXPECT_NE (dynamic_cast<DRLookAndFeel*> (installed), nullptr);
    EXPECT_EQ (&window.getLookAndFeel(), installed);

    const auto before = window.changes;
    processor.editorBeingDeleted (editor.get());
    editor.reset();

    // The default was put back while the series look-and-feel still existed,
    // so the other window moved off it and was told.
    EXPECT_GT (window.changes, before);
    EXPECT_EQ (dynamic_cast<DRLookAndFeel*> (&window.getLookAndFeel()), nullptr);
    runMessageLoop (50);
    window.repaint();
    runMessageLoop (50);
}
} // namespace

TEST (WindowedLookAndFeel, AlertWindowsDrawTheSeriesAlertBox)
{
    // An alert window is a desktop window: its drawing goes through the series' alert box.
    DRLookAndFeel lf;
    juce::AlertWindow alert ("Title", "A message", juce::MessageBoxIconType::WarningIcon);
    alert.setLookAndFeel (&lf);
    alert.setColour (juce::AlertWindow::outlineColourId, juce::Colour (0xff0000ff));
    alert.setColour (juce::AlertWindow::backgroundColourId, juce::Colour (0xff101010));
    alert.setSize (400, 150);
    const auto picture = alert.createComponentSnapshot (alert.getLocalBounds(), false, 1.0f);
    EXPECT_EQ (picture.getPixelAt (0, 0).getARGB(), 0xff0000ffu);
    EXPECT_EQ (picture.getPixelAt (200, 140).getARGB(), 0xff101010u);
    // The warning sign, red at the icon's centre.
    EXPECT_GT (picture.getPixelAt (70, 40).getRed(), 150);
    alert.setLookAndFeel (nullptr);
}

