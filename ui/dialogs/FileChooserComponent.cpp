#include "ui/dialogs/FileChooserComponent.h"

#include "ui/dialogs/DialogBoxes.h"
#include "ui/dialogs/FolderConfinement.h"
#include "ui/dialogs/LabelBackGroundBox.h"
#include "ui/dialogs/MsgBoxComponent.h"
#include "ui/dialogs/NewFolderContainer.h"

namespace KA
{
namespace
{
    constexpr int buttonRowHeight = 26;
    constexpr int warningIcon = 2;

    juce::String okButtonText (int browserFlags)
    {
        if ((browserFlags & juce::FileBrowserComponent::saveMode) == 0)
            return juce::translate ("Open");

        return juce::translate ((browserFlags & juce::FileBrowserComponent::canSelectDirectories) != 0 ? "Choose" : "Save");
    }
} // namespace

FileChooserComponent::FileChooserComponent (const juce::String& title, const juce::String& instructionText, int browserFlags,
                                            const juce::File& root, ResultCallback callback, bool warn, void* data,
                                            const juce::String& filePattern, juce::FilePreviewComponent* preview,
                                            const juce::String& extension)
    : juce::Component (title),
      ManageDialogComponent (*this, &juce::LookAndFeel::getDefaultLookAndFeel()),
      fileFilter (filePattern, {}, {}),
      rootFolder (root),
      userData (data),
      warnAboutOverwriting (warn),
      forcedExtension (extension),
      browser (browserFlags, root, &fileFilter, preview),
      canChooseFolders ((browserFlags & juce::FileBrowserComponent::canSelectDirectories) != 0),
      okButton (okButtonText (browserFlags)),
      cancelButton (juce::translate ("Cancel")),
      newFolderButton (juce::translate ("New Folder")),
      instructions (instructionText)
{
    addAndMakeVisible (browser);
    addAndMakeVisible (okButton);
    okButton.addShortcut (juce::KeyPress (juce::KeyPress::returnKey));
    addAndMakeVisible (cancelButton);
    cancelButton.addShortcut (juce::KeyPress (juce::KeyPress::escapeKey));
    addChildComponent (newFolderButton);

    okButton.onClick = [this] { okButtonPressed(); };
    cancelButton.onClick = [this] { finish (false); };
    newFolderButton.onClick = [this] { createNewFolder(); };

    browser.addListener (this);
    browser.getDisplayComponent()->directoryContentsList.addChangeListener (this);
    resultCallback = std::move (callback);

    // JUCE's own Return in the name box moves into whatever folder a name with a
    // "/" leads to and leaves only the last part in the box, so "../x" would
    // quietly become "x" in the root. A name the Save button would take is taken
    // the Save button's way, refusals included; folder names keep JUCE's way.
    for (auto* child : browser.getChildren())
    {
        if (auto* editor = dynamic_cast<juce::TextEditor*> (child))
        {
            fileNameBox = editor;
            break;
        }
    }

    if (fileNameBox != nullptr)
        fileNameBox->onReturnKey = [this, browsersOwn = fileNameBox->onReturnKey] { nameBoxReturnPressed (browsersOwn); };

    startAtRoot();
    selectionChanged();
    browser.setSize (100, 100);
}

FileChooserComponent::~FileChooserComponent()
{
    browser.getDisplayComponent()->directoryContentsList.removeChangeListener (this);
    browser.removeListener (this);
}

void FileChooserComponent::startAtRoot()
{
    // Given a root that is not a folder, JUCE's browser starts in its parent with
    // the root's name typed in: outside the root, where nothing may be written.
    rootIsFolder = rootFolder.isDirectory();

    if (browser.getRoot() != rootFolder)
        browser.setRoot (rootFolder);

    if (rootIsFolder)
        return;

    browser.setFileName ({});

    for (auto* part : std::initializer_list<juce::Component*> { &browser, &okButton, &cancelButton, &newFolderButton })
        part->setVisible (false);

    const auto message = juce::translate ("Couldn't open the folder: FLDR").replace ("FLDR", rootFolder.getFullPathName());
    openDialog (std::make_unique<DialogComponent> (std::make_unique<MsgBoxComponent> (message, warningIcon),
                                                   juce::translate ("Ok"), juce::String(), juce::String(), 1, this,
                                                   [this] (void*, void*, int) { finish (false); }));
}

void FileChooserComponent::nameBoxReturnPressed (const std::function<void()>& browsersOwnReturn)
{
    const auto typed = fileNameBox->getText();

    if (hasValidSelection())
        okButtonPressed();
    else if (typed.isNotEmpty() && browsersOwnReturn)
    {
        // The browser moves into a typed folder by getChildFile, which would take "~" for home.
        fileNameBox->setText (literalRelativePath (typed), false);
        browsersOwnReturn();
    }
}

juce::File FileChooserComponent::typedFile() const
{
    if (fileNameBox == nullptr || fileNameBox->isReadOnly())
        return browser.getSelectedFile (0);

    // A typed name is a name inside the folder on screen, as New Folder takes it.
    const auto folderOnScreen = browser.getRoot();
    const auto file = childFile (folderOnScreen, fileNameBox->getText());

    // No name, ".", "..": the folder on screen or one above it, which would read as a
    // file name once it has gone. Only a folder that is there can be chosen as one.
    if (file == folderOnScreen || folderOnScreen.isAChildOf (file))
        return canChooseFolders && file.isDirectory() ? file : juce::File();

    return file;
}

juce::File FileChooserComponent::getChosenFile() const
{
    auto file = typedFile();

    if (file == juce::File() || forcedExtension.isEmpty() || file.isDirectory())
        return file;

    return withExtension (file, forcedExtension);
}

bool FileChooserComponent::hasValidSelection() const
{
    // The browser's own test, on the file the chooser really hands on.
    const auto file = typedFile();

    return file != juce::File() && (canChooseFolders || ! file.isDirectory()) && (browser.isSaveMode() || file.exists())
        && ! getChosenFile().isDirectory();
}

void FileChooserComponent::okButtonPressed()
{
    // A second click already on its way (a double-click, Return) finds the chooser done.
    if (finished || ! rootIsFolder || ! hasValidSelection())
        return;

    const auto file = getChosenFile();

    // A loop of links can't be written through, inside the root or not.
    if (resolveLinks (file) == juce::File())
    {
        showMessageBox (*this, juce::translate ("The file can't be written there: FLNM")
                                   .replace ("FLNM", file.getFileName()), this);
        return;
    }

    // A typed name may lead anywhere ("../x", "/x", a link); only what
    // stays inside the root is ever handed to the caller.
    if (! isInsideFolder (file, rootFolder))
    {
        showMessageBox (*this, juce::translate ("Please choose a file inside the folder: FLDR")
                                   .replace ("FLDR", rootFolder.getFileName()), this);
        return;
    }

    if (warnAboutOverwriting && browser.isSaveMode() && file.exists())
    {
        const auto message = juce::translate ("There's already a file called: FLNM").replace ("FLNM", file.getFileName())
                             + "\n\n" + juce::translate ("Are you sure you want to overwrite it?");

        askQuestionBox (*this, warningIcon, message, juce::translate ("Overwrite"), juce::translate ("Cancel"),
                        [this] (void*, void*, int result) { finish (result == 1); }, this);
        return;
    }

    finish (true);
}

void FileChooserComponent::finish (bool ok)
{
    finished = true;
    setVisible (false);

    // The callback is moved out, so it runs once, and the caller may delete
    // the chooser from it: nothing of the chooser is used once it runs.
    auto* data = userData;
    auto callback = std::move (resultCallback);

    if (callback)
        callback (this, data, ok);
}

void FileChooserComponent::createNewFolder()
{
    const auto folderOnScreen = browser.getRoot();

    // Gone since the button was shown: reading the listing again takes the button away.
    if (folderOnScreen.getFullPathName().isEmpty() || ! folderOnScreen.isDirectory())
    {
        refreshListing();
        return;
    }

    auto content = std::make_unique<NewFolderContainer>();
    auto& nameBox = content->getNameEditor();
    auto dialog = std::make_unique<DialogComponent> (
        std::move (content), juce::translate ("Create Folder"), juce::translate ("Cancel"), juce::String(), 2, this,
        [this] (void*, void* shown, int result)
        {
            if (result != 1)
                return;

            if (auto* container = dynamic_cast<NewFolderContainer*> (static_cast<juce::Component*> (shown)))
                createFolderNamed (container->getNameEditor().getText());
        });

    // Typing goes to the new name, not to the file name behind the dialog, and
    // Return there is "Create Folder" (a second Return already on its way finds
    // the dialog closed).
    nameBox.onReturnKey = [created = dialog.get()]
    {
        if (created->isVisible())
            created->closeWithResult (1);
    };
    openDialog (std::move (dialog));

    if (nameBox.isShowing())
        nameBox.grabKeyboardFocus();
}

void FileChooserComponent::createFolderNamed (const juce::String& typedName)
{
    const auto name = juce::File::createLegalFileName (typedName);

    // "." and ".." name the folder on screen and its parent, not a new folder:
    // like an empty name, they create nothing.
    if (name.isEmpty() || name == "." || name == "..")
        return;

    const auto folderOnScreen = browser.getRoot();
    const auto folder = childFile (folderOnScreen, name);

    // createDirectory would also make the folder on screen again if it has gone.
    const auto created = folderOnScreen.isDirectory() && folder.getParentDirectory() == folderOnScreen
                      && isInsideFolder (folder, rootFolder) && folder.createDirectory().wasOk();

    if (! created)
        showMessageBox (*this, juce::translate ("Couldn't create the folder!"), this);

    refreshListing();
}

void FileChooserComponent::refreshListing()
{
    browser.refresh();

    // The listing sends no change when the folder it reads has gone.
    updateButtons();
}

void FileChooserComponent::lookAndFeelChanged()
{
    auto* lf = &getLookAndFeel();
    setDialogLookAndFeel (lf);

    if (auto* dialog = getCurrentDialog())
        dialog->setLookAndFeel (lf);
}

void FileChooserComponent::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    headerText.draw (g, { 6.0f, 6.0f, juce::jmax (w - 12.0f, 0.0f),
                          juce::jmin (juce::jmax (h - 12.0f, 0.0f), headerText.getHeight()) });

