// The bar in the product's editor base, without a window: layout, icons, the
// compare pair, undo and redo, power, and the messages it shows.

#include "tests/ui/presets/PresetTestSupport.h"
#include "tests/ui/support/ListRows.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/FileChooserComponent.h"
#include "ui/dialogs/MsgBoxComponent.h"
#include "ui/presets/ListPresetsView.h"
#include "ui/presets/ToolBarIcons.h"

#include <gtest/gtest.h>

namespace
{
using namespace KA::Test;

struct Bar : public ::testing::Test
{
    Bar()
    {
        PresetFolders::write (dirs.user.getChildFile ("b.xml"), 2.0f);
        PresetFolders::write (dirs.user.getChildFile ("c.xml"), 3.0f);
        editor = std::make_unique<BarEditor> (processor, dirs.folders());
    }

    juce::Button& button (const char* name)
    {
        auto* b = editor->bar().getButton (name);
        EXPECT_NE (b, nullptr) << name;
        return *b;
    }

    juce::String label() { return editor->bar().getPresetLabel().getText(); }

    PresetFolders dirs;
    RedeVaPlugin processor;
    std::unique_ptr<BarEditor> editor;
};

TEST_F (Bar, LaysOutTheWorkedExampleAndTheHalfHeightBar)
{
    // x positions and widths at 690 x 44; buttons and label 35 high at y 4.
    struct Place { const char* name; int x, width; };
    const Place places[] = { { "?", 10, 44 }, { "-", 53, 44 }, { "+", 96, 44 }, { "<", 139, 44 }, { ">", 182, 44 },
                             { "A", 225, 44 }, { "=>", 268, 44 }, { "B", 311, 44 }, { "Save", 478, 50 },
                             { "Save As", 527, 50 }, { "Delete", 576, 50 } };

    ASSERT_EQ (editor->bar().getBounds(), juce::Rectangle<int> (0, 0, 690, 44));

    for (const auto& p : places)
        EXPECT_EQ (button (p.name).getBounds(), juce::Rectangle<int> (p.x, 4, p.width, 35)) << p.name;

    EXPECT_EQ (editor->bar().getPresetLabel().getBounds(), juce::Rectangle<int> (354, 4, 125, 35));
    EXPECT_EQ (button ("Power").getBounds(), juce::Rectangle<int> (636, 0, 44, 44));

    // Below 616 wide the bar is 22 high: buttons and label 18 high at y 2.
    editor->setSize (615, 284);
    EXPECT_EQ (editor->bar().getHeight(), 22);
    EXPECT_EQ (button ("+").getBounds(), juce::Rectangle<int> (10 + 2 * 21, 2, 22, 18));
    EXPECT_EQ (editor->bar().getPresetLabel().getBounds(), juce::Rectangle<int> (178, 2, 248, 18));
    EXPECT_EQ (button ("Power").getBounds(), juce::Rectangle<int> (615 - 22 - 10, 0, 22, 22));
}

TEST_F (Bar, EveryButtonHasAnIconThatParses)
{
    ASSERT_EQ (KA::ToolBarIcons::buttonNames().size(), 12);

    for (const auto& name : KA::ToolBarIcons::buttonNames())
    {
        EXPECT_FALSE (KA::ToolBarIcons::forButton (name).getBounds().isEmpty()) << name;
        EXPECT_NE (editor->bar().getButton (name), nullptr) << name;
    }
}

TEST_F (Bar, CompareSwitchesSwapOncePerSwitchAndStoreFeedsTheOtherSlot)
{
    setValue (processor, "Level", 4.0f);

    click (button ("B"));
    EXPECT_EQ (editor->presetChanges, 1);
    EXPECT_EQ (label(), "> Default");
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 0.0f);

    click (button ("B"));
    EXPECT_EQ (editor->presetChanges, 1);

    click (button ("A"));
    EXPECT_EQ (editor->presetChanges, 2);
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 4.0f);

    // "=>" then a switch brings back what was stored, not what the other slot held.
    setValue (processor, "Level", -3.0f);
    click (button ("=>"));
    setValue (processor, "Level", 6.0f);
    click (button ("B"));
    EXPECT_EQ (editor->presetChanges, 3);
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), -3.0f);
}

TEST_F (Bar, UndoAndRedoAFaderGesture)
{
    click (button ("<")); // an empty history does nothing
    click (button (">"));

    auto* level = processor.parameters.getParameter ("Level");
    processor.undoManager.beginNewTransaction();
    level->beginChangeGesture();
    setValue (processor, "Level", 5.0f);
    level->endChangeGesture();
    processor.copyFlushedState(); // the value reaches the tree, where the undo manager sees it

    click (button ("<"));
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 0.0f);
    click (button (">"));
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 5.0f);
}

TEST_F (Bar, PowerFollowsTheParameterWithinOneTickWithoutSendingAChange)
{
    struct Counter : juce::AudioProcessorParameter::Listener
    {
        void parameterValueChanged (int, float) override { ++changes; }
        void parameterGestureChanged (int, bool) override {}
        int changes = 0;
    } counter;

    auto* power = processor.parameters.getParameter ("power");
    auto& powerButton = button ("Power");
    juce::MessageManager::getInstance()->runDispatchLoopUntil (150);
    EXPECT_TRUE (powerButton.getToggleState());

    power->setValueNotifyingHost (0.0f);
    power->addListener (&counter);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (150);
    EXPECT_FALSE (powerButton.getToggleState());
    EXPECT_EQ (counter.changes, 0);

    click (powerButton);
    EXPECT_EQ (power->getValue(), 1.0f);
    EXPECT_EQ (counter.changes, 1);
    power->removeListener (&counter);
}

