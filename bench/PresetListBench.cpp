// Opening the preset list over a large user folder, and repainting the open list
// at full-HD size, each beside a reference measured in the same run.

#include "app/RedeVaPlugin.h"
#include "ui/editor/PluginEditor.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace
{
constexpr int numFolders = 50;
constexpr int presetsPerFolder = 20;

/** A HOME of its own whose user preset folder holds 1000 presets in 50 folders. */
juce::File makePresetHome()
{
    static const juce::File home = []
    {
        auto folder = juce::File::createTempFile ("preset-bench");
        auto user = folder.getChildFile ("Documents/KA Dravon Rore Rurediriz");
        const auto text = juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                        "<DRRoreRurediriz><PARAM id=\"Level\" value=\"1.0\"/></DRRoreRurediriz>\n");

        for (int f = 0; f < numFolders; ++f)
            for (int p = 0; p < presetsPerFolder; ++p)
            {
                auto file = user.getChildFile ("Folder " + juce::String (f)).getChildFile ("Preset " + juce::String (p) + ".xml");
                file.getParentDirectory().createDirectory();
                file.replaceWithText (text);
            }

        ::setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
        return folder;
    }();

    return home;
}

struct OpenEditor
{
    explicit OpenEditor (int width, int height)
    {
        makePresetHome();
        editor.reset (dynamic_cast<KA::PluginEditor*> (processor.createEditorIfNeeded()));
        editor->setSize (width, height);
    }

    ~OpenEditor() { processor.editorBeingDeleted (editor.get()); }

    juce::ScopedJuceInitialiser_GUI juce; // per run: JUCE must shut down before the program's statics go
    RedeVaPlugin processor;
    std::unique_ptr<KA::PluginEditor> editor;
};

void openPresetList (benchmark::State& state)
{
    OpenEditor open (690, 284);

    for (auto _ : state)
        open.editor->getToolBar()->openPresetList();

    state.counters["presets"] = numFolders * presetsPerFolder;
}

/** Reference: only listing the same folders, as any program showing them must. */
void listPresetFolders (benchmark::State& state)
{
    const auto user = makePresetHome().getChildFile ("Documents/KA Dravon Rore Rurediriz");

    for (auto _ : state)
    {
        int files = 0;

        for (const auto& entry : juce::RangedDirectoryIterator (user, true, "*", juce::File::findFilesAndDirectories))
            files += entry.isDirectory() ? 0 : 1;

        benchmark::DoNotOptimize (files);
    }
}

/** range(0): 0 = the whole editor, 1 = a dialog-sized 600 x 250 region of the list;
    range(1): 1 with the preset list open, 0 without (the reference). */
void repaint (benchmark::State& state)
{
    OpenEditor open (1920, 1080);

    if (state.range (1) != 0)
        open.editor->getToolBar()->openPresetList();

    const auto region = state.range (0) == 0 ? open.editor->getLocalBounds()
                                             : juce::Rectangle<int> (660, 300, 600, 250);
    juce::Image image (juce::Image::ARGB, 1920, 1080, true);

    for (auto _ : state)
    {
        juce::Graphics g (image);
        g.reduceClipRegion (region);
        open.editor->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelData());
    }
}
} // namespace

BENCHMARK (openPresetList)->Unit (benchmark::kMillisecond);
BENCHMARK (listPresetFolders)->Unit (benchmark::kMillisecond);
BENCHMARK (repaint)->ArgNames ({ "region", "list" })->Args ({ 0, 1 })->Args ({ 0, 0 })->Args ({ 1, 1 })->Args ({ 1, 0 })->Unit (benchmark::kMillisecond);
