#include "ui/dialogs/FileChooserComponent.h"

#include "ui/dialogs/DialogBoxes.h"
#include "ui/dialogs/FolderConfinement.h"
#include "ui/dialogs/LabelBackGroundBox.h"
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
    resultCallback = std::move (callback);

    selectionChanged();
    browser.setSize (100, 100);
}

FileChooserComponent::~FileChooserComponent()
{
    browser.removeListener (this);
}

juce::File FileChooserComponent::getChosenFile() const
{
    auto file = browser.getSelectedFile (0);

    if (file == juce::File() || forcedExtension.isEmpty() || file.isDirectory())
        return file;

    return file.withFileExtension (forcedExtension);
}

bool FileChooserComponent::hasValidSelection() const
{
    return browser.currentFileIsValid() && ! getChosenFile().isDirectory();
}

void FileChooserComponent::okButtonPressed()
{
    // A second click already on its way (a double-click, Return) finds the chooser done.
    if (finished || ! hasValidSelection())
        return;

    const auto file = getChosenFile();

    // A typed name may lead anywhere ("../x", "/x", "~/x", a link); only what
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

    if (folderOnScreen.getFullPathName().isEmpty() || ! folderOnScreen.isDirectory())
        return;

    openDialog (std::make_unique<DialogComponent> (
        std::make_unique<NewFolderContainer>(), juce::translate ("Create Folder"), juce::translate ("Cancel"),
        juce::String(), 2, this,
        [this] (void*, void* content, int result)
        {
            if (result != 1)
                return;

            if (auto* container = dynamic_cast<NewFolderContainer*> (static_cast<juce::Component*> (content)))
                createFolderNamed (container->getNameEditor().getText());
        }));
}

void FileChooserComponent::createFolderNamed (const juce::String& typedName)
{
    const auto name = juce::File::createLegalFileName (typedName);

    // Names that would leave the folder on screen create nothing, like an empty one.
    if (name.isEmpty() || name == "." || name == ".." || name.startsWithChar ('~'))
        return;

    const auto folderOnScreen = browser.getRoot();
    const auto folder = folderOnScreen.getChildFile (name);

    const auto created = folder.getParentDirectory() == folderOnScreen && isInsideFolder (folder, rootFolder)
                      && folder.createDirectory().wasOk();

    if (! created)
        showMessageBox (*this, juce::translate ("Couldn't create the folder!"), this);

    browser.refresh();
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

    auto& lf = getLookAndFeel();
    const auto base = lf.isColourSpecified (juce::ResizableWindow::backgroundColourId)
                          ? lf.findColour (juce::ResizableWindow::backgroundColourId)
                          : juce::Colours::black;
    g.fillAll (base.withAlpha ((juce::uint8) juce::roundToInt ((float) base.getAlpha() * LabelBackGroundBox::backdropOpacity)));
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
    okButton.setEnabled (hasValidSelection());

    const auto folder = browser.getRoot();
    newFolderButton.setVisible (browser.isSaveMode() && folder.getFullPathName().isNotEmpty() && folder.isDirectory());
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
