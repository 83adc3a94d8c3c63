// The side menu as "?" opens it in the product editor: its entries, each one chosen by
// a click on its row (the about panel down to its touch), and those without what they need.

#include "app/RedeVaPlugin.h"
#include "tests/common/MessageLoop.h"
#include "tests/common/TestEnvironment.h"
#include "tests/ui/support/ListRows.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/editor/PluginEditor.h"
#include "ui/sidemenu/AboutBox.h"
#include "ui/sidemenu/ListSideView.h"
#include "ui/sidemenu/MailListComponent.h"
#include "ui/sidemenu/ServiceConfig.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace
{
using KA::Test::runFor;

/** The programs the menu asks the system to open go to a list instead, and the
    scanner has a name of this test's own. */
struct LaunchesRecorded
{
    const juce::String bundleName = "Scanner " + juce::Uuid().toString();
    juce::StringArray launched;
    KA::ServiceConfig::ScopedOverride scoped { [this]
    {
        auto config = KA::ServiceConfig::current();
        config.scannerBundleName = bundleName;
        config.openDocument = [this] (const juce::String& path) { launched.add (path); return true; };
        return config;
    }() };
};

/** For the calling thread only, and while it lives: /usr as it is with the files of
    a folder laid over it, in a mount namespace of the thread's own, so a test can
    put a file under the system's applications folder without touching the real
    one. Needs the right to mount (root). */
class ThreadOwnUsr
{
public:
    explicit ThreadOwnUsr (const juce::File& filesOver)
    {
        shared = ::open ("/proc/thread-self/ns/mnt", O_RDONLY | O_CLOEXEC);

        if (shared < 0 || ::unshare (CLONE_NEWNS) != 0)
            return;

        entered = true;
        const auto options = "lowerdir=/usr,upperdir=" + filesOver.getFullPathName() + ",workdir=" + work.getFullPathName();
        ready = ::mount (nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
             && ::mount ("overlay", "/usr", "overlay", 0, options.toRawUTF8()) == 0;
    }

    ~ThreadOwnUsr()
    {
        // Back to the namespace everyone shares; the private one goes with its mount.
        if (entered && ::setns (shared, CLONE_NEWNS) != 0)
            ADD_FAILURE() << "the test thread could not return to the shared mount namespace";
        if (shared >= 0)
            ::close (shared);
        work.deleteRecursively();
    }

    bool isReady() const noexcept { return ready; }

private:
    const juce::File work = KA::Test::makeTemporaryFolder ("usr-work");
    int shared = -1;
    bool entered = false, ready = false;
};

/** Pages the menu opens go to a list instead of a browser. */
struct PagesRecorded
{
    juce::StringArray pages;
    KA::ServiceConfig::ScopedOverride scoped { [this]
    {
        auto config = KA::ServiceConfig::current();
        config.productPage = juce::URL ("http://127.0.0.1:9/bundle");
        config.openInBrowser = [this] (const juce::URL& u) { pages.add (u.toString (false)); return true; };
        return config;
    }() };
};

class WindowedSideMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editor->addToDesktop (0);
        editor->setVisible (true);
        editor->setSize (690, 284);
    }

    void TearDown() override { processor.editorBeingDeleted (editor.get()); }

    DRListSideView* openMenu()
    {
        editor->getToolBar()->getButton ("?")->triggerClick();
        runFor (20);
        return dynamic_cast<DRListSideView*> (editor->getCurrentDialog());
    }

    RedeVaPlugin processor;
    std::unique_ptr<KA::PluginEditor> editor { dynamic_cast<KA::PluginEditor*> (processor.createEditorIfNeeded()) };
};
} // namespace

