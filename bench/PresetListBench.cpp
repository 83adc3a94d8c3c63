// Opening the preset list over a large user folder, and repainting the open list
// at full-HD size, each beside a reference measured in the same run. Then the three
// places that scan the preset folders (building the editor, opening the list, Save As)
// over the bare user folder and over the same folder with a link to a large tree.

#include "app/RedeVaPlugin.h"
#include "ui/editor/PluginEditor.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace
{
constexpr int numFolders = 50;
constexpr int presetsPerFolder = 20;
constexpr int numLinkedFolders = 300;
constexpr int filesPerLinkedFolder = 100;

/** A folder made for this run, removed when the program ends. */
struct TemporaryFolder
{
    explicit TemporaryFolder (const juce::String& name) : folder (juce::File::createTempFile (name)) {}
    ~TemporaryFolder() { folder.deleteRecursively(); }

    juce::File folder;
};

/** A HOME of its own whose user preset folder holds 1000 presets in 50 folders. */
juce::File makePresetHome()
{
    static const TemporaryFolder home ("preset-bench");
    static const bool filled = []
    {
        auto folder = home.folder;
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
        return true;
    }();

    juce::ignoreUnused (filled);
    return home.folder;
}

juce::File getUserFolder()
{
    return makePresetHome().getChildFile ("Documents/KA Dravon Rore Rurediriz");
}

/** Outside the home: 300 folders of 100 empty ".xml" files. */
juce::File makeLargeTree()
{
    static const TemporaryFolder tree ("preset-bench-tree");
    static const bool filled = []
    {
        for (int f = 0; f < numLinkedFolders; ++f)
        {
            const auto sub = tree.folder.getChildFile ("Linked " + juce::String (f));
            sub.createDirectory();

            for (int p = 0; p < filesPerLinkedFolder; ++p)
                sub.getChildFile ("File " + juce::String (p) + ".xml").create();
        }

        return true;
    }();

    juce::ignoreUnused (filled);
    return tree.folder;
}

/** A folder link inside the user folder for as long as this lives: with 1 to the large tree,
    with 2 to the root of the disk, as a user may make by mistake; with 0 none, and the other
    benchmarks see the bare folder. */
struct LinkedTree
{
    explicit LinkedTree (int64_t which)
    {
        link.deleteFile();

        if (which == 1)
            makeLargeTree().createSymbolicLink (link, true);
        else if (which == 2)
            juce::File ("/").createSymbolicLink (link, true);
    }

    ~LinkedTree() { link.deleteFile(); }   // the link alone: its target serves the next benchmark

    /** The entries behind the link, where they are known. */
    static int countEntries (int64_t which) { return which == 1 ? numLinkedFolders * (filesPerLinkedFolder + 1) : 0; }

    juce::File link = getUserFolder().getChildFile ("Linked");
};

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
    const auto user = getUserFolder();

    for (auto _ : state)
    {
        int files = 0;

        for (const auto& entry : juce::RangedDirectoryIterator (user, true, "*", juce::File::findFilesAndDirectories))
            files += entry.isDirectory() ? 0 : 1;

        benchmark::DoNotOptimize (files);
    }
}

/** Building the editor, whose bar indexes the preset folders; range(0): which link (see LinkedTree). */
void scanOnEditorBuild (benchmark::State& state)
{
    const LinkedTree linked (state.range (0));   // makes the home and sets HOME first
    juce::ScopedJuceInitialiser_GUI juce;
    RedeVaPlugin processor;
    int indexed = 0;

    for (auto _ : state)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        indexed = dynamic_cast<KA::PluginEditor&> (*editor).getToolBar()->getLibrary().getNumEntries();
        processor.editorBeingDeleted (editor.get());
    }

    state.counters["linkedEntries"] = LinkedTree::countEntries (state.range (0));
    state.counters["indexed"] = indexed;
}

/** Opening the preset list; range(0): which link (see LinkedTree). */
void scanOnListOpen (benchmark::State& state)
{
    const LinkedTree linked (state.range (0));
    OpenEditor open (690, 284);

    for (auto _ : state)
        open.editor->getToolBar()->openPresetList();

    state.counters["linkedEntries"] = LinkedTree::countEntries (state.range (0));
    state.counters["indexed"] = open.editor->getToolBar()->getLibrary().getNumEntries();
}

/** Save As under a name new to the user folder, which writes the preset and indexes the
    folders again; range(0): which link (see LinkedTree). */
void scanOnSaveAs (benchmark::State& state)
{
    const LinkedTree linked (state.range (0));
    OpenEditor open (690, 284);
    const auto file = getUserFolder().getChildFile ("Saved.xml");

    for (auto _ : state)
    {
        open.editor->getToolBar()->saveAsChosen (file);

        // Removed unmeasured, so each save is of a new preset and the folder keeps its size.
        state.PauseTiming();
        const auto saved = file.existsAsFile() && file.deleteFile();
        state.ResumeTiming();

        if (! saved)
        {
            state.SkipWithError ("Save As wrote nothing");
            break;
        }
    }

    state.counters["linkedEntries"] = LinkedTree::countEntries (state.range (0));
    state.counters["indexed"] = open.editor->getToolBar()->getLibrary().getNumEntries();
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
BENCHMARK (scanOnEditorBuild)->ArgName ("linked")->Arg (0)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
BENCHMARK (scanOnListOpen)->ArgName ("linked")->Arg (0)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
BENCHMARK (scanOnSaveAs)->ArgName ("linked")->Arg (0)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
