#include "ui/presets/PresetLibrary.h"

#include "engine/GlobalStrings.h"
#include "engine/PluginProcessor.h"
#include "ui/dialogs/FolderConfinement.h"
#include "ui/presets/PresetFile.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace KA
{
namespace
{
    const juce::Colour factoryFolderColour (0x503effb1);
    const juce::Colour presetColour (0x503e79b1);
    const juce::Colour otherFolderColour (0x50aaaaaa);

    ListTreeViewItem& addNode (ListTreeViewItem& parent, const juce::String& caption, bool isFolder, bool hasOwnColour, int id,
                               juce::Colour colour, juce::Justification justification)
    {
        auto* node = parent.children.add (new ListTreeViewItem());
        node->caption = caption;
        node->isFolder = isFolder;
        node->hasOwnColour = hasOwnColour;
        node->id = id;
        node->parent = &parent;
        node->colour = colour;
        node->justification = justification;
        return *node;
    }

    bool isPathText (const juce::String& text)
    {
        return text.startsWith ("~") || text.startsWith ("/");
    }

    void sortByPath (juce::Array<juce::File>& files)
    {
        std::sort (files.begin(), files.end(), [] (const juce::File& a, const juce::File& b)
                   { return a.getFullPathName().compare (b.getFullPathName()) < 0; });
    }

    /** The folder with every link resolved, or nothing when it can't be resolved. */
    std::string canonicalPath (const juce::File& folder)
    {
        char resolved[PATH_MAX];
        return ::realpath (folder.getFullPathName().toRawUTF8(), resolved) != nullptr ? std::string (resolved) : std::string();
    }

    /** Only a regular file, once links are followed, can be read without waiting on a
        FIFO or reading a device without end. */
    bool isRegularFile (const juce::File& file)
    {
        struct stat info;
        return ::stat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISREG (info.st_mode);
    }

    /** A save takes milliseconds; one a minute old was cut short, and not by another copy
        of the program saving right now. */
    bool isOldEnoughToBeLeftOver (const juce::File& file)
    {
        return file.getLastModificationTime() < juce::Time::getCurrentTime() - juce::RelativeTime::minutes (1);
    }
}

PresetLibrary::Folders PresetLibrary::defaultFolders (const juce::String& productName)
{
    return { juce::File::getSpecialLocation (juce::File::userDocumentsDirectory).getChildFile (productName),
             juce::File (juce::File::getSpecialLocation (juce::File::globalApplicationsDirectory).getFullPathName()
                         + "/Korvath Audio/Presets/" + productName) };
}

PresetLibrary::PresetLibrary (PluginProcessor& p, Folders f)
    : processor (p), folders (std::move (f))
{
}

void PresetLibrary::ensureUserFolder() const
{
    // The shared folder lies under a system folder here: it is only read.
    folders.user.createDirectory();
}

//==============================================================================
void PresetLibrary::setPresetPath (const juce::String& selectedPath, ListTreeViewItem* root, ListTreeViewItem** openFolder)
{
    const auto selected = isPathText (selectedPath) ? juce::File (selectedPath).getFullPathName() : juce::String();

    presetIndexMap.clear();
    ensureUserFolder();

    presetIndexMap.set (0, GlobalStrings::defaultName);
    ListTreeViewItem* factoryNode = nullptr;

    if (openFolder != nullptr)
        *openFolder = nullptr;

    if (root != nullptr)
    {
        addNode (*root, GlobalStrings::defaultName, false, false, 0, juce::Colour(), juce::Justification::centred);
        factoryNode = &addNode (*root, GlobalStrings::factoryPresets, true, true, 0, factoryFolderColour, juce::Justification::centred);
    }

    int next = 1;

    for (int i = 0; i < processor.getNumFactoryPresets(); ++i)
    {
        if (const auto* document = processor.getFactoryPreset (i))
        {
            const auto name = document->getStringAttribute ("name");
            presetIndexMap.set (next, name);

            if (factoryNode != nullptr)
                addNode (*factoryNode, name, false, false, next, presetColour, juce::Justification::left);

            ++next;
        }
    }

    numFactoryEntries = next - 1;

    Scan scan { selected, openFolder, {}, 0, false };
    scanPresetFolder (folders.shared, next, factoryNode, scan, false);
    firstUserPresetIndex = next;
    scan.removesLeftovers = true;
    scanPresetFolder (folders.user, next, root, scan, false);
    linkedFoldersCut = scan.entriesThroughLinks > maxEntriesThroughLinks;

    // Indexes may have moved; what failed to load is found again by stepping.
    failedIndex = -1;
    resolveSlots();
}

void PresetLibrary::scanPresetFolder (const juce::File& folder, int& nextIndex, ListTreeViewItem* parent, Scan& scan, bool throughLink)
{
    const auto canonical = canonicalPath (folder);

    if (canonical.empty() || ! folder.isDirectory())
        return;

    scan.visited.insert (canonical);

    juce::Array<juce::File> subFolders, files;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories))
    {
        if (throughLink && ++scan.entriesThroughLinks > maxEntriesThroughLinks)
            break;

        const auto& file = entry.getFile();

        if (entry.isDirectory())
            subFolders.add (file);
        else if (file.getFileExtension() == GlobalStrings::xmlExtension && isRegularFile (file))
            files.add (file);
        else if (scan.removesLeftovers && ! throughLink && isLeftoverTemporaryFile (file) && isRegularFile (file)
                 && ! file.isSymbolicLink() && isOldEnoughToBeLeftOver (file))
            file.deleteFile();
    }

    sortByPath (subFolders);
    sortByPath (files);

    const auto selectedFolder = scan.selected.isNotEmpty() ? juce::File (scan.selected).getParentDirectory().getFullPathName() : juce::String();

    for (const auto& subFolder : subFolders)
    {
        // A folder link is followed only into a folder not seen yet, and only while the
        // bound on what links reach allows: one that loops back to a folder above it
        // would be followed for ever, and one to the root of the disk for minutes.
        // Real folders form a finite tree of the user's own, so they are always listed.
        const auto isFolderLink = subFolder.isSymbolicLink();

        if (isFolderLink && (scan.entriesThroughLinks > maxEntriesThroughLinks || scan.visited.count (canonicalPath (subFolder)) != 0))
            continue;

        ListTreeViewItem* node = nullptr;

        if (parent != nullptr)
        {
            const auto holdsSelected = selectedFolder.isNotEmpty() && subFolder.getFullPathName().equalsIgnoreCase (selectedFolder);
            node = &addNode (*parent, subFolder.getFileName(), true, true, 0,
                             holdsSelected ? presetColour : otherFolderColour, juce::Justification::centred);

            if (holdsSelected && scan.openFolder != nullptr)
                *scan.openFolder = node;
        }

        scanPresetFolder (subFolder, nextIndex, node, scan, throughLink || isFolderLink);
    }

    for (const auto& file : files)
    {
        const auto path = file.getFullPathName();

        if (parent != nullptr)
            addNode (*parent, file.getFileNameWithoutExtension(), false, scan.selected.isNotEmpty() && path.equalsIgnoreCase (scan.selected),
                     nextIndex, presetColour, juce::Justification::left);

        presetIndexMap.set (nextIndex++, path);
    }
}