    g.fillAll (LabelBackGroundBox::backdropColour (getLookAndFeel()));
}

void FileChooserComponent::resized()
{
    const auto w = getWidth();
    const auto h = getHeight();

    headerText.createLayout (getLookAndFeel().createFileChooserHeaderText (getName(), instructions),
                             (float) juce::jmax (w - 12, 0));

    juce::Rectangle<int> area (20, 20, juce::jmax (w - 40, 0), juce::jmax (h - 40, 0));
    area.removeFromTop (juce::jmin (juce::roundToInt (headerText.getHeight()) + 10, area.getHeight()));
    browser.setBounds (area.removeFromTop (juce::jmax (area.getHeight() - buttonRowHeight - 20, 0)));

    auto row = area.reduced (16, 10);

    okButton.changeWidthToFitText (buttonRowHeight);
    okButton.setBounds (row.removeFromRight (okButton.getWidth() + 16));
    row.removeFromRight (16);
    cancelButton.changeWidthToFitText (buttonRowHeight);
    cancelButton.setBounds (row.removeFromRight (cancelButton.getWidth()));
    newFolderButton.changeWidthToFitText (buttonRowHeight);
    newFolderButton.setBounds (row.removeFromLeft (newFolderButton.getWidth()));

    if (auto* dialog = getCurrentDialog())
        dialog->setBounds (getLocalBounds());
}

void FileChooserComponent::selectionChanged()
{
    updateButtons();
}

void FileChooserComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
    updateButtons();
}

void FileChooserComponent::updateButtons()
{
    okButton.setEnabled (rootIsFolder && hasValidSelection());

    const auto folder = browser.getRoot();
    newFolderButton.setVisible (rootIsFolder && browser.isSaveMode() && folder.getFullPathName().isNotEmpty()
                                && folder.isDirectory());
}

void FileChooserComponent::fileClicked (const juce::File&, const juce::MouseEvent&) {}

void FileChooserComponent::fileDoubleClicked (const juce::File&)
{
    selectionChanged();
    okButton.triggerClick();
}

void FileChooserComponent::browserRootChanged (const juce::File& newRoot)
{
    if (newRoot != rootFolder && ! isInsideFolder (newRoot, rootFolder))
        browser.setRoot (rootFolder);
}
} // namespace KA
