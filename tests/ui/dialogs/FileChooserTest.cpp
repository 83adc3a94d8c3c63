#include "tests/common/TestEnvironment.h"
#include "tests/common/MessageLoop.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/FileChooserComponent.h"
#include "ui/dialogs/MsgBoxComponent.h"
#include "ui/dialogs/NewFolderContainer.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <unistd.h>

namespace
{
using KA::Test::runFor;
using KA::Test::click;
using KA::DialogComponent;
using KA::FileChooserComponent;
using Flags = juce::FileBrowserComponent::FileChooserFlags;

constexpr int saveFlags = Flags::saveMode | Flags::canSelectFiles | Flags::warnAboutOverwriting;


/** The browser's name box, where the file name is typed. */
juce::TextEditor& nameBoxOf (juce::FileBrowserComponent& browser)
{
    for (auto* child : browser.getChildren())
        if (auto* editor = dynamic_cast<juce::TextEditor*> (child))
            return *editor;
    throw std::logic_error ("the browser has no name box");
}

/** A save chooser over root/, whose callback writes the chosen file the way
    the preset library does, and records its calls. */
struct Chooser : public ::testing::Test
{
    Chooser() { root.getChildFile ("sub").createDirectory(); outside.createDirectory(); }
    ~Chooser() override { chooser.reset(); base.deleteRecursively(); }

    FileChooserComponent& open (const juce::String& forcedExtension = {}, int flags = saveFlags)
    {
        chooser = std::make_unique<FileChooserComponent> ("", "", flags, root, [this] (FileChooserComponent* c, void* data, bool ok)
        {
            results.push_back (ok);
            EXPECT_TRUE (data == this && ! c->isVisible());
            if (ok)
                c->getChosenFile().replaceWithText ("written");
            if (deleteFromCallback)
                chooser.reset();
        }, (flags & Flags::warnAboutOverwriting) != 0, this, "*.xml", nullptr, forcedExtension);
        chooser->setVisible (true);
        chooser->setSize (600, 400);
        return *chooser;
    }

    /** Every file below base with its bytes (links listed, not followed), and what "~/x" could have made at home. */
    std::map<juce::String, juce::String> state() const
    {
        std::map<juce::String, juce::String> files;
        for (auto& f : base.findChildFiles (juce::File::findFilesAndDirectories, true, "*", juce::File::FollowSymlinks::no))
            files[f.getFullPathName()] = f.isDirectory() ? "<folder>" : f.loadFileAsString();
        for (auto* name : { "x", "x.xml", "~x" })
            files[name] = home.getChildFile (name).exists() ? "there" : "";
        return files;
    }

    /** As typed into the browser's name box, which reports through the message loop. */
    void type (const juce::String& name) { chooser->getBrowser().setFileName (name); runFor (20); }

    /** Return pressed in the name box: the box hands it on through the message loop. */
    void pressReturn()
    {
        nameBoxOf (chooser->getBrowser()).keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        runFor (20);
        runFor (20); // what it triggers may post a click of its own
    }

    DialogComponent* box() const { return dynamic_cast<DialogComponent*> (chooser->getCurrentDialog()); }

    juce::String shownMessage() const
    {
        auto* b = box();
        auto* content = b != nullptr && b->isVisible() ? dynamic_cast<KA::MsgBoxComponent*> (b->getContent()) : nullptr;
        return content != nullptr ? content->getMessage() : juce::String();
    }

    juce::Button& boxButton (int resultId) const
    {
        auto* view = box()->getView();
        return *view->getButton (view->getButton (0)->getCommandID() == resultId ? 0 : 1);
    }