juce::String PresetLibrary::getEntry (int index) const
{
    return presetIndexMap.contains (index) ? presetIndexMap[index] : juce::String();
}

int PresetLibrary::findIndex (const juce::String& entry) const
{
    for (int i = 0; i < getNumEntries(); ++i)
        if (presetIndexMap[i] == entry)
            return i;

    return -1;
}

juce::String PresetLibrary::getDisplayName (int index) const
{
    if (index <= numFactoryEntries)
        return getEntry (index);

    const auto entry = getEntry (index);
    return entry.isNotEmpty() ? juce::File (entry).getFileNameWithoutExtension() : juce::String();
}

PresetLibrary::CurrentPreset PresetLibrary::readCurrentPreset() const
{
    const auto text = processor.parameters.state.getProperty (GlobalStrings::currentPreset).toString();
    CurrentPreset current;

    for (int i = 1; i <= numFactoryEntries; ++i)
    {
        if (getEntry (i) == text)
        {
            current.displayName = text;
            current.factoryIndex = i;
            return current;
        }
    }

    current.displayName = text.isEmpty() ? GlobalStrings::defaultName
                                         : juce::File::getCurrentWorkingDirectory().getChildFile (text).getFileNameWithoutExtension();

    if (isPathText (text))
        current.file = juce::File (text);

    return current;
}

