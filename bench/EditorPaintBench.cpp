// Repaints of the product editor into an image: the whole editor (background,
// panel, every control and meter) at the default window size and at full-HD full
// screen, and the region of an in-window dialog, whose translucent backdrop covers
// the whole editor, as each repaint of the dialog's contents asks for.

#include "app/RedeVaPlugin.h"
#include "ui/dialogs/DialogBoxes.h"
#include "ui/editor/PluginEditor.h"

#include <benchmark/benchmark.h>

namespace
{
void paint (benchmark::State& state, bool dialogRegionOnly)
{
    // Per run, not static: JUCE must shut down before the program's statics go.
    juce::ScopedJuceInitialiser_GUI juce;

    const auto width = (int) state.range (0);
    const auto height = (int) state.range (1);

    RedeVaPlugin processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    editor->setSize (width, height);
    auto region = editor->getLocalBounds();

    if (dialogRegionOnly)
    {
        auto& manager = dynamic_cast<KA::PluginEditor&> (*editor);
        KA::showMessageBox (manager, "The preset could not be loaded.", nullptr);
        auto* dialog = dynamic_cast<KA::DialogComponent*> (manager.getCurrentDialog());
        region = dialog->getView()->getBoundsInParent() + dialog->getPosition();
    }

    juce::Image image (juce::Image::ARGB, width, height, true);

    for (auto _ : state)
    {
        juce::Graphics g (image);
        g.reduceClipRegion (region);
        editor->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelData());
    }

    state.counters["pixels"] = (double) region.getWidth() * region.getHeight();
    processor.editorBeingDeleted (editor.get());
}

void paintEditor (benchmark::State& state)       { paint (state, false); }
void paintDialogRegion (benchmark::State& state) { paint (state, true); }
} // namespace

BENCHMARK (paintEditor)->Args ({ 690, 284 })->Args ({ 1920, 1080 })->Unit (benchmark::kMillisecond);
BENCHMARK (paintDialogRegion)->Args ({ 1920, 1080 })->Unit (benchmark::kMillisecond);
