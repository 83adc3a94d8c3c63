#include "tests/common/TestEnvironment.h"
#include "tests/ui/support/XKeyboard.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/FileChooserComponent.h"
#include "ui/dialogs/MsgBoxComponent.h"
#include "ui/dialogs/NewFolderContainer.h"

#include <gtest/gtest.h>

#include <map>
#include <unistd.h>

namespace
{
using KA::DialogComponent;
using KA::FileChooserComponent;
using Flags = juce::FileBrowserComponent::FileChooserFlags;

constexpr int saveFlags = Flags::saveMode | Flags::canSelectFiles | Flags::warnAboutOverwriting;

void runLoop (int ms = 20)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (ms);
}

void click (juce::Button& button)
{
    button.triggerClick();
    runLoop();
}

/** Every file below the folder with its bytes; links are listed, not followed. */
std::map<juce::String, juce::String> snapshot (const juce::File& folder)
{
    std::map<juce::String, juce::String> files;
    for (auto& f : folder.findChildFiles (juce::File::findFilesAndDirectories, true, "*", juce::File::FollowSymlinks::no))
        files[f.getFullPathName()] = f.isDirectory() ? "<folder>" : f.loadFileAsString();
    return files;
}

DialogComponent* currentBox (FileChooserComponent& chooser)
{
    return dynamic_cast<DialogComponent*> (chooser.getCurrentDialog());
}

juce::String shownMessage (FileChooserComponent& chooser)
{
    auto* box = currentBox (chooser);
    auto* message = box != nullptr && box->isVisible() ? dynamic_cast<KA::MsgBoxComponent*> (box->getContent()) : nullptr;
    return message != nullptr ? message->getMessage() : juce::String();
}

/** The dialog button reporting the result id. */
juce::Button* boxButton (FileChooserComponent& chooser, int resultId)
{
    if (auto* box = currentBox (chooser))
        for (int i = 0; i < box->getView()->getNumButtons(); ++i)
            if (box->getView()->getButton (i)->getCommandID() == resultId)
                return box->getView()->getButton (i);
    return nullptr;
}

/** A save chooser over root, whose callback writes the chosen file the way the
    preset library does, and counts its calls. */
struct ChooserFixture : public ::testing::Test
{
    ChooserFixture()
    {
        root.createDirectory();
        outside.createDirectory();
        root.getChildFile ("sub").createDirectory();
    }

    ~ChooserFixture() override
    {
        chooser.reset();
        base.deleteRecursively();
    }

    FileChooserComponent& open (const juce::String& forcedExtension = {}, int flags = saveFlags)
    {
        chooser = std::make_unique<FileChooserComponent> (
            "", "", flags, root,
            [this] (FileChooserComponent* c, void* data, bool ok)
            {
                results.push_back (ok);
                EXPECT_EQ (data, this);
                EXPECT_FALSE (c->isVisible());
                if (ok)
                    c->getChosenFile().replaceWithText ("written");
                if (deleteFromCallback)
                    chooser.reset();
            },
            true, this, "*.xml", nullptr, forcedExtension);
        chooser->setVisible (true);
        chooser->setSize (600, 400);
        return *chooser;
    }

    /** As typed into the browser's file name box, which reports the change through the message loop. */
    void type (const juce::String& name)
    {
        chooser->getBrowser().setFileName (name);
        runLoop();
    }

    juce::File base = KA::Test::makeTemporaryFolder ("chooser");
    juce::File root = base.getChildFile ("root");
    juce::File outside = base.getChildFile ("outside");
    std::unique_ptr<FileChooserComponent> chooser;
    std::vector<bool> results;
    bool deleteFromCallback = false;
};