juce::String PresetLibrary::chooseStartPreset()
{
    const auto current = readCurrentPreset();
    auto index = current.factoryIndex;
    auto name = index > 0 ? current.displayName : GlobalStrings::defaultName;

    if (index == 0 && current.file.existsAsFile())
    {
        index = juce::jmax (0, findIndex (current.file.getFullPathName()));
        name = current.file.getFileNameWithoutExtension();
    }

    activeSlot = 0;
    setSlot (0, index);
    setSlot (1, 0);
    return name;
}

int PresetLibrary::getStepIndex (int step) const
{
    const auto count = getNumEntries();

    if (count == 0)
        return -1;

    const auto index = (failedIndex >= 0 ? failedIndex : getActiveIndex()) + step;
    return index < 0 || index >= count ? (step > 0 ? 0 : count - 1) : index;
}

//==============================================================================
juce::Result PresetLibrary::loadPresetAtIndex (int index)
{
    if (index < 0)
        return juce::Result::ok();

    if (index == 0)
    {
        processor.resetParametersToDefault();
        setCurrentPreset (GlobalStrings::defaultName);
        setSlot (activeSlot, 0);
        failedIndex = -1;
        return juce::Result::ok();
    }

    const auto stateType = processor.parameters.state.getType().toString();

    if (index <= numFactoryEntries)
    {
        const auto* document = processor.getFactoryPreset (index - 1);

        if (document == nullptr || ! document->getTagName().equalsIgnoreCase (stateType))
            return juce::Result::ok();

        const auto name = document->getStringAttribute ("name");

        if (onPresetWillChange)
            onPresetWillChange();

        processor.setStateFromXml (document);
        setCurrentPreset (name);
        setSlot (activeSlot, index);
        failedIndex = -1;
        return juce::Result::ok();
    }

    const auto entry = getEntry (index);

    if (entry.isEmpty())
        return juce::Result::ok();

    // Checked before anything changes: a bad file leaves state, label and index as they were.
    const juce::File file (entry);
    juce::String whyNot;
    auto document = readPresetDocument (file, stateType, &whyNot);

    if (document == nullptr)
    {
        failedIndex = index;
        return juce::Result::fail (whyNot);
    }

    if (getEditorSize)
    {
        const auto size = getEditorSize();
        document->setAttribute ("lastUIWidth", size.x);
        document->setAttribute ("lastUIHeight", size.y);
    }

    if (onPresetWillChange)
        onPresetWillChange();

    processor.setStateFromXml (document.get());
    setCurrentPreset (file.getFullPathName());
    setSlot (activeSlot, index);
    failedIndex = -1;
    return juce::Result::ok();
}

juce::Result PresetLibrary::save()
{
    const auto index = getActiveIndex();

    if (index < firstUserPresetIndex || ! isFileEntry (index))
        return juce::Result::ok();

    processor.prepareToSavePreset();
    const auto document = processor.copyFlushedState().createXml();

    if (document == nullptr)
        return juce::Result::fail ("The state could not be written out.");

    return writePresetDocument (*document, juce::File (slots[activeSlot].path), folders.user);
}