    juce::File base = KA::Test::makeTemporaryFolder ("chooser");
    juce::File root = base.getChildFile ("root"), outside = base.getChildFile ("outside");
    juce::File home = KA::Test::getTemporaryHome();
    std::unique_ptr<FileChooserComponent> chooser;
    std::vector<bool> results;
    bool deleteFromCallback = false;
};

TEST_F (Chooser, ButtonTextsFollowTheFlags)
{
    const struct { int flags; const char* ok; bool newFolder; } cases[] = {
        { Flags::saveMode | Flags::canSelectFiles, "Save", true },
        { Flags::saveMode | Flags::canSelectDirectories, "Choose", true },
        { Flags::saveMode | Flags::canSelectFiles | Flags::canSelectDirectories, "Choose", true },
        { Flags::openMode | Flags::canSelectFiles, "Open", false },
    };
    for (const auto& c : cases)
    {
        auto& ch = open ({}, c.flags);
        EXPECT_EQ (ch.getOkButton().getButtonText(), c.ok) << c.flags;
        EXPECT_EQ (ch.getNewFolderButton().isVisible(), c.newFolder) << c.flags;
        EXPECT_EQ (ch.getCancelButton().getButtonText() + ch.getNewFolderButton().getButtonText(), "CancelNew Folder");
        for (auto* b : { &ch.getOkButton(), &ch.getCancelButton() })
            EXPECT_TRUE (b->isVisible() && b->getParentComponent() == &ch);
        EXPECT_TRUE (ch.getOkButton().isRegisteredForShortcut (juce::KeyPress (juce::KeyPress::returnKey))
                     && ch.getCancelButton().isRegisteredForShortcut (juce::KeyPress (juce::KeyPress::escapeKey)));
    }
}

TEST_F (Chooser, LayoutOfA400By300ChooserWithoutHeader)
{
    struct NoHeader : public juce::LookAndFeel_V4
    {
        juce::AttributedString createFileChooserHeaderText (const juce::String&, const juce::String&) override { return {}; }
    } lf;
    auto& c = open();
    c.setLookAndFeel (&lf);
    c.setSize (400, 300);

    EXPECT_EQ (c.getBrowser().getBounds(), juce::Rectangle<int> (20, 30, 360, 204));
    const auto row = c.getNewFolderButton().getBounds().getUnion (c.getOkButton().getBounds());
    EXPECT_EQ (row, juce::Rectangle<int> (36, 244, 328, 26));
    EXPECT_EQ (c.getCancelButton().getBounds().getUnion (row), row);

    click (c.getNewFolderButton());
    EXPECT_EQ (c.getCurrentDialog()->getBounds(), c.getLocalBounds());
    EXPECT_EQ (&c.getCurrentDialog()->getLookAndFeel(), &lf);
    chooser.reset();
}

/** How a typed name is confirmed: the Save button or Return in the name box. */
class ConfirmedChooser : public Chooser, public ::testing::WithParamInterface<const char*>
{
protected:
    void confirm()
    {
        if (juce::String (GetParam()) == "Return")
            pressReturn();
        else
            click (chooser->getOkButton());
    }
};

TEST_P (ConfirmedChooser, NamesLeadingOutOfTheRootAreRefusedAndNothingIsWritten)
{
    // (link, target): relative, absolute and dangling links out of the root, a folder
    // link to itself, and two file links to each other.
    for (auto [link, target] : { std::pair { "link", "../outside" }, { "dangling.xml", "" }, { "loop", "loop" },
                                 { "a.xml", "b.xml" }, { "b.xml", "a.xml" } })
        ASSERT_EQ (::symlink (*target != 0 ? target : outside.getChildFile ("target.xml").getFullPathName().toRawUTF8(),
                              root.getChildFile (link).getFullPathName().toRawUTF8()), 0);

    const juce::String outsideRoot = "Please choose a file inside the folder: root", loop = "The file can't be written there: ";

    // (typed, file written inside the root, or the refusal shown)
    const struct { juce::String typed, written, refusal; } cases[] = {
        { "../x", {}, outsideRoot }, { "../sneaky", {}, outsideRoot }, { outside.getChildFile ("x").getFullPathName(), {}, outsideRoot },
        { "sub/../../x", {}, outsideRoot }, { "link/x", {}, outsideRoot },
        { "dangling", {}, outsideRoot }, { "loop/x", {}, loop + "x.xml" }, { "a", {}, loop + "a.xml" },
        { "link/../x", "x.xml", {} }, // resolved as text first, like the browser does
        { "sub/../y", "y.xml", {} }, { "sub/z", "sub/z.xml", {} },
        { "~x", "~x.xml", {} }, { "~/x", "~/x.xml", {} }, { "~old/z", "~old/z.xml", {} }, // names, never the home folder
    };
    // As text: getChildFile would read a leading "~" as the home folder.
    const auto inRoot = [this] (const juce::String& name) { return juce::File (root.getFullPathName() + "/" + name); };
    inRoot ("~").createDirectory();
    inRoot ("~old").createDirectory();

    for (const auto& [typed, written, refusal] : cases)
    {
        results.clear();
        auto expected = state();
        auto& c = open (".xml");
        type (typed);
        ASSERT_TRUE (c.getOkButton().isEnabled()) << typed;

        // Twice: a second confirmation finds the same name, or a chooser already done.
        for (int i = 0; i < 2; ++i)
        {
            confirm();
            EXPECT_EQ (shownMessage(), refusal) << typed;
        }

        if (written.isNotEmpty())
            expected[inRoot (written).getFullPathName()] = "written";
        EXPECT_EQ (results, written.isEmpty() ? std::vector<bool>() : std::vector<bool> { true }) << typed;
        EXPECT_EQ (c.isVisible(), written.isEmpty()) << typed;
        EXPECT_EQ (state(), expected) << typed;
        if (written.isNotEmpty())
            inRoot (written).deleteFile();
    }

    // Browsing out of the root, also through a link, comes back to it.
    auto& browser = chooser->getBrowser();
    for (const auto& [folder, shown] : { std::pair { base, root }, { root.getChildFile ("link"), root },
                                         { root.getChildFile ("sub"), root.getChildFile ("sub") } })
    {
        browser.setRoot (folder);
        EXPECT_EQ (browser.getRoot(), shown) << folder.getFullPathName();
    }
    browser.setRoot (root);
    browser.goUp();
    EXPECT_EQ (browser.getRoot(), root);
}

INSTANTIATE_TEST_SUITE_P (Ways, ConfirmedChooser, ::testing::Values ("SaveButton", "Return"),
                          [] (const auto& p) { return std::string (p.param); });

TEST_F (Chooser, ARootThatIsNoFolderOpensNoBrowser)
{
    for (const auto* rootIs : { "a file", "missing" })
    {
        SCOPED_TRACE (rootIs);
        results.clear();
        root.deleteRecursively();
        if (juce::String (rootIs) == "a file")
            root.replaceWithText ("not a folder");
        const auto expected = state();

        auto& c = open (".xml");
        runFor (20);
        auto& browser = c.getBrowser();
        EXPECT_TRUE (! browser.isVisible() || browser.getRoot() == root) << browser.getRoot().getFullPathName();
        EXPECT_FALSE (c.getNewFolderButton().isVisible());
        EXPECT_FALSE (c.getOkButton().isVisible() && c.getOkButton().isEnabled());
        EXPECT_EQ (shownMessage(), "Couldn't open the folder: " + root.getFullPathName());

        // Nothing the user can still do writes anywhere; the message's button closes the chooser.
        type ("x");
        c.okButtonPressed();
        click (c.getOkButton());
        pressReturn();
        EXPECT_TRUE (results.empty());
        click (boxButton (0));
        EXPECT_EQ (results, std::vector<bool> { false });
        EXPECT_FALSE (c.isVisible());
        EXPECT_EQ (state(), expected);
        chooser.reset();
    }
}

TEST_F (Chooser, NewFolderGoesWithTheFolderOnScreen)
{
    const auto sub = root.getChildFile ("sub");
    sub.getChildFile ("Old.xml").replaceWithText ("x");
    auto& c = open (".xml");
    auto& browser = c.getBrowser();
    browser.setRoot (sub);
    runFor (20);
    ASSERT_TRUE (c.getNewFolderButton().isVisible());
    const auto sawList = [&] (bool visible)
    {
        for (int i = 0; i < 100 && c.getNewFolderButton().isVisible() != visible; ++i)
            runFor (10);
        return c.getNewFolderButton().isVisible() == visible;
    };

    // Removed behind the chooser's back: its button, once clicked, goes and opens nothing.
    sub.deleteRecursively();
    click (c.getNewFolderButton());
    EXPECT_EQ (c.getCurrentDialog(), nullptr);
    EXPECT_FALSE (c.getNewFolderButton().isVisible());

    // Back again: the listing read again shows the button again.
    sub.createDirectory();
    browser.refresh();
    EXPECT_TRUE (sawList (true));

    // Gone while the new-folder dialog is open: it is not made again, and the button goes.
    click (c.getNewFolderButton());
    auto& name = dynamic_cast<KA::NewFolderContainer*> (box()->getContent())->getNameEditor();
    name.setText ("Fresh");
    sub.deleteRecursively();
    click (boxButton (1));
    EXPECT_FALSE (sub.exists());
    EXPECT_EQ (shownMessage(), "Couldn't create the folder!");
    EXPECT_TRUE (sawList (false));
}

TEST_F (Chooser, OverwriteQuestionIsAboutTheFileReallyWritten)
{
    const auto bass = root.getChildFile ("Bass.xml");
    bass.replaceWithText ("old");
    const struct { const char* forced; const char* typed; int flags; const char* chosen; bool asks; } cases[] = {
        { "", "Bass.xml", saveFlags, "Bass.xml", true },
        { ".xml", "Bass", saveFlags, "Bass.xml", true },
        { ".xml", "Bass.txt", saveFlags, "Bass.xml", true },
        { "", "Bass", saveFlags, "Bass", false },
        { "", "Bass.xml", Flags::saveMode | Flags::canSelectFiles, "Bass.xml", false }, // no warning asked for
    };

    for (const auto& c : cases)
    {
        results.clear();
        auto& ch = open (c.forced, c.flags);
        type (c.typed);
        EXPECT_EQ (ch.getChosenFile(), root.getChildFile (c.chosen)) << c.typed;
        click (ch.getOkButton());
        if (! c.asks)
        {
            EXPECT_EQ (results, std::vector<bool> { true }) << c.typed;
            bass.replaceWithText ("old");
            root.getChildFile ("Bass").deleteFile();
            continue;
        }
        EXPECT_EQ (shownMessage(), "There's already a file called: Bass.xml\n\nAre you sure you want to overwrite it?") << c.typed;
        EXPECT_EQ (dynamic_cast<KA::MsgBoxComponent*> (box()->getContent())->getIconType(), 2);
        EXPECT_EQ (boxButton (1).getButtonText() + "/" + boxButton (0).getButtonText(), "Overwrite/Cancel");
        EXPECT_TRUE (results.empty());
        click (boxButton (0));
        EXPECT_EQ (results, std::vector<bool> { false }) << c.typed;
        EXPECT_EQ (bass.loadFileAsString(), "old") << c.typed;
    }

    // When opening, an existing file is taken without a question.
    results.clear();
    auto& opener = open ({}, Flags::openMode | Flags::canSelectFiles | Flags::warnAboutOverwriting);
    opener.getBrowser().getDisplayComponent()->setSelectedFile (bass);
    runFor (20);
    click (opener.getOkButton());
    EXPECT_EQ (results, std::vector<bool> { true });
}

TEST_F (Chooser, ExactlyOneResultForEveryWayOfClosing)
{
    const auto bass = root.getChildFile ("Bass.xml");
    const auto inAFolderThatWent = [] (Chooser& f) { f.root.getChildFile ("sub").createDirectory(); f.chooser->getBrowser().setRoot (f.root.getChildFile ("sub"));
        f.root.getChildFile ("sub").deleteRecursively(); click (f.chooser->getNewFolderButton()); f.pressReturn(); click (f.chooser->getOkButton()); };
    const struct { const char* way; const char* typed; std::function<void (Chooser&)> close; std::vector<bool> results; const char* bytes; } cases[] = {
        { "ok", "Funk", [] (Chooser& f) { click (f.chooser->getOkButton()); }, { true }, "old" },
        { "cancel", "Funk", [] (Chooser& f) { click (f.chooser->getCancelButton()); }, { false }, "old" },
        { "double-click, twice", "Funk", [&] (Chooser& f) { for (int i = 0; i < 2; ++i) f.chooser->getBrowser().fileDoubleClicked (bass); },
          { true }, "old" },
        { "ok and cancel queued", "Funk",
          [] (Chooser& f) { f.chooser->getOkButton().triggerClick(); f.chooser->getCancelButton().triggerClick(); }, { true }, "old" },
        { "overwrite", "Bass", [] (Chooser& f) { click (f.chooser->getOkButton()); click (f.boxButton (1)); }, { true }, "written" },
        { "cancel in the question", "Bass", [] (Chooser& f) { click (f.chooser->getOkButton()); click (f.boxButton (0)); }, { false }, "old" },
        { "deleted with the question open", "Bass", [] (Chooser& f) { click (f.chooser->getOkButton()); f.chooser.reset(); }, {}, "old" },
        { "deleted by its own callback", "Bass",
          [] (Chooser& f) { f.deleteFromCallback = true; click (f.chooser->getOkButton()); click (f.boxButton (1)); }, { true }, "written" },
        { "nothing typed in a folder that went", "", inAFolderThatWent, {}, "old" },
        { "\".\" typed in a folder that went", ".", inAFolderThatWent, {}, "old" },
    };

    for (const auto& c : cases)
    {
        results.clear();
        deleteFromCallback = false;
        bass.replaceWithText ("old");
        open (".xml");
        type (c.typed);
        c.close (*this);
        runFor (20);
        EXPECT_EQ (results, c.results) << c.way;
        EXPECT_EQ (bass.loadFileAsString(), c.bytes) << c.way;
        EXPECT_TRUE (chooser == nullptr || shownMessage().isEmpty()) << c.way; // nothing left asking
        root.getChildFile ("Funk.xml").deleteFile();
    }
}

TEST_F (Chooser, NewFolderNamesAreCleanedAndKeptInTheFolderShown)
{
    root.getChildFile ("taken").replaceWithText ("file");
    const juce::String n200 = juce::String::repeatedString ("n", 200), e200 = juce::String::repeatedString ("e", 193) + ".folder";
    const std::pair<juce::String, juce::String> cases[] = {
        { "a/b:c", "abc" }, { n200, n200.substring (0, 128) }, { e200, e200.substring (0, 121) + ".folder" },
        { "../up", "..up" }, { "..", {} }, { ".", {} }, { "", {} }, { "/:", {} },
        { "~x", "~x" }, { "~", "~" }, { "~/x", "~x" }, // ordinary names, never the home folder
        { "taken", {} }, // a file of that name: a message, nothing created
    };

    auto& c = open (".xml");
    for (const auto& [typed, made] : cases)
    {
        const auto folder = typed == "taken" ? root : root.getChildFile ("sub");
        c.getBrowser().setRoot (folder);
        auto expected = state();
        // As text: getChildFile would read a leading "~" as the home folder.
        const juce::File madeFolder (folder.getFullPathName() + "/" + made);
        if (made.isNotEmpty())
            expected[madeFolder.getFullPathName()] = "<folder>";

        click (c.getNewFolderButton());
        juce::Component::SafePointer<juce::Component> dialog (c.getCurrentDialog());
        auto& nameBox = dynamic_cast<KA::NewFolderContainer*> (box()->getContent())->getNameEditor();
        EXPECT_TRUE (nameBox.isVisible() && ! nameBox.getBounds().isEmpty()); // where the user types
        nameBox.setText (typed);
        click (boxButton (1));

        EXPECT_EQ (state(), expected) << typed;
        EXPECT_EQ (shownMessage(), typed == "taken" ? "Couldn't create the folder!" : "") << typed;
        EXPECT_TRUE (dialog == nullptr || ! dialog->isVisible()) << typed;

        // The listing shows the new folder (hidden ones are not listed).
        const auto rows = [&c] { return dynamic_cast<juce::ListBox*> (c.getBrowser().getDisplayComponent())->getModel()->getNumRows(); };
        const auto folders = folder.getNumberOfChildFiles (juce::File::findDirectories | juce::File::ignoreHiddenFiles);
        for (int i = 0; i < 100 && made.isNotEmpty() && rows() != folders; ++i)
            runFor (10);
        EXPECT_TRUE (made.isEmpty() || rows() == folders) << typed;
        if (made.isNotEmpty())
            madeFolder.deleteRecursively();
        c.getBrowser().refresh();
    }

    // After the failure the chooser still saves.
    click (boxButton (0));
    type ("Fresh");
    click (c.getOkButton());
    EXPECT_EQ (results, std::vector<bool> { true });
    EXPECT_EQ (root.getChildFile ("Fresh.xml").loadFileAsString(), "written");
}

TEST (WindowedChooser, TypingInTheNewFolderDialogGoesToItsNameAndReturnCreatesIt)
{
    const auto root = KA::Test::makeTemporaryFolder ("typing");
    std::vector<bool> results;
    FileChooserComponent chooser ("", "", saveFlags, root, [&results] (FileChooserComponent*, void*, bool ok) { results.push_back (ok); },
                                  true, nullptr, "*.xml", nullptr, ".xml");
    chooser.setSize (600, 400);
    chooser.addToDesktop (0);
    chooser.setVisible (true);
    runFor (100);

    // The user was typing a file name when New Folder was pressed.
    auto& fileName = nameBoxOf (chooser.getBrowser());
    fileName.grabKeyboardFocus();
    ASSERT_TRUE (fileName.hasKeyboardFocus (false));
    fileName.insertTextAtCaret ("Draft");
    click (chooser.getNewFolderButton());
    juce::Component::SafePointer<DialogComponent> dialog (dynamic_cast<DialogComponent*> (chooser.getCurrentDialog()));
    ASSERT_NE (dialog, nullptr);
    auto& folderName = dynamic_cast<KA::NewFolderContainer*> (dialog->getContent())->getNameEditor();
    EXPECT_TRUE (folderName.hasKeyboardFocus (false));

    // Keys as the window hands them on.
    auto* peer = chooser.getPeer();
    for (auto c : juce::String ("Loops"))
        peer->handleKeyPress (juce::KeyPress ((int) juce::CharacterFunctions::toLowerCase (c), {}, c));
    peer->handleKeyPress (juce::KeyPress (juce::KeyPress::returnKey));
    runFor (20);
    runFor (20);

    EXPECT_TRUE (root.getChildFile ("Loops").isDirectory());
    EXPECT_EQ (fileName.getText(), "Draft");
    EXPECT_TRUE (results.empty()) << "the chooser behind the dialog saved";
    EXPECT_TRUE (dialog == nullptr || ! dialog->isVisible());
    EXPECT_TRUE (chooser.isVisible());

    chooser.removeFromDesktop();
    root.deleteRecursively();
}

TEST (ChooserScan, BuiltAndDeletedWhileAFolderOf2000FilesIsScanned)
{
    const auto folder = KA::Test::makeTemporaryFolder ("scan");
    for (int i = 0; i < 2000; ++i)
        folder.getChildFile ("preset " + juce::String (i) + (i % 2 == 0 ? ".xml" : ".txt")).replaceWithText ("x");

    for (int round = 0; round < 9; ++round)
    {
        FileChooserComponent chooser ("", "", saveFlags, folder, {}, true, nullptr, "*.xml", nullptr, ".xml");
        runFor (round);

        // The last one is left to finish: the filter lets the .xml files through.
        auto* list = dynamic_cast<juce::ListBox*> (chooser.getBrowser().getDisplayComponent());
        for (int i = 0; round == 8 && i < 500 && list->getModel()->getNumRows() < 1000; ++i)
            runFor (10);
        EXPECT_TRUE (round < 8 || list->getModel()->getNumRows() == 1000);
    }
    folder.deleteRecursively();
}
} // namespace