TEST (FileChooser, ButtonTextsFollowTheFlags)
{
    const auto folder = KA::Test::makeTemporaryFolder ("texts");
    const struct { int flags; const char* ok; bool newFolder; } cases[] = {
        { Flags::saveMode | Flags::canSelectFiles, "Save", true },
        { Flags::saveMode | Flags::canSelectDirectories, "Choose", true },
        { Flags::saveMode | Flags::canSelectFiles | Flags::canSelectDirectories, "Choose", true },
        { Flags::openMode | Flags::canSelectFiles, "Open", false },
        { Flags::openMode | Flags::canSelectDirectories, "Open", false },
    };

    for (const auto& c : cases)
    {
        FileChooserComponent chooser ("", "", c.flags, folder, {}, true, nullptr, "*", nullptr);
        EXPECT_EQ (chooser.getOkButton().getButtonText(), c.ok) << c.flags;
        EXPECT_EQ (chooser.getCancelButton().getButtonText(), "Cancel");
        EXPECT_EQ (chooser.getNewFolderButton().getButtonText(), "New Folder");
        EXPECT_EQ (chooser.getNewFolderButton().isVisible(), c.newFolder) << c.flags;
    }
    folder.deleteRecursively();
}

/** A look-and-feel whose chooser header takes no room. */
struct NoHeaderLookAndFeel : public juce::LookAndFeel_V4
{
    juce::AttributedString createFileChooserHeaderText (const juce::String&, const juce::String&) override { return {}; }
};

TEST_F (ChooserFixture, LayoutOfA400By300Chooser)
{
    NoHeaderLookAndFeel lf;
    auto& c = open();
    c.setLookAndFeel (&lf);
    c.setSize (400, 300);

    EXPECT_EQ (c.getBrowser().getBounds(), juce::Rectangle<int> (20, 30, 360, 204));
    for (auto* b : { &c.getOkButton(), &c.getCancelButton(), &c.getNewFolderButton() })
    {
        EXPECT_EQ (b->getY(), 244);
        EXPECT_EQ (b->getHeight(), 26);
    }
    EXPECT_EQ (c.getOkButton().getRight(), 364);
    EXPECT_EQ (c.getNewFolderButton().getX(), 36);
    EXPECT_LT (c.getCancelButton().getRight(), c.getOkButton().getX());
    EXPECT_LT (c.getNewFolderButton().getRight(), c.getCancelButton().getX());

    // Its dialogs cover it, with its look-and-feel.
    click (c.getNewFolderButton());
    ASSERT_NE (c.getCurrentDialog(), nullptr);
    EXPECT_EQ (c.getCurrentDialog()->getBounds(), c.getLocalBounds());
    EXPECT_EQ (&c.getCurrentDialog()->getLookAndFeel(), &lf);
    chooser.reset();
}

TEST_F (ChooserFixture, TypedNamesLeadingOutOfTheRootAreRefusedAndNothingIsWritten)
{
    const auto home = KA::Test::getTemporaryHome();
    ASSERT_EQ (::symlink (outside.getFullPathName().toRawUTF8(), root.getChildFile ("link").getFullPathName().toRawUTF8()), 0);
    ASSERT_EQ (::symlink (outside.getChildFile ("target.xml").getFullPathName().toRawUTF8(),
                          root.getChildFile ("dangling.xml").getFullPathName().toRawUTF8()), 0);

    const struct { juce::String typed; juce::String written; } cases[] = {
        { "../x", {} },
        { outside.getChildFile ("x").getFullPathName(), {} },
        { "~/x", {} },
        { "sub/../../x", {} },
        { "link/x", {} },
        { "link/../x", "x.xml" }, // the name is resolved as text first: this is root/x.xml
        { "dangling", {} },   // a link inside that points out
        { "sub/../y", "y.xml" },
        { "sub/z", "sub/z.xml" },
    };

    for (const auto& c : cases)
    {
        results.clear();
        const auto before = snapshot (home);
        auto& ch = open (".xml");
        type (c.typed);
        ASSERT_TRUE (ch.getOkButton().isEnabled()) << c.typed;
        click (ch.getOkButton());

        auto expected = before;
        if (c.written.isEmpty())
        {
            EXPECT_TRUE (results.empty()) << c.typed;
            EXPECT_TRUE (ch.isVisible()) << c.typed;
            EXPECT_EQ (shownMessage (ch), "Please choose a file inside the folder: root") << c.typed;
        }
        else
        {
            EXPECT_EQ (results, std::vector<bool> { true }) << c.typed;
            expected[root.getChildFile (c.written).getFullPathName()] = "written";
        }
        EXPECT_EQ (snapshot (home), expected) << c.typed;
        root.getChildFile (c.written).deleteFile();
    }

    // Browsing out of the root, also through a link, comes back to it.
    auto& browser = chooser->getBrowser();
    for (const auto& folder : { base, root.getChildFile ("link"), root.getChildFile ("sub") })
    {
        browser.setRoot (folder);
        EXPECT_EQ (browser.getRoot(), folder == root.getChildFile ("sub") ? folder : root) << folder.getFullPathName();
    }
    browser.setRoot (root);
    browser.goUp();
    EXPECT_EQ (browser.getRoot(), root);
}

