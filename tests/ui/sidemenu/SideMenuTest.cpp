// The side menu as the "?" button opens it in the product editor: its entries,
// what each one does when chosen with a click on its row, and what it does when
// the editor or the standalone window it needs is not there.

#include "app/RedeVaPlugin.h"
#include "tests/ui/support/ListRows.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/editor/PluginEditor.h"
#include "ui/sidemenu/AboutBox.h"
#include "ui/sidemenu/ListSideView.h"
#include "ui/sidemenu/MailListComponent.h"
#include "ui/sidemenu/ServiceConfig.h"

#include <gtest/gtest.h>

namespace
{
void runLoop (int ms = 20) { juce::MessageManager::getInstance()->runDispatchLoopUntil (ms); }

/** Pages the menu opens go to a list instead of a browser. */
struct PagesRecorded
{
    static KA::ServiceConfig configFor (juce::StringArray& pages)
    {
        auto config = KA::ServiceConfig::current();
        config.productPage = juce::URL ("http://127.0.0.1:9/bundle");
        config.makerHomePage = juce::URL ("http://127.0.0.1:9/home");
        config.openInBrowser = [&pages] (const juce::URL& u) { pages.add (u.toString (false)); return true; };
        return config;
    }

    juce::StringArray pages;
    KA::ServiceConfig::ScopedOverride scoped { configFor (pages) };
};

class WindowedSideMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editor.reset (dynamic_cast<KA::PluginEditor*> (processor.createEditorIfNeeded()));
        ASSERT_NE (editor, nullptr);
    }

    void TearDown() override
    {
        processor.editorBeingDeleted (editor.get());
        editor = nullptr;
    }

    DRListSideView* openMenu()
    {
        editor->getToolBar()->getButton ("?")->triggerClick();
        runLoop();
        return dynamic_cast<DRListSideView*> (editor->getCurrentDialog());
    }

    RedeVaPlugin processor;
    std::unique_ptr<KA::PluginEditor> editor;
};
} // namespace

TEST_F (WindowedSideMenu, OffersAudioSettingOnlyInTheStandaloneApplication)
{
    auto* menu = openMenu();
    ASSERT_NE (menu, nullptr);
    EXPECT_EQ (menu->getBounds(), editor->getLocalBounds());
    EXPECT_FALSE (menu->getHeader().getBackButton().isVisible());

    PagesRecorded recorded;
    KA::ListSideView standalone (&processor, {}, 0, 0, 0, 0, false, {}, juce::URL ("http://127.0.0.1:9/given"));
    standalone.addEntries (true);

    for (auto* view : { static_cast<KA::ListSideView*> (menu), &standalone })
    {
        const auto& entries = view->getRoot().children;
        const auto withAudio = view == &standalone;
        ASSERT_EQ (view->getNumRows(), withAudio ? 4 : 3);

        for (int row = 0; row < entries.size(); ++row)
        {
            EXPECT_EQ (entries[row]->id, row + 1);
            EXPECT_FALSE (entries[row]->isFolder);
            EXPECT_EQ (entries[row]->hasOwnColour, entries[row]->id == KA::ListSideView::mailingList);
        }

        EXPECT_EQ (entries.getLast()->caption == "Audio Setting", withAudio);
    }

    // The library's plain menu opens the page it was given (the series' menu, below, its bundle page).
    standalone.setBounds (0, 0, 400, 300);
    standalone.setVisible (true);
    ASSERT_TRUE (KA::Test::clickRow (standalone.getListBox(), 0));
    EXPECT_EQ (recorded.pages, juce::StringArray ("http://127.0.0.1:9/given"));
}

