#include "tests/ui/support/ListRows.h"
#include "tests/common/MessageLoop.h"
#include "ui/dialogs/DialogBoxes.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/ManageDialogComponent.h"
#include "ui/dialogs/MsgBoxComponent.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using KA::Test::runFor;
using KA::DialogComponent;

/** A component whose dialog slot hands the dialog its whole area, as every owner does. */
struct DialogOwner : public juce::Component, public KA::ManageDialogComponent
{
    explicit DialogOwner (juce::LookAndFeel* lf = nullptr) : KA::ManageDialogComponent (*this, lf) { setSize (800, 400); }
    void resized() override
    {
        ++resizedCalls;
        if (auto* d = getCurrentDialog())
            d->setBounds (getLocalBounds());
    }
    DialogComponent* dialog() const { return dynamic_cast<DialogComponent*> (getCurrentDialog()); }
    int resizedCalls = 0;
};

struct Tracked : public juce::Component
{
    explicit Tracked (bool& f) : deleted (f) {}
    ~Tracked() override { deleted = true; }
    bool& deleted;
};

struct Click { void* userData; void* content; int resultId; };

using KA::Test::click;

std::unique_ptr<DialogComponent> makeDialog (int numButtons, std::vector<Click>* clicks = nullptr,
                                             std::unique_ptr<juce::Component> content = {}, void* userData = nullptr)
{
    DialogComponent::ResultCallback callback;
    if (clicks != nullptr)
        callback = [clicks] (void* u, void* c, int id) { clicks->push_back ({ u, c, id }); };
    return std::make_unique<DialogComponent> (std::move (content), "one", "two", "three", numButtons, userData, std::move (callback));
}

/** Button texts from left to right with their result ids. */
std::vector<std::pair<juce::String, int>> buttonsLeftToRight (DialogComponent& dialog)
{
    auto* view = dialog.getView();
    view->setSize (600, 250);
    std::vector<juce::Button*> buttons;
    for (int i = 0; i < view->getNumButtons(); ++i)
        buttons.push_back (view->getButton (i));
    std::sort (buttons.begin(), buttons.end(), [] (auto* a, auto* b) { return a->getX() < b->getX(); });
    std::vector<std::pair<juce::String, int>> row;
    for (auto* b : buttons)
        row.emplace_back (b->getButtonText(), b->getCommandID());
    return row;
}

TEST (DialogLayout, PanelIsCentredAtTheAspectAndHoldsContentAboveARowOfButtons)
{
    auto dialog = makeDialog (3, nullptr, std::make_unique<juce::Component>());
    auto* view = dialog->getView();
    const struct { int w, h; juce::Rectangle<int> panel; } cases[] = {
        { 1200, 400, { 300, 75, 600, 250 } }, { 600, 800, { 30, 288, 540, 225 } }, { 320, 100, { 64, 10, 192, 80 } },
        { 0, 0, {} }, { 0, 500, { 0, 250, 0, 0 } }, { 500, 0, { 250, 0, 0, 0 } },
    };
    for (auto& c : cases)
    {
        dialog->setSize (c.w, c.h);
        EXPECT_EQ (view->getBounds(), c.panel) << c.w << " x " << c.h;
    }

    for (auto [w, h] : { std::pair { 600, 250 }, { 240, 100 } })
    {
        view->setSize (w, h);
        const auto content = view->getContent()->getBounds();
        EXPECT_GT (content.getWidth(), w * 9 / 10);
        for (int i = 0; i < view->getNumButtons(); ++i)
        {
            const auto b = view->getButton (i)->getBounds();
            EXPECT_TRUE (view->getLocalBounds().contains (b) && ! b.intersects (content) && ! b.isEmpty()) << i;
            if (i > 0)
            {
                EXPECT_EQ (b.getRight(), view->getButton (i - 1)->getX()) << i;
            }
        }
        EXPECT_EQ (w - view->getButton (0)->getRight(), content.getX());
    }
    view->setSize (0, 0);
    EXPECT_TRUE (view->getContent()->getBounds().isEmpty());
}