TEST_F (WindowedSideMenu, ThreeEntriesOrFourInTheApplicationEachDoingItsJob)
{
    PagesRecorded recorded;
    KA::ListSideView standalone (&processor, {}, 0, 0, 0, 0, false, {}, juce::URL ("http://127.0.0.1:9/given"));
    standalone.addEntries (true);
    standalone.setBounds (0, 0, 400, 300);
    standalone.setVisible (true);
    EXPECT_EQ (standalone.getRoot().children.getLast()->caption, "Audio Setting");
    ASSERT_EQ (standalone.getNumRows(), 4);
    ASSERT_TRUE (KA::Test::clickRow (standalone.getListBox(), 0)); // the plain menu opens the page it was given
    EXPECT_EQ (recorded.pages, juce::StringArray ("http://127.0.0.1:9/given"));

    enum Expect { pageOnly, aboutPanel, mailForm }; // what the editor's dialog is after the click (the menu, hidden, for the page)
    for (const auto expect : { pageOnly, aboutPanel, mailForm })
    {
        SCOPED_TRACE (expect);
        recorded.pages.clear();
        juce::Component::SafePointer<DRListSideView> menu (openMenu());
        ASSERT_NE (menu, nullptr);
        EXPECT_EQ (menu->getBounds(), editor->getLocalBounds());
        ASSERT_EQ (menu->getNumRows(), 3);

        ASSERT_TRUE (KA::Test::clickRow (menu->getListBox(), expect)); // replaced from inside its own handler
        ASSERT_NE (menu, nullptr) << "deleted inside its own click";
        EXPECT_FALSE (menu->isVisible());
        auto* dialog = editor->getCurrentDialog();
        auto* box = dynamic_cast<KA::DialogComponent*> (dialog);
        EXPECT_EQ (recorded.pages, expect == pageOnly ? juce::StringArray ("http://127.0.0.1:9/bundle") : juce::StringArray());
        EXPECT_EQ (dialog == menu.getComponent(), expect == pageOnly);
        EXPECT_EQ (dynamic_cast<KA::AboutBox*> (dialog) != nullptr, expect == aboutPanel);
        EXPECT_EQ (box != nullptr && dynamic_cast<KA::MailListComponent*> (box->getContent()) != nullptr, expect == mailForm);

        if (auto* about = dynamic_cast<KA::AboutBox*> (dialog))
        {
            EXPECT_EQ (about->getBounds(), editor->getLocalBounds());
            EXPECT_EQ (about->getVersionLabel().getText(), "2.0.1");
            EXPECT_EQ (about->getVersionLabel().getBounds(), juce::Rectangle<int> (118, 132, 50, 8));
            // The 750 x 291 picture at half scale fitted by width: 690 x 267.7, 8.1 from the top.
            EXPECT_EQ (about->getPictureView().getBoundsInParent(), juce::Rectangle<int> (0, 8, 690, 269));

            // A press on the picture, delivered through the window as the system delivers it.
            const auto at = editor->getLocalPoint (about, juce::Point<int> (345, 100)).toFloat();
            const auto now = juce::Time::currentTimeMillis();
            for (int mods : { (int) juce::ModifierKeys::leftButtonModifier, 0 })
                editor->getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, mods, 0.0f, 0.0f, now + (mods == 0 ? 50 : 0));
            EXPECT_FALSE (about->isVisible());
            EXPECT_EQ (editor->getCurrentDialog(), about) << "hidden, not gone";
        }
        runFor (20);
        EXPECT_EQ (menu == nullptr, expect != pageOnly) << "a replaced menu goes once its click is over";
    }
}

TEST_F (WindowedSideMenu, EntriesNeedingTheEditorOrTheWindowDoNothingWithoutThem)
{
    // No standalone window here: "Audio Setting" leaves the menu as it was.
    auto own = std::make_unique<DRListSideView> (&processor, juce::Image(), 0, 0, 0, 0, false, juce::Colour(), juce::URL());
    own->addEntries (true);
    auto* menu = own.get();
    editor->openDialog (std::move (own));
    ASSERT_TRUE (KA::Test::clickRow (menu->getListBox(), 3));
    EXPECT_EQ (editor->getCurrentDialog(), menu);

    // The editor is closed while the menu lives elsewhere: the entries that open a panel do nothing.
    std::unique_ptr<DRListSideView> orphan (dynamic_cast<DRListSideView*> (editor->createSideView().release()));
    orphan->setSize (400, 300);
    processor.editorBeingDeleted (editor.get());
    editor = nullptr;

    for (int row : { 1, 2 })
    {
        orphan->setVisible (true);
        ASSERT_TRUE (KA::Test::clickRow (orphan->getListBox(), row));
        EXPECT_EQ (orphan->getChosenItem()->id, row + 1);
        EXPECT_EQ (processor.getActiveEditor(), nullptr);
    }
}