TEST_F (WindowedSideMenu, EachEntryChosenByItsRowDoesItsJob)
{
    // Row, then what must be the editor's dialog afterwards (the menu itself, hidden, for the page).
    enum Expect { pageOnly, aboutPanel, mailForm };
    const std::pair<int, Expect> rows[] = { { 0, pageOnly }, { 1, aboutPanel }, { 2, mailForm } };

    for (const auto& [row, expect] : rows)
    {
        SCOPED_TRACE (row);
        PagesRecorded recorded;
        juce::Component::SafePointer<juce::Component> menu (openMenu());
        ASSERT_NE (menu, nullptr);

        // A real row click: the menu is replaced from inside its own handler.
        ASSERT_TRUE (KA::Test::clickRow (dynamic_cast<DRListSideView*> (menu.getComponent())->getListBox(), row));
        ASSERT_NE (menu, nullptr) << "deleted inside its own click";
        EXPECT_FALSE (menu->isVisible());
        auto* dialog = editor->getCurrentDialog();

        EXPECT_EQ (recorded.pages, expect == pageOnly ? juce::StringArray ("http://127.0.0.1:9/bundle") : juce::StringArray());
        EXPECT_EQ (dialog == menu.getComponent(), expect == pageOnly);
        EXPECT_EQ (dynamic_cast<KA::AboutBox*> (dialog) != nullptr, expect == aboutPanel);
        auto* box = dynamic_cast<KA::DialogComponent*> (dialog);
        EXPECT_EQ (box != nullptr && dynamic_cast<KA::MailListComponent*> (box->getContent()) != nullptr, expect == mailForm);

        runLoop();
        EXPECT_EQ (menu == nullptr, expect != pageOnly) << "a replaced menu goes once its click is over";
    }
}

TEST_F (WindowedSideMenu, AboutPanelFitsThePictureShowsTheVersionAndHidesAtATouch)
{
    editor->addToDesktop (0);
    editor->setVisible (true);
    editor->setSize (690, 284);
    auto* menu = openMenu();
    ASSERT_NE (menu, nullptr);
    ASSERT_TRUE (KA::Test::clickRow (menu->getListBox(), 1));
    auto* about = dynamic_cast<KA::AboutBox*> (editor->getCurrentDialog());
    ASSERT_NE (about, nullptr);

    EXPECT_EQ (about->getBounds(), editor->getLocalBounds());
    EXPECT_EQ (about->getVersionLabel().getText(), "2.0.1");
    EXPECT_EQ (about->getVersionLabel().getBounds(), juce::Rectangle<int> (118, 132, 50, 8));
    EXPECT_EQ (about->getVersionLabel().findColour (juce::Label::textColourId), juce::Colours::white);
    // The 750 x 291 picture at half scale, 375 x 145.5, fitted by width: 690 x 267.7, 8.1 from the top.
    EXPECT_EQ (about->getPictureView().getBoundsInParent(), juce::Rectangle<int> (0, 8, 690, 269));

    // A press on the picture, delivered through the window as the system delivers it.
    auto* peer = editor->getPeer();
    ASSERT_NE (peer, nullptr);
    const auto at = editor->getLocalPoint (about, juce::Point<int> (345, 100)).toFloat();
    const auto now = juce::Time::currentTimeMillis();
    peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, juce::ModifierKeys::leftButtonModifier,
                            0.0f, 0.0f, now);
    peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, {}, 0.0f, 0.0f, now + 50);
    EXPECT_FALSE (about->isVisible());
    EXPECT_EQ (editor->getCurrentDialog(), about) << "hidden, not gone";
}

TEST_F (WindowedSideMenu, EntriesNeedingTheEditorOrTheWindowDoNothingWithoutThem)
{
    // No standalone window here: "Audio Setting" leaves the menu as it was.
    editor->openDialog ([this]
    {
        auto menu = std::make_unique<DRListSideView> (&processor, juce::Image(), 0, 0, 0, 0, false, juce::Colour(), juce::URL());
        menu->addEntries (true);
        return menu;
    }());
    auto* menu = dynamic_cast<DRListSideView*> (editor->getCurrentDialog());
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
