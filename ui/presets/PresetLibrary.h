#pragma once

#include "ui/controls/ListTreeViewItem.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <set>
#include <string>

namespace KA
{
class PluginProcessor;

/** Numbers, lists, loads, saves and deletes presets: "Default", the processor's
    factory presets and the ".xml" files of the shared and the user preset folder.
    It knows nothing of components; the toolbar shows what it reports.

    Each compare slot remembers its preset by identity (a file by its path), so
    rebuilding or renumbering the index never moves a slot onto another file:
    Save and Delete act only on the file the slot shows. */
class PresetLibrary
{
public:
    struct Folders
    {
        juce::File user;   // written by Save and Save As, thinned out by Delete
        juce::File shared; // listed with the factory presets and protected like them
    };

    /** The folders the product uses: the user's documents folder and the global
        applications folder, each with the product's name. */
    static Folders defaultFolders (const juce::String& productName);

    PresetLibrary (PluginProcessor& processor, Folders folders);

    /** Called after a preset has been checked and before it replaces the state. */
    std::function<void()> onPresetWillChange;

    /** The editor's size, which a loaded preset file keeps; empty keeps the file's own. */
    std::function<juce::Point<int>()> getEditorSize;

    const Folders& getFolders() const noexcept { return folders; }

    /** Makes the user folder if it is missing. The shared folder is never made. */
    void ensureUserFolder() const;

    //==============================================================================
    /** Rebuilds the index from the folders and, given a root, the preset tree under
        it; openFolder receives the folder node holding the selected file, if any. */
    void setPresetPath (const juce::String& selectedPath, ListTreeViewItem* root = nullptr,
                        ListTreeViewItem** openFolder = nullptr);

    /** Most entries listed through folder links in one rebuild: a link may lead to a
        tree as large as the whole disk. Real folders are always listed whole. */
    static constexpr int maxEntriesThroughLinks = 20000;

    /** True when the last rebuild stopped following folder links at that bound. */
    bool wereLinkedFoldersCut() const noexcept { return linkedFoldersCut; }

    int getNumEntries() const noexcept { return presetIndexMap.size(); }
    juce::String getEntry (int index) const;
    int findIndex (const juce::String& entry) const;
    int getFirstUserPresetIndex() const noexcept { return firstUserPresetIndex; }
    int getNumFactoryEntries() const noexcept { return numFactoryEntries; }

    /** The name the bar shows for an index: "Default", a factory name or a file's
        name without extension (empty when the index has no entry). */
    juce::String getDisplayName (int index) const;

    /** The state's "CurrentPreset" read once, as text only, so the bar's timer can ask
        for it every tick; the start and the A/B switch look the file up from it. */
    struct CurrentPreset
    {
        /** The timer's name: a factory name, else the file name of the text taken as a
            path (a relative one from the working folder), "Default" for no text. */
        juce::String displayName;

        /** The factory index the text names, or 0. */
        int factoryIndex = 0;

        /** The file a full or home path names; none for any other text. */
        juce::File file;
    };

    CurrentPreset readCurrentPreset() const;

    /** The name the bar's timer shows for the state's "CurrentPreset". */
    juce::String getCurrentPresetDisplayName() const { return readCurrentPreset().displayName; }

    //==============================================================================
    /** Points slot A at the state's "CurrentPreset" and slot B at "Default"; returns
        the name to show. */
    juce::String chooseStartPreset();

    int getActiveSlot() const noexcept { return activeSlot; }
    int getCurrentIndex (int slot) const noexcept { return slots[slot & 1].index; }
    int getActiveIndex() const noexcept { return getCurrentIndex (activeSlot); }

    /** The index "+" or "-" goes to, or -1 when there is none: on from the active
        slot's preset, or from the preset that last failed to load, so that one bad
        file never stands in the way of the ones beyond it. */
    int getStepIndex (int step) const;

    //==============================================================================
    /** Makes a preset the state. A file that is missing, does not parse or is not a
        state of this product changes nothing and fails with the reason. */
    juce::Result loadPresetAtIndex (int index);

    /** Writes the state over the active slot's file. Does nothing (and succeeds) for
        "Default", factory and shared presets and a slot without a preset; a failed
        write changes nothing and fails with the reason. */
    juce::Result save();

    /** Writes the state to the chosen file with its extension made ".xml", inside the
        user folder, and makes it the active slot's preset. A failed write changes
        nothing and fails with the reason. */
    juce::Result saveAs (const juce::File& chosen);

    static juce::File withPresetExtension (const juce::File& chosen);

    enum class DeleteCheck { nothing, isDefault, isFactory, ask };

    /** Whether the active slot's preset may be deleted; for ask, the file to name. */
    DeleteCheck checkDelete (juce::File& file) const;

    /** Deletes the preset file that the question named and drops it from the index;
        fails, changing nothing, when the file can't be removed. */
    juce::Result deletePresetFile (const juce::File& file);

    //==============================================================================
    /** The A/B switch: the state and the snapshot change places. */
    void switchToSlot (int slot);

    /** "=>": the snapshot takes the current state, and with it the active slot's preset. */
    void storeSnapshot();

private:
    struct SlotPreset
    {
        int index = -1;
        juce::String path; // set for preset files, which are followed by path
    };

    struct Scan
    {
        const juce::String selected;
        ListTreeViewItem** openFolder;
        std::set<std::string> visited; // folders listed, with their links resolved
        int entriesThroughLinks = 0;
        bool removesLeftovers = false; // in the user folder's own tree only
    };

    void scanPresetFolder (const juce::File& folder, int& nextIndex, ListTreeViewItem* parent, Scan& scan, bool throughLink);
    void setSlot (int slot, int index);
    void resolveSlots();
    void setCurrentPreset (const juce::String& text);
    bool isFileEntry (int index) const noexcept { return index > numFactoryEntries && index < getNumEntries(); }

    PluginProcessor& processor;
    Folders folders;
    juce::HashMap<int, juce::String> presetIndexMap { 101 };
    int firstUserPresetIndex = 0;
    int numFactoryEntries = 0;
    int activeSlot = 0;
    SlotPreset slots[2];
    int failedIndex = -1;
    bool linkedFoldersCut = false;

    JUCE_DECLARE_NON_COPYABLE (PresetLibrary)
};
} // namespace KA
