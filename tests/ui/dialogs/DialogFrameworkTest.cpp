#include "ui/dialogs/DialogBoxes.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/ManageDialogComponent.h"
#include "ui/dialogs/MsgBoxComponent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
using KA::DialogComponent;

/** A plain component with a dialog slot that hands the dialog its whole area,
    the way every owner of the editor does. */
struct DialogOwner : public juce::Component,
                     public KA::ManageDialogComponent
{
    explicit DialogOwner (juce::LookAndFeel* lf = nullptr) : KA::ManageDialogComponent (*this, lf)
    {
        setSize (800, 400);
    }

    void resized() override
    {
        ++resizedCalls;
        if (auto* d = getCurrentDialog())
            d->setBounds (getLocalBounds());
    }

    int resizedCalls = 0;
};

/** Records when it is deleted. */
struct Tracked : public juce::Component
{
    explicit Tracked (bool& deletedFlag) : deleted (deletedFlag) {}
    ~Tracked() override { deleted = true; }
    bool& deleted;
};

struct Click
{
    void* userData;
    void* content;
    int resultId;
};

/** Clicks a button the way JUCE delivers a click, through the message loop. */
void click (juce::Button& button)
{
    button.triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}

std::unique_ptr<DialogComponent> makeDialog (int numButtons, std::vector<Click>* clicks = nullptr,
                                             std::unique_ptr<juce::Component> content = {})
{
    DialogComponent::ResultCallback callback;
    if (clicks != nullptr)
        callback = [clicks] (void* u, void* c, int id) { clicks->push_back ({ u, c, id }); };

    return std::make_unique<DialogComponent> (std::move (content), "one", "two", "three", numButtons,
                                              nullptr, std::move (callback));
}