juce::File PresetLibrary::withPresetExtension (const juce::File& chosen)
{
    return chosen == juce::File() ? juce::File() : withExtension (chosen, GlobalStrings::xmlExtension);
}

juce::Result PresetLibrary::saveAs (const juce::File& chosen)
{
    const auto file = withPresetExtension (chosen);

    if (file == juce::File() || ! isInsideFolder (file, folders.user))
        return juce::Result::fail ("The file is outside the preset folder.");

    processor.prepareToSavePreset();
    const auto document = processor.copyFlushedState().createXml();

    if (document == nullptr)
        return juce::Result::fail ("The state could not be written out.");

    if (auto written = writePresetDocument (*document, file, folders.user); written.failed())
        return written;

    setPresetPath (getEntry (getActiveIndex()));
    setSlot (activeSlot, findIndex (file.getFullPathName()));
    setCurrentPreset (file.getFullPathName());
    return juce::Result::ok();
}

PresetLibrary::DeleteCheck PresetLibrary::checkDelete (juce::File& file) const
{
    const auto index = getActiveIndex();

    if (index < 0)
        return DeleteCheck::nothing;

    if (index == 0)
        return DeleteCheck::isDefault;

    if (index < firstUserPresetIndex)
        return DeleteCheck::isFactory;

    if (! isFileEntry (index))
        return DeleteCheck::nothing;

    file = juce::File (slots[activeSlot].path);
    return DeleteCheck::ask;
}

juce::Result PresetLibrary::deletePresetFile (const juce::File& file)
{
    const auto path = file.getFullPathName();
    const auto index = findIndex (path);

    if (index < firstUserPresetIndex || file.isDirectory() || (file.existsAsFile() && ! file.deleteFile()))
        return juce::Result::fail ("The file can't be removed.");

    juce::HashMap<int, juce::String> remaining (101);
    int next = 0;

    for (int i = 0; i < getNumEntries(); ++i)
        if (i != index)
            remaining.set (next++, presetIndexMap[i]);

    presetIndexMap.swapWith (remaining);
    failedIndex = -1;

    for (auto& slot : slots)
        if (slot.path == path)
            slot = {};

    resolveSlots();
    return juce::Result::ok();
}

//==============================================================================
void PresetLibrary::switchToSlot (int slot)
{
    if (slot == activeSlot)
        return;

    if (onPresetWillChange)
        onPresetWillChange();

    activeSlot = slot & 1;
    failedIndex = -1;
    const auto hadSnapshot = processor.getABSnapshot() != nullptr;
    processor.swapABState();

    // The defaults that stand in for a missing snapshot are the "Default" preset,
    // so the bar and the slot say so rather than the name the state still carries.
    if (! hadSnapshot)
        setCurrentPreset (GlobalStrings::defaultName);

    // The state that came in names its preset; the slot follows it, so what the bar
    // shows is what Save and Delete act on.
    const auto current = readCurrentPreset();
    setSlot (activeSlot, current.factoryIndex > 0 || current.file == juce::File() ? current.factoryIndex
                                                                                  : findIndex (current.file.getFullPathName()));
}

void PresetLibrary::storeSnapshot()
{
    // The snapshot carries its "CurrentPreset"; the switch back reads the slot from it.
    processor.storeABState();
}

void PresetLibrary::setSlot (int slot, int index)
{
    slots[slot & 1] = { index, isFileEntry (index) ? getEntry (index) : juce::String() };
}

void PresetLibrary::resolveSlots()
{
    for (auto& slot : slots)
        if (slot.path.isNotEmpty())
            slot.index = findIndex (slot.path);
}

void PresetLibrary::setCurrentPreset (const juce::String& text)
{
    // Not an undoable change: undo moves controls, not the preset the bar names.
    processor.parameters.state.setProperty (GlobalStrings::currentPreset, text, nullptr);
}
} // namespace KA
