// One full repaint of the product editor (background, panel, every control and
// meter) into an image, at the default window size and at full-HD full screen.

#include "app/RedeVaPlugin.h"
#include "ui/editor/PluginEditor.h"

#include <benchmark/benchmark.h>

namespace
{
void paintEditor (benchmark::State& state)
{
    // Per run, not static: JUCE must shut down before the program's statics go.
    juce::ScopedJuceInitialiser_GUI juce;

    const auto width = (int) state.range (0);
    const auto height = (int) state.range (1);

    RedeVaPlugin processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    editor->setSize (width, height);

    juce::Image image (juce::Image::ARGB, width, height, true);

    for (auto _ : state)
    {
        juce::Graphics g (image);
        editor->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelData());
    }

    state.counters["pixels"] = (double) width * height;
    processor.editorBeingDeleted (editor.get());
}
} // namespace

BENCHMARK (paintEditor)->Args ({ 690, 284 })->Args ({ 1920, 1080 })->Unit (benchmark::kMillisecond);