TEST_F (ChooserFixture, OverwriteQuestionIsAboutTheFileWritten)
{
    root.getChildFile ("Bass.xml").replaceWithText ("old");
    const struct { const char* forced; const char* typed; bool asks; const char* chosen; } cases[] = {
        { "", "Bass.xml", true, "Bass.xml" },
        { ".xml", "Bass", true, "Bass.xml" },
        { ".xml", "Bass.txt", true, "Bass.xml" },
        { "", "Bass", false, "Bass" },
        { ".xml", "Funk.txt", false, "Funk.xml" },
    };

    for (const auto& c : cases)
    {
        results.clear();
        auto& ch = open (c.forced);
        type (c.typed);
        EXPECT_EQ (ch.getChosenFile(), root.getChildFile (c.chosen)) << c.typed;
        click (ch.getOkButton());

        if (c.asks)
        {
            EXPECT_EQ (shownMessage (ch), "There's already a file called: Bass.xml\n\nAre you sure you want to overwrite it?") << c.typed;
            EXPECT_EQ (currentBox (ch)->getView()->getNumButtons(), 2);
            EXPECT_EQ (boxButton (ch, 1)->getButtonText(), "Overwrite");
            EXPECT_EQ (boxButton (ch, 0)->getButtonText(), "Cancel");
            EXPECT_TRUE (results.empty());
            click (*boxButton (ch, 0));
            EXPECT_EQ (results, std::vector<bool> { false });
        }
        else
        {
            EXPECT_EQ (results, std::vector<bool> { true }) << c.typed;
            root.getChildFile (c.chosen).deleteFile();
        }
        EXPECT_EQ (root.getChildFile ("Bass.xml").loadFileAsString(), "old") << c.typed;
    }

    // Without the warning flag, or when opening, an existing file is taken at once.
    for (int flags : { Flags::saveMode | Flags::canSelectFiles, Flags::openMode | Flags::canSelectFiles })
    {
        results.clear();
        chooser = std::make_unique<FileChooserComponent> ("", "", flags, root,
                                                          [this] (FileChooserComponent*, void*, bool ok) { results.push_back (ok); },
                                                          (flags & Flags::saveMode) == 0, nullptr, "*.xml", nullptr);
        type ("Bass.xml");
        chooser->getBrowser().getDisplayComponent()->setSelectedFile (root.getChildFile ("Bass.xml"));
        click (chooser->getOkButton());
        EXPECT_EQ (results, std::vector<bool> { true }) << flags;
        EXPECT_EQ (chooser->getChosenFile(), root.getChildFile ("Bass.xml"));
    }
}