/** Where the about panel is touched: on the version text, on the picture, or on the
    backdrop beside them. */
class WindowedAboutPanel : public WindowedSideMenu, public ::testing::WithParamInterface<const char*>
{
};

TEST_P (WindowedAboutPanel, ATouchAnywhereHidesIt)
{
    auto* menu = openMenu();
    ASSERT_NE (menu, nullptr);
    ASSERT_TRUE (KA::Test::clickRow (menu->getListBox(), 1));
    auto* about = dynamic_cast<KA::AboutBox*> (editor->getCurrentDialog());
    ASSERT_NE (about, nullptr);
    ASSERT_TRUE (about->isVisible());

    const juce::String where (GetParam());
    const auto version = about->getVersionLabel().getBoundsInParent();
    const auto picture = about->getPictureView().getBoundsInParent();
    const auto point = where == "version" ? version.getCentre()
                     : where == "picture" ? picture.getCentre()
                                          : juce::Point<int> (about->getWidth() / 2, 2);
    ASSERT_TRUE (where != "backdrop" || ! (picture.contains (point) || version.contains (point)));

    // Pressed and released through the window, as the system delivers it.
    const auto at = editor->getLocalPoint (about, point).toFloat();
    const auto now = juce::Time::currentTimeMillis();
    for (int mods : { (int) juce::ModifierKeys::leftButtonModifier, 0 })
        editor->getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, mods, 0.0f, 0.0f, now + (mods == 0 ? 50 : 0));

    EXPECT_FALSE (about->isVisible()) << where;
    EXPECT_EQ (editor->getCurrentDialog(), about) << "hidden, not gone";
}

INSTANTIATE_TEST_SUITE_P (, WindowedAboutPanel, // no prefix: the suite keeps its "Windowed" name
                          ::testing::Values ("version", "picture", "backdrop"),
                          [] (const auto& p) { return std::string (p.param); });

TEST_F (WindowedSideMenu, ScannerLaunchedOnlyWhenInstalled)
{
    LaunchesRecorded recorded;
    const auto path = "/usr/Korvath Audio/" + recorded.bundleName;
    const auto over = KA::Test::makeTemporaryFolder ("usr-over");
    const auto installed = over.getChildFile ("Korvath Audio").getChildFile (recorded.bundleName);
    ASSERT_TRUE (installed.getParentDirectory().createDirectory() && installed.replaceWithText ("#!/bin/sh\n"));

    // No entry has the scanner's id: an item with it is added to the menu and clicked.
    const auto choose = [this]
    {
        auto* menu = openMenu();
        EXPECT_NE (menu, nullptr);
        if (menu == nullptr)
            return;
        auto item = std::make_unique<KA::ListTreeViewItem>();
        item->caption = "Scanner";
        item->id = KA::ListSideView::pluginScanner;
        menu->getRoot().children.add (item.release());
        menu->getListBox().updateContent();
        const auto childrenBefore = editor->getNumChildComponents();
        EXPECT_TRUE (KA::Test::clickRow (menu->getListBox(), menu->getNumRows() - 1));
        runFor (20);
        // Nothing shown: the menu is hidden and stays the editor's dialog, no box over it.
        EXPECT_EQ (editor->getCurrentDialog(), menu);
        EXPECT_FALSE (menu->isVisible());
        EXPECT_EQ (editor->getNumChildComponents(), childrenBefore);
    };

    ASSERT_FALSE (juce::File (path).exists());
    choose();
    EXPECT_TRUE (recorded.launched.isEmpty());

    {
        ThreadOwnUsr usr (over);
        if (! usr.isReady())
            GTEST_SKIP() << "no private mount namespace here (needs root) to install a scanner in";
        ASSERT_TRUE (juce::File (path).existsAsFile());
        choose();
    }
    EXPECT_EQ (recorded.launched, juce::StringArray (path));
    EXPECT_FALSE (juce::File (path).exists()) << "the real applications folder stays untouched";
    over.deleteRecursively();
}