TEST (DialogButtons, OrderIdsAndClicksThatHideAndReport)
{
    using Row = std::vector<std::pair<juce::String, int>>;
    EXPECT_EQ (buttonsLeftToRight (*makeDialog (1)), (Row { { "one", 0 } }));
    EXPECT_EQ (buttonsLeftToRight (*makeDialog (2)), (Row { { "one", 1 }, { "two", 0 } }));
    EXPECT_EQ (buttonsLeftToRight (*makeDialog (3)), (Row { { "two", 2 }, { "one", 1 }, { "three", 0 } }));
    for (int count : { 0, 4, -1 })
        EXPECT_TRUE (buttonsLeftToRight (*makeDialog (count)).empty()) << count;

    DialogOwner owner;
    std::vector<Click> clicks;
    int userValue = 7;
    auto content = std::make_unique<juce::Label>();
    auto* contentAddress = content.get();
    owner.openDialog (makeDialog (3, &clicks, std::move (content), &userValue));
    auto* dialog = owner.dialog();
    for (int i = 0; i < 3; ++i)
    {
        dialog->setVisible (true);
        click (*dialog->getView()->getButton (i));
        EXPECT_FALSE (dialog->isVisible());
        ASSERT_EQ (clicks.size(), (size_t) i + 1);
        EXPECT_EQ (clicks[(size_t) i].resultId, i);
        EXPECT_TRUE (clicks[(size_t) i].userData == &userValue && clicks[(size_t) i].content == contentAddress);
    }
    // Closing only hides: the dialog and its content stay in the slot.
    EXPECT_EQ (owner.getCurrentDialog(), dialog);
    EXPECT_EQ (dialog->getContent(), contentAddress);
}

TEST (DialogSlot, OpeningShowsOnTopWithTheLookAndFeelAndLaysOutTheOwner)
{
    juce::LookAndFeel_V4 lf;
    lf.setColour (juce::ResizableWindow::backgroundColourId, juce::Colour (0xc8204060));
    DialogOwner owner (&lf);
    juce::Component sibling;
    owner.addAndMakeVisible (sibling);
    const auto before = owner.resizedCalls;

    owner.openDialog (makeDialog (1));
    auto* dialog = owner.dialog();
    EXPECT_EQ (owner.resizedCalls, before + 1);
    EXPECT_EQ (owner.getChildComponent (owner.getNumChildComponents() - 1), dialog);
    EXPECT_TRUE (dialog->isVisible());
    EXPECT_EQ (dialog->getBounds(), owner.getLocalBounds());
    EXPECT_EQ (&dialog->getLookAndFeel(), &lf);
    // Backdrop: the background colour at 70 % of its alpha; panel: the colour itself, white frame.
    EXPECT_EQ (dialog->findColour (juce::Label::backgroundColourId), juce::Colour (0x8c204060));
    EXPECT_EQ (dialog->getView()->findColour (juce::Label::backgroundColourId), juce::Colour (0xc8204060));
    EXPECT_EQ (dialog->getView()->findColour (juce::Label::outlineColourId), juce::Colour (0xffffffff));
}

TEST (DialogSlot, ReplacingOrOpeningNothingDeletesThePreviousAtOnceWithoutItsCallback)
{
    for (bool replace : { true, false })
    {
        DialogOwner owner;
        std::vector<Click> firstClicks;
        bool contentDeleted = false;
        owner.openDialog (makeDialog (2, &firstClicks, std::make_unique<Tracked> (contentDeleted)));
        juce::Component::SafePointer<juce::Component> first (owner.getCurrentDialog());
        const auto before = owner.resizedCalls;

        owner.openDialog (replace ? makeDialog (1) : nullptr);
        EXPECT_TRUE (first == nullptr && contentDeleted && firstClicks.empty());
        EXPECT_EQ (owner.getNumChildComponents(), replace ? 1 : 0);
        EXPECT_EQ (owner.getCurrentDialog() == nullptr, ! replace);
        EXPECT_EQ (owner.resizedCalls, before + 1);
    }

    // The owner going away deletes the dialog after clearing its look-and-feel.
    bool contentDeleted = false;
    {
        auto lf = std::make_unique<juce::LookAndFeel_V4>();
        DialogOwner owner (lf.get());
        owner.openDialog (makeDialog (1, nullptr, std::make_unique<Tracked> (contentDeleted)));
    }
    EXPECT_TRUE (contentDeleted);
}