/** Every way of closing the chooser, and what the callback must have seen. */
TEST_F (ChooserFixture, ExactlyOneResultForEveryWayOfClosing)
{
    root.getChildFile ("Bass.xml").replaceWithText ("old");
    const auto existing = root.getChildFile ("Bass.xml");

    const struct
    {
        const char* way;
        const char* typed;
        std::function<void (ChooserFixture&)> close;
        std::vector<bool> results;
        const char* bytes;
    } cases[] = {
        { "ok button", "Funk", [] (ChooserFixture& f) { click (f.chooser->getOkButton()); }, { true }, "old" },
        { "cancel button", "Funk", [] (ChooserFixture& f) { click (f.chooser->getCancelButton()); }, { false }, "old" },
        { "double-click, twice", "Funk",
          [&] (ChooserFixture& f) { f.chooser->getBrowser().fileDoubleClicked (existing);
                                    f.chooser->getBrowser().fileDoubleClicked (existing); },
          { true }, "old" },
        { "overwrite", "Bass",
          [] (ChooserFixture& f) { click (f.chooser->getOkButton()); click (*boxButton (*f.chooser, 1)); }, { true }, "written" },
        { "cancel in the question", "Bass",
          [] (ChooserFixture& f) { click (f.chooser->getOkButton()); click (*boxButton (*f.chooser, 0)); }, { false }, "old" },
        { "ok, then cancel", "Funk",
          [] (ChooserFixture& f) { f.chooser->getOkButton().triggerClick(); f.chooser->getCancelButton().triggerClick(); runLoop(); },
          { true }, "old" },
        { "deleted with the question open", "Bass",
          [] (ChooserFixture& f) { click (f.chooser->getOkButton()); f.chooser.reset(); runLoop(); }, {}, "old" },
        { "deleted by its own callback", "Bass",
          [] (ChooserFixture& f) { f.deleteFromCallback = true; click (f.chooser->getOkButton()); click (*boxButton (*f.chooser, 1)); },
          { true }, "written" },
    };

    for (const auto& c : cases)
    {
        results.clear();
        deleteFromCallback = false;
        existing.replaceWithText ("old");
        open (".xml");
        type (c.typed);
        c.close (*this);
        runLoop();
        EXPECT_EQ (results, c.results) << c.way;
        EXPECT_EQ (existing.loadFileAsString(), c.bytes) << c.way;
        if (chooser != nullptr)
        {
            EXPECT_EQ (shownMessage (*chooser), "") << c.way;
        }
        root.getChildFile ("Funk.xml").deleteFile();
    }
}

/** Types the name into a new-folder dialog and presses "Create Folder". */
void createFolder (FileChooserComponent& chooser, const juce::String& typed)
{
    click (chooser.getNewFolderButton());
    auto* box = currentBox (chooser);
    ASSERT_NE (box, nullptr);
    auto* container = dynamic_cast<KA::NewFolderContainer*> (box->getContent());
    ASSERT_NE (container, nullptr);
    container->getNameEditor().setText (typed);
    click (*boxButton (chooser, 1));
}

TEST_F (ChooserFixture, NewFolderNamesAreCleanedAndKeptInTheFolderShown)
{
    const juce::String longName = juce::String::repeatedString ("n", 200);
    const juce::String longWithExtension = juce::String::repeatedString ("e", 193) + ".folder";

    const struct { juce::String typed; juce::String made; } cases[] = {
        { "a/b:c", "abc" },
        { longName, longName.substring (0, 128) },
        { longWithExtension, juce::String::repeatedString ("e", 121) + ".folder" },
        { "../up", "..up" },
        { "..", {} },
        { ".", {} },
        { "~x", {} },
        { "~", {} },
        { "", {} },
        { "/:", {} },
    };

    const auto home = KA::Test::getTemporaryHome();
    auto& c = open();
    c.getBrowser().setRoot (root.getChildFile ("sub"));

    for (const auto& tc : cases)
    {
        const auto before = snapshot (home);
        createFolder (c, tc.typed);

        auto expected = before;
        if (tc.made.isNotEmpty())
            expected[root.getChildFile ("sub").getChildFile (tc.made).getFullPathName()] = "<folder>";
        EXPECT_EQ (snapshot (home), expected) << tc.typed;
        EXPECT_EQ (shownMessage (c), "") << tc.typed;
        root.getChildFile ("sub").getChildFile (tc.made).deleteRecursively();
    }
    EXPECT_TRUE (results.empty());
}