TEST (DialogLayout, PanelIsCentredAtTheAspectWithinTheLimitsAndHoldsContentAndButtons)
{
    auto dialog = makeDialog (3, nullptr, std::make_unique<juce::Component>());
    auto* view = dialog->getView();

    // Wide overlays are limited by height, tall ones by width; degenerate ones give an empty panel.
    const struct { int w, h; juce::Rectangle<int> panel; } cases[] = {
        { 1200, 400, { 300, 75, 600, 250 } }, { 600, 800, { 30, 288, 540, 225 } }, { 320, 100, { 64, 10, 192, 80 } },
        { 0, 0, {} }, { 0, 500, { 0, 250, 0, 0 } }, { 500, 0, { 250, 0, 0, 0 } },
    };
    for (auto& c : cases)
    {
        dialog->setSize (c.w, c.h);
        EXPECT_EQ (view->getBounds(), c.panel) << c.w << " x " << c.h;
    }

    // The content above a right-aligned row of buttons, all inside the panel and apart.
    for (auto [w, h] : { std::pair { 600, 250 }, { 240, 100 } })
    {
        view->setSize (w, h);
        const auto content = view->getContent()->getBounds();
        EXPECT_TRUE (view->getLocalBounds().contains (content));
        EXPECT_GT (content.getWidth(), w * 9 / 10);
        for (int i = 0; i < view->getNumButtons(); ++i)
        {
            const auto b = view->getButton (i)->getBounds();
            EXPECT_TRUE (view->getLocalBounds().contains (b)) << i;
            EXPECT_FALSE (b.intersects (content)) << i;
            EXPECT_GT (b.getWidth() * b.getHeight(), 0);
            if (i > 0)
                EXPECT_EQ (b.getRight(), view->getButton (i - 1)->getX()) << i;
        }
        EXPECT_EQ (w - view->getButton (0)->getRight(), content.getX());
    }
    view->setSize (0, 0);
    EXPECT_TRUE (view->getContent()->getBounds().isEmpty());
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

TEST (DialogButtons, OrderAndResultIdsPerButtonCount)
{
    using Row = std::vector<std::pair<juce::String, int>>;
    EXPECT_EQ (buttonsLeftToRight (*makeDialog (1)), (Row { { "one", 0 } }));
    EXPECT_EQ (buttonsLeftToRight (*makeDialog (2)), (Row { { "one", 1 }, { "two", 0 } }));
    EXPECT_EQ (buttonsLeftToRight (*makeDialog (3)), (Row { { "two", 2 }, { "one", 1 }, { "three", 0 } }));
    for (int count : { 0, 4, -1 })
        EXPECT_TRUE (buttonsLeftToRight (*makeDialog (count)).empty()) << count;
}

TEST (DialogButtons, ClickHidesAndReportsUserDataContentAndId)
{
    DialogOwner owner;
    std::vector<Click> clicks;
    int userValue = 7;
    auto content = std::make_unique<juce::Label>();
    auto* contentAddress = content.get();

    owner.openDialog (std::make_unique<DialogComponent> (std::move (content), "left", "middle", "right", 3, &userValue,
                                                         [&clicks] (void* u, void* c, int id) { clicks.push_back ({ u, c, id }); }));
    auto* dialog = dynamic_cast<DialogComponent*> (owner.getCurrentDialog());
    ASSERT_NE (dialog, nullptr);
    EXPECT_TRUE (dialog->isVisible());

    for (int i = 0; i < 3; ++i)
    {
        dialog->setVisible (true);
        click (*dialog->getView()->getButton (i));
        EXPECT_FALSE (dialog->isVisible());
    }

    ASSERT_EQ (clicks.size(), 3u);
    EXPECT_EQ (clicks[0].resultId, 0);
    EXPECT_EQ (clicks[1].resultId, 1);
    EXPECT_EQ (clicks[2].resultId, 2);
    for (auto& c : clicks)
    {
        EXPECT_EQ (c.userData, &userValue);
        EXPECT_EQ (c.content, contentAddress);
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
    auto* dialog = owner.getCurrentDialog();

    EXPECT_EQ (owner.resizedCalls, before + 1);
    EXPECT_EQ (dialog->getParentComponent(), &owner);
    EXPECT_EQ (owner.getChildComponent (owner.getNumChildComponents() - 1), dialog);
    EXPECT_TRUE (dialog->isVisible());
    EXPECT_EQ (dialog->getBounds(), owner.getLocalBounds());
    EXPECT_EQ (&dialog->getLookAndFeel(), &lf);

    // Backdrop: the background colour at 70 % of its alpha (200 -> 140); panel: the colour itself, white frame.
    EXPECT_EQ (dialog->findColour (juce::Label::backgroundColourId), juce::Colour (0x8c204060));
    auto* view = static_cast<DialogComponent*> (dialog)->getView();
    EXPECT_EQ (view->findColour (juce::Label::backgroundColourId), juce::Colour (0xc8204060));
    EXPECT_EQ (view->findColour (juce::Label::outlineColourId), juce::Colour (0xffffffff));
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

        EXPECT_EQ (first.getComponent(), nullptr);
        EXPECT_TRUE (contentDeleted);
        EXPECT_TRUE (firstClicks.empty());
        EXPECT_EQ (owner.getNumChildComponents(), replace ? 1 : 0);
        EXPECT_EQ (owner.getCurrentDialog() == nullptr, ! replace);
        EXPECT_EQ (owner.resizedCalls, before + 1);
    }
}

TEST (DialogSlot, ReplacingFromInsideTheCallbackKeepsTheCallerAliveUntilItReturns)
{
    DialogOwner owner;
    bool firstContentDeleted = false;
    bool contentAliveDuringCallback = false;
    bool callbackReturned = false;

    DialogComponent::ResultCallback opensAnother = [&] (void*, void* content, int)
    {
        KA::showMessageBox (owner, "second", nullptr);
        // The caller's content is still there after its replacement was opened.
        contentAliveDuringCallback = ! firstContentDeleted && content != nullptr;
        callbackReturned = true;
    };

    owner.openDialog (std::make_unique<DialogComponent> (std::make_unique<Tracked> (firstContentDeleted),
                                                         "Yes", "No", "", 2, nullptr, opensAnother));
    juce::Component::SafePointer<juce::Component> first (owner.getCurrentDialog());
    auto* firstButton = static_cast<DialogComponent*> (first.getComponent())->getView()->getButton (1);

    click (*firstButton);

    EXPECT_TRUE (callbackReturned);
    EXPECT_TRUE (contentAliveDuringCallback);
    EXPECT_TRUE (firstContentDeleted);
    EXPECT_EQ (first.getComponent(), nullptr);

    auto* second = dynamic_cast<DialogComponent*> (owner.getCurrentDialog());
    ASSERT_NE (second, nullptr);
    EXPECT_EQ (static_cast<KA::MsgBoxComponent*> (second->getContent())->getMessage(), "second");
    EXPECT_EQ (owner.getNumChildComponents(), 1);
}

/** What an overlay's handler found after it had opened its own replacement. */
struct HandlerReport
{
    bool returned = false;
    bool aliveAfterOpening = false;
    bool hiddenAndDetached = false;
};

/** An overlay of another kind than DialogComponent, like the list views the
    side menu and the preset list show: a backdrop with a button whose handler
    opens the next overlay on the same slot and then goes on using itself. */
struct ButtonOverlay : public juce::Component,
                       public juce::Button::Listener
{
    ButtonOverlay (KA::ManageDialogComponent& m, bool& deletedFlag, HandlerReport& r)
        : manager (m), deleted (deletedFlag), report (r)
    {
        addAndMakeVisible (button);
        button.addListener (this);
    }

    ~ButtonOverlay() override { deleted = true; }

    void buttonClicked (juce::Button*) override
    {
        manager.openDialog (makeDialog (1));

        // Everything below reads this overlay's own members after its replacement took the slot.
        report.aliveAfterOpening = ! deleted && button.getButtonText() == "open";
        report.hiddenAndDetached = ! isVisible() && getParentComponent() == nullptr;
        ++handled;
        report.returned = handled == 1;
    }

    KA::ManageDialogComponent& manager;
    bool& deleted;
    HandlerReport& report;
    juce::TextButton button { "open" };
    int handled = 0;
};

TEST (DialogSlot, AnyOverlayReplacedFromItsOwnHandlerLivesUntilTheHandlerReturns)
{
    DialogOwner owner;
    bool deleted = false;
    HandlerReport report;
    auto overlay = std::make_unique<ButtonOverlay> (owner, deleted, report);
    auto& button = overlay->button;
    juce::Component::SafePointer<juce::Component> first (overlay.get());
    owner.openDialog (std::move (overlay));

    click (button);

    EXPECT_TRUE (report.returned);
    EXPECT_TRUE (report.aliveAfterOpening);
    EXPECT_TRUE (report.hiddenAndDetached);

    // Gone once the message loop came round again.
    EXPECT_TRUE (deleted);
    EXPECT_EQ (first.getComponent(), nullptr);
    EXPECT_NE (dynamic_cast<DialogComponent*> (owner.getCurrentDialog()), nullptr);
    EXPECT_EQ (owner.getNumChildComponents(), 1);
}

TEST (DialogSlot, OverlayWaitingForDeletionGoesWithItsOwner)
{
    bool deleted = false;
    HandlerReport report;
    {
        DialogOwner owner;
        auto overlay = std::make_unique<ButtonOverlay> (owner, deleted, report);
        auto* first = overlay.get();
        owner.openDialog (std::move (overlay));

        // The handler run directly: the owner goes before the message loop comes round.
        first->buttonClicked (&first->button);
        EXPECT_TRUE (report.returned);
        EXPECT_FALSE (deleted);
        EXPECT_EQ (owner.getNumChildComponents(), 1);
    }
    EXPECT_TRUE (deleted);

    // The clean-up posted for the owner finds it gone and does nothing.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}

TEST (DialogSlot, OwnerGoingAwayDeletesTheDialogAfterClearingItsLookAndFeel)
{
    bool contentDeleted = false;
    {
        auto lf = std::make_unique<juce::LookAndFeel_V4>();
        DialogOwner owner (lf.get());
        owner.openDialog (makeDialog (1, nullptr, std::make_unique<Tracked> (contentDeleted)));
        EXPECT_EQ (&owner.getCurrentDialog()->getLookAndFeel(), lf.get());
    }
    EXPECT_TRUE (contentDeleted);
}

TEST (MessageBoxes, MessageBoxHasOneOkButtonAndQuestionBoxReportsOneForLeftAndZeroForRight)
{
    DialogOwner owner;
    KA::showMessageBox (owner, "Cannot save the preset.", nullptr);
    auto* dialog = dynamic_cast<DialogComponent*> (owner.getCurrentDialog());
    ASSERT_NE (dialog, nullptr);
    auto* box = dynamic_cast<KA::MsgBoxComponent*> (dialog->getContent());
    ASSERT_NE (box, nullptr);
    EXPECT_EQ (box->getMessage(), "Cannot save the preset.");
    EXPECT_EQ (box->getIconType(), 2);
    EXPECT_EQ (buttonsLeftToRight (*dialog), (std::vector<std::pair<juce::String, int>> { { "Ok", 0 } }));
    click (*dialog->getView()->getButton (0));
    EXPECT_FALSE (dialog->isVisible());
    EXPECT_EQ (owner.getCurrentDialog(), dialog);

    std::vector<Click> clicks;
    int data = 0;
    KA::askQuestionBox (owner, 1, "Delete the preset?", "Delete", "Cancel",
                        [&clicks] (void* u, void* c, int id) { clicks.push_back ({ u, c, id }); }, &data);
    dialog = dynamic_cast<DialogComponent*> (owner.getCurrentDialog());
    ASSERT_NE (dialog, nullptr);
    EXPECT_EQ (static_cast<KA::MsgBoxComponent*> (dialog->getContent())->getIconType(), 1);
    EXPECT_EQ (buttonsLeftToRight (*dialog), (std::vector<std::pair<juce::String, int>> { { "Delete", 1 }, { "Cancel", 0 } }));
    for (int i : { 1, 0 })
    {
        dialog->setVisible (true);
        click (*dialog->getView()->getButton (i));
    }
    ASSERT_EQ (clicks.size(), 2u);
    EXPECT_EQ (clicks[0].resultId, 1);
    EXPECT_EQ (clicks[1].resultId, 0);
    EXPECT_EQ (clicks[0].userData, &data);
}

TEST (MessageBoxes, MessageIsCutAt2048Characters)
{
    juce::String ascii;
    for (int i = 0; i < 3000; ++i)
        ascii << juce::String::charToString ((juce::juce_wchar) ('a' + i % 26));

    KA::MsgBoxComponent box (ascii, 2);
    ASSERT_EQ (box.getMessage().length(), 2048);
    EXPECT_TRUE (ascii.startsWith (box.getMessage()));

    // Three bytes per character in UTF-8: the cut counts characters, not bytes.
    juce::String wide;
    for (int i = 0; i < 3000; ++i)
        wide << juce::String::charToString ((juce::juce_wchar) (0x20ac + i % 3));
    box.setMessage (wide);
    EXPECT_EQ (box.getMessage().length(), 2048);
    EXPECT_EQ (box.getMessage().getNumBytesAsUTF8(), (size_t) 2048 * 3);
    EXPECT_EQ (box.getMessage().getLastCharacter(), (juce::juce_wchar) (0x20ac + 2047 % 3));

    box.setMessage ("short");
    EXPECT_EQ (box.getMessage(), "short");
    box.setMessage ({});
    EXPECT_TRUE (box.getMessage().isEmpty());
}

/** Draws the box into an image and tells whether anything but the backdrop
    appears in the icon's corner. */
bool drawsIcon (int iconType)
{
    KA::MsgBoxComponent box ("message", iconType);
    box.setColour (juce::Label::backgroundColourId, juce::Colours::black);
    box.setSize (500, 200);
    juce::Image image (juce::Image::ARGB, 500, 200, true);
    {
        juce::Graphics g (image);
        box.paintEntireComponent (g, true);
    }
    int coloured = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (image.getPixelAt (x, y).getRed() > 100)
                ++coloured;
    return coloured > 200;
}

TEST (MessageBoxes, IconDrawnOnlyForTypesOneToThree)
{
    EXPECT_TRUE (drawsIcon (1));
    EXPECT_TRUE (drawsIcon (2));
    EXPECT_TRUE (drawsIcon (3));
    EXPECT_FALSE (drawsIcon (0));
    EXPECT_FALSE (drawsIcon (4));

    KA::MsgBoxComponent box ("x", 2);
    box.setSize (0, 0);
    juce::Image image (juce::Image::ARGB, 1, 1, true);
    juce::Graphics g (image);
    box.paintEntireComponent (g, true);
}
} // namespace