TEST (DialogSlot, ReplacingFromInsideTheCallbackKeepsTheCallerAliveUntilItReturns)
{
    DialogOwner owner;
    bool firstContentDeleted = false, contentAliveDuringCallback = false;
    owner.openDialog (std::make_unique<DialogComponent> (std::make_unique<Tracked> (firstContentDeleted), "Yes", "No", "", 2, nullptr,
                                                         [&] (void*, void* content, int)
                                                         {
                                                             KA::showMessageBox (owner, "second", nullptr);
                                                             contentAliveDuringCallback = ! firstContentDeleted && content != nullptr;
                                                         }));
    juce::Component::SafePointer<juce::Component> first (owner.getCurrentDialog());
    click (*owner.dialog()->getView()->getButton (1));

    EXPECT_TRUE (contentAliveDuringCallback);
    EXPECT_TRUE (firstContentDeleted && first == nullptr);
    ASSERT_NE (owner.dialog(), nullptr);
    EXPECT_EQ (static_cast<KA::MsgBoxComponent*> (owner.dialog()->getContent())->getMessage(), "second");
    EXPECT_EQ (owner.getNumChildComponents(), 1);
}

/** An overlay of another kind, like the list views: its button's handler opens
    the next overlay on the same slot and then goes on using itself. */
struct ButtonOverlay : public juce::Component, public juce::Button::Listener
{
    struct Report { bool deleted = false, aliveAfterOpening = false; int handled = 0; };

    ButtonOverlay (KA::ManageDialogComponent& m, Report& r) : manager (m), report (r)
    {
        addAndMakeVisible (button);
        button.addListener (this);
    }
    ~ButtonOverlay() override { report.deleted = true; }
    void buttonClicked (juce::Button*) override
    {
        manager.openDialog (makeDialog (1));
        report.aliveAfterOpening = ! report.deleted && button.getButtonText() == "open" && ! isVisible() && getParentComponent() == nullptr;
        ++report.handled;
    }
    KA::ManageDialogComponent& manager;
    Report& report;
    juce::TextButton button { "open" };
};

TEST (DialogSlot, AnyOverlayReplacedFromItsOwnHandlerLivesUntilTheHandlerReturns)
{
    // Through the message loop, and with the owner gone before the loop comes round.
    for (bool ownerGoesFirst : { false, true })
    {
        ButtonOverlay::Report report;
        {
            DialogOwner owner;
            auto overlay = std::make_unique<ButtonOverlay> (owner, report);
            auto* raw = overlay.get();
            owner.openDialog (std::move (overlay));
            if (ownerGoesFirst)
                raw->buttonClicked (&raw->button);
            else
                click (raw->button);
            EXPECT_EQ (report.deleted, ! ownerGoesFirst);
            EXPECT_NE (owner.dialog(), nullptr);
            EXPECT_EQ (owner.getNumChildComponents(), 1);
        }
        EXPECT_TRUE (report.deleted && report.handled == 1 && report.aliveAfterOpening) << ownerGoesFirst;
        runFor (20);
    }
}

// Question boxes are met through the file chooser's and the toolbar's questions.
TEST (MessageBoxes, MessageBoxHasTheRedSignAndOneOkButton)
{
    DialogOwner owner;
    KA::showMessageBox (owner, "Cannot save the preset.", nullptr);
    auto* box = dynamic_cast<KA::MsgBoxComponent*> (owner.dialog()->getContent());
    EXPECT_EQ (box->getMessage(), "Cannot save the preset.");
    EXPECT_EQ (box->getIconType(), 2);
    EXPECT_EQ (buttonsLeftToRight (*owner.dialog()), (std::vector<std::pair<juce::String, int>> { { "Ok", 0 } }));
}

TEST (MessageBoxes, MessageIsCutAt2048CharactersAndIconsDrawnForTypesOneToThree)
{
    for (juce::juce_wchar first : { (juce::juce_wchar) 'a', (juce::juce_wchar) 0x20ac })
    {
        juce::String text;
        for (int i = 0; i < 3000; ++i)
            text << juce::String::charToString (first + (juce::juce_wchar) (i % 3));
        KA::MsgBoxComponent box (text, 2);
        EXPECT_EQ (box.getMessage(), text.substring (0, 2048)); // characters, not bytes
    }

    for (int type = 0; type <= 4; ++type)
    {
        KA::MsgBoxComponent box ("message", type);
        box.setColour (juce::Label::backgroundColourId, juce::Colours::black);
        box.setSize (500, 200);
        const auto image = box.createComponentSnapshot ({ 0, 0, 100, 100 }, false);
        int coloured = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                coloured += image.getPixelAt (x, y).getRed() > 100 ? 1 : 0;
        EXPECT_EQ (coloured > 200, type >= 1 && type <= 3) << type;
    }
}
} // namespace