TEST_F (ChooserFixture, FolderNamedLikeAFileFailsWithAMessageAndTheChooserStaysUsable)
{
    root.getChildFile ("taken").replaceWithText ("file");
    auto& c = open (".xml");

    createFolder (c, "taken");
    juce::Component::SafePointer<juce::Component> newFolderDialog (c.getCurrentDialog());
    runLoop();

    EXPECT_EQ (shownMessage (c), "Couldn't create the folder!");
    EXPECT_EQ (root.getChildFile ("taken").loadFileAsString(), "file");
    EXPECT_TRUE (c.isVisible());
    EXPECT_EQ (c.getNumChildComponents(), 5); // browser, three buttons, the message
    ASSERT_NE (boxButton (c, 0), nullptr);
    click (*boxButton (c, 0));

    type ("Fresh");
    click (c.getOkButton());
    EXPECT_EQ (results, std::vector<bool> { true });
    EXPECT_EQ (root.getChildFile ("Fresh.xml").loadFileAsString(), "written");
}

TEST (FileChooserScan, BuiltAndDeletedWhileAFolderOf2000FilesIsScanned)
{
    const auto folder = KA::Test::makeTemporaryFolder ("scan");
    for (int i = 0; i < 2000; ++i)
        folder.getChildFile ("preset " + juce::String (i) + (i % 2 == 0 ? ".xml" : ".txt")).replaceWithText ("x");

    for (int round = 0; round < 8; ++round)
    {
        FileChooserComponent chooser ("", "", saveFlags, folder, {}, true, nullptr, "*.xml", nullptr, ".xml");
        chooser.setSize (400, 300);
        runLoop (round);
    }

    // One left to finish: the filter lets the .xml files through.
    FileChooserComponent chooser ("", "", saveFlags, folder, {}, true, nullptr, "*.xml", nullptr, ".xml");
    auto* list = dynamic_cast<juce::ListBox*> (chooser.getBrowser().getDisplayComponent());
    ASSERT_NE (list, nullptr);
    for (int i = 0; i < 500 && list->getModel()->getNumRows() < 1000; ++i)
        runLoop (10);
    EXPECT_EQ (list->getModel()->getNumRows(), 1000);
    folder.deleteRecursively();
}

/** The chooser in a window of its own, driven by the keyboard under X. */
struct WindowedFileChooser : public ChooserFixture {};

TEST_F (WindowedFileChooser, ReturnAndEscapeCloseItOnce)
{
    constexpr unsigned long returnKey = 0xff0d, escapeKey = 0xff1b;
    const struct { const char* way; unsigned long key; bool inNameBox; std::vector<bool> results; } cases[] = {
        { "Return", returnKey, false, { true } },
        { "Escape", escapeKey, false, { false } },
        { "Return in the name box", returnKey, true, { true } },
    };

    for (const auto& c : cases)
    {
        results.clear();
        juce::Component window;
        window.setWantsKeyboardFocus (true);
        window.setSize (600, 400);
        window.addAndMakeVisible (open (".xml"));
        type ("Funk");
        window.addToDesktop (0);
        window.setVisible (true);
        runLoop (100);

        ASSERT_TRUE (KA::Test::focusWindow (window.getPeer()->getNativeHandle()));
        runLoop (100);
        juce::Component* focus = &window;
        if (c.inNameBox)
            for (auto* child : chooser->getBrowser().getChildren())
                if (auto* box = dynamic_cast<juce::TextEditor*> (child))
                    focus = box;
        focus->grabKeyboardFocus();
        ASSERT_TRUE (focus->hasKeyboardFocus (false)) << c.way;

        ASSERT_TRUE (KA::Test::pressKey (c.key));
        for (int i = 0; i < 20 && results.empty(); ++i)
            runLoop (20);
        runLoop (100);

        EXPECT_EQ (results, c.results) << c.way;
        EXPECT_EQ (root.getChildFile ("Funk.xml").existsAsFile(), c.results == std::vector<bool> { true }) << c.way;
        root.getChildFile ("Funk.xml").deleteFile();
        chooser.reset();
    }
}
} // namespace