TEST_F (Bar, NextAndPreviousLoadKeepingTheEditorSize)
{
    click (button ("+"));
    EXPECT_EQ (label(), "> Slap Bass");
    click (button ("-"));
    click (button ("-"));
    EXPECT_EQ (label(), "> c");
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 3.0f);
    EXPECT_EQ ((int) processor.parameters.state["lastUIWidth"], 690);
}

TEST_F (Bar, PresetListOpensAtTheCurrentFolderAndLoadsTheChosenLeaf)
{
    PresetFolders::write (dirs.user.getChildFile ("Live/x.xml"), 7.0f);
    editor->bar().openPresetList(); // rebuilt on opening: the new file is there
    auto* list = dynamic_cast<KA::ListPresetsView*> (editor->getCurrentDialog());
    ASSERT_NE (list, nullptr);
    EXPECT_EQ (list->getCurrentNode(), &list->getRoot());

    ASSERT_TRUE (clickRow (list->getListBox(), 2)); // Default, Factory Presets, Live, b, c
    EXPECT_EQ (list->getHeader().getPath(), "/Home/Live");
    ASSERT_TRUE (clickRow (list->getListBox(), 0));
    EXPECT_FALSE (list->isVisible());
    EXPECT_EQ (label(), "> x");
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 7.0f);

    editor->bar().openPresetList();
    list = dynamic_cast<KA::ListPresetsView*> (editor->getCurrentDialog());
    ASSERT_EQ (list->getCurrentNode()->caption, "Live");
    EXPECT_TRUE (list->getCurrentNode()->children[0]->hasOwnColour);
}

TEST_F (Bar, SaveAsAsksAboutTheFileItWillReallyWrite)
{
    click (button ("Save As"));
    auto* chooser = dynamic_cast<KA::FileChooserComponent*> (editor->getCurrentDialog());
    ASSERT_NE (chooser, nullptr);
    EXPECT_EQ (chooser->getRootFolder(), dirs.user);

    const auto before = dirs.user.getChildFile ("b.xml").loadFileAsString();
    chooser->getBrowser().setFileName ("b");
    click (chooser->getOkButton());
    auto* question = dynamic_cast<KA::DialogComponent*> (chooser->getCurrentDialog());
    ASSERT_NE (question, nullptr);
    EXPECT_TRUE (dynamic_cast<KA::MsgBoxComponent*> (question->getContent())->getMessage().startsWith ("There's already a file called: b.xml"));
    click (*question->getView()->getButton (0)); // "Cancel" ends the chooser
    EXPECT_EQ (dirs.user.getChildFile ("b.xml").loadFileAsString(), before);
    EXPECT_EQ (label(), "> Default");

    click (button ("Save As"));
    chooser = dynamic_cast<KA::FileChooserComponent*> (editor->getCurrentDialog());
    chooser->getBrowser().setFileName ("Funk.txt");
    click (chooser->getOkButton());
    EXPECT_TRUE (dirs.user.getChildFile ("Funk.xml").existsAsFile());
    EXPECT_FALSE (dirs.user.getChildFile ("Funk.txt").exists());
    EXPECT_EQ (label(), "> Funk");
}

TEST_F (Bar, DeleteAsksAboutTheShownPresetAndRefusesDefaultAndFactory)
{
    click (button ("Delete"));
    EXPECT_EQ (editor->openMessage(), "Is not possible delete the DEFAULT preset!");
    editor->answer ("Ok");

    click (button ("+"));
    click (button ("Delete"));
    EXPECT_EQ (editor->openMessage(), "Is not possible delete the FACTORY preset!");
    editor->answer ("Ok");

    click (button ("-"));
    click (button ("-"));
    click (button ("-"));
    EXPECT_EQ (label(), "> b");
    click (button ("Delete"));
    EXPECT_EQ (editor->openMessage(), "Delete preset b?");
    editor->answer ("Cancel");
    EXPECT_TRUE (dirs.user.getChildFile ("b.xml").existsAsFile());

    click (button ("Delete"));
    editor->answer ("Ok");
    EXPECT_FALSE (dirs.user.getChildFile ("b.xml").exists());
    EXPECT_TRUE (dirs.user.getChildFile ("c.xml").existsAsFile());
}

TEST_F (Bar, FailedSaveAndBadFileShowAMessageAndKeepTheLabel)
{
    click (button ("-"));
    ASSERT_EQ (label(), "> c");
    dirs.user.getChildFile ("c.xml").deleteFile();
    dirs.user.getChildFile ("c.xml/x").createDirectory();

    click (button ("Save"));
    EXPECT_EQ (editor->openMessage(), "Couldn't save the preset: c");
    editor->answer ("Ok");

    dirs.user.getChildFile ("b.xml").replaceWithText ("<DRRoreRurediriz><PARAM");
    click (button ("-"));
    EXPECT_EQ (editor->openMessage(), "Couldn't load the preset: b");
    EXPECT_EQ (label(), "> c");
    EXPECT_EQ (editor->bar().getLibrary().getActiveIndex(), 7);

    editor->bar().saveAsChosen (dirs.user.getChildFile ("Missing/Funk"));
    EXPECT_EQ (editor->openMessage(), "Couldn't save the preset: Funk");
    EXPECT_EQ (label(), "> c");
}
} // namespace
