#pragma once

#include "ui/dialogs/ManageDialogComponent.h"

#include <functional>

namespace KA
{
/** The in-editor file chooser: a file browser kept inside one root folder,
    with ok, cancel and new-folder buttons. It asks before a file is
    overwritten and shows its questions and messages over itself. Whatever way
    it is closed, the result callback runs exactly once, after the chooser has
    hidden itself; a chooser deleted before that never calls it. A root that is
    not a folder opens no browser: the chooser shows why, and its "Ok" closes it
    as a cancel would. */
class FileChooserComponent : public juce::Component,
                             private juce::FileBrowserListener,
                             private juce::ChangeListener,
                             private ManageDialogComponent
{
public:
    /** (the chooser, the user data, whether a file was accepted) */
    using ResultCallback = std::function<void (FileChooserComponent*, void*, bool)>;

    /** flags are juce::FileBrowserComponent::FileChooserFlags. A caller that
        writes the chosen file under another extension names it as the forced
        extension (".xml"): the chooser then asks about, and reports, the file
        with that extension. */
    FileChooserComponent (const juce::String& title, const juce::String& instructions, int flags,
                          const juce::File& rootFolder, ResultCallback callback, bool warnAboutOverwriting,
                          void* userData, const juce::String& filePattern, juce::FilePreviewComponent* preview,
                          const juce::String& forcedExtension = {});
    ~FileChooserComponent() override;

    juce::FileBrowserComponent& getBrowser() noexcept { return browser; }
    const juce::File& getRootFolder() const noexcept { return rootFolder; }

    /** The file to use, with the forced extension if there is one: the name typed,
        as a name inside the folder on screen (a leading "~" included), or the
        browser's selection when its name box is read-only; the empty File when no
        name is typed or the name is the folder on screen or one above it. */
    juce::File getChosenFile() const;

    juce::TextButton& getOkButton() noexcept { return okButton; }
    juce::TextButton& getCancelButton() noexcept { return cancelButton; }
    juce::TextButton& getNewFolderButton() noexcept { return newFolderButton; }

    /** The question, new-folder dialog or message shown over the chooser. */
    using ManageDialogComponent::getCurrentDialog;

    void okButtonPressed();
    void createNewFolder();

    /** The new-folder dialog's confirm step: creates the folder the typed name
        names, made a legal file name, in the folder on screen (a leading "~"
        is part of the name). A folder on screen that has gone is not made again. */
    void createFolderNamed (const juce::String& typedName);

    void lookAndFeelChanged() override;
    void paint (juce::Graphics&) override;
    void resized() override;

private:
    void selectionChanged() override;
    void fileClicked (const juce::File&, const juce::MouseEvent&) override;
    void fileDoubleClicked (const juce::File&) override;
    void browserRootChanged (const juce::File&) override;

    // The listing was read again: the folder on screen may have gone or come back.
    void changeListenerCallback (juce::ChangeBroadcaster*) override;

    void startAtRoot();
    void updateButtons();
    void refreshListing();
    void nameBoxReturnPressed (const std::function<void()>& browsersOwnReturn);
    juce::File typedFile() const;
    bool hasValidSelection() const;
    void finish (bool ok);

    // The browser's scanning thread asks the filter about every file it finds,
    // so the filter is built before the browser and goes after it.
    juce::WildcardFileFilter fileFilter;

    juce::File rootFolder;
    void* userData;
    bool warnAboutOverwriting;
    juce::String forcedExtension;
    juce::FileBrowserComponent browser;
    juce::TextEditor* fileNameBox = nullptr;
    bool canChooseFolders;
    juce::TextButton okButton, cancelButton, newFolderButton;
    juce::String instructions;
    juce::TextLayout headerText;
    ResultCallback resultCallback;
    bool rootIsFolder = false;
    bool finished = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FileChooserComponent)
};
} // namespace KA
