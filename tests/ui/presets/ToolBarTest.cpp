// The bar in the editor base, without a window: layout, icons, the compare pair,
// undo and redo, power, the preset list, Save As and the messages it shows.

#include "tests/ui/presets/PresetTestSupport.h"
#include "tests/common/MessageLoop.h"
#include "tests/ui/support/ListRows.h"
#include "ui/dialogs/DialogComponent.h"
#include "ui/dialogs/FileChooserComponent.h"
#include "ui/dialogs/MsgBoxComponent.h"
#include "ui/presets/ListPresetsView.h"
#include "ui/presets/ToolBarIcons.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
using namespace KA::Test;

struct Bar : public ::testing::Test
{
    Bar()
    {
        for (auto [name, level] : { std::pair { "b.xml", 2.0f }, { "c.xml", 3.0f }, { "Live/x.xml", 7.0f } })
            PresetFolders::write (dirs.user.getChildFile (name), level);

        editor = std::make_unique<BarEditor> (processor, dirs.folders());
    }

    KA::ToolBar& bar() { return *editor->getToolBar(); }
    juce::Button& button (const char* name) { return *bar().getButton (name); }
    juce::String label() { return bar().getPresetLabel().getText(); }
    void clickAll (std::initializer_list<const char*> names) { for (auto* name : names) click (button (name)); }

    PresetFolders dirs;
    RedeVaPlugin processor;
    std::unique_ptr<BarEditor> editor;
};

TEST_F (Bar, LaysOutButtonsAndLabelAtFullAndHalfHeight)
{
    // At 690 x 44 the buttons and the label are 35 high at y 4.
    for (auto [name, x, width] : { std::tuple { "?", 10, 44 }, { "-", 53, 44 }, { "+", 96, 44 }, { "<", 139, 44 }, { ">", 182, 44 }, { "A", 225, 44 },
                                   { "=>", 268, 44 }, { "B", 311, 44 }, { "Save", 478, 50 }, { "Save As", 527, 50 }, { "Delete", 576, 50 } })
        EXPECT_EQ (button (name).getBounds(), juce::Rectangle<int> (x, 4, width, 35)) << name;

    EXPECT_EQ (bar().getPresetLabel().getBounds(), juce::Rectangle<int> (354, 4, 125, 35));
    EXPECT_EQ (button ("Power").getBounds(), juce::Rectangle<int> (636, 0, 44, 44));

    editor->setSize (615, 284); // below 616 wide the bar is 22 high: 18 high at y 2
    EXPECT_EQ (button ("+").getBounds(), juce::Rectangle<int> (52, 2, 22, 18));
    EXPECT_EQ (bar().getPresetLabel().getBounds(), juce::Rectangle<int> (178, 2, 248, 18));
    EXPECT_EQ (button ("Power").getBounds(), juce::Rectangle<int> (583, 0, 22, 22));
}

TEST_F (Bar, EveryButtonHasAnIconThatParses)
{
    ASSERT_EQ (KA::ToolBarIcons::buttonNames().size(), 12);

    for (const auto& name : KA::ToolBarIcons::buttonNames())
    {
        EXPECT_FALSE (KA::ToolBarIcons::forButton (name).getBounds().isEmpty()) << name;
        EXPECT_NE (bar().getButton (name), nullptr) << name;
    }

    // Shapes inside shapes are holes: the A's counter, the floppy disk's label.
    EXPECT_FALSE (KA::ToolBarIcons::forButton ("A").contains (12.0f, 11.0f));
    EXPECT_FALSE (KA::ToolBarIcons::forButton ("Save").contains (12.0f, 16.0f));
}

TEST_F (Bar, CompareSwapsOncePerSwitchAndAStoreFeedsTheNextSwitch)
{
    setValue (processor, "Level", 4.0f);
    click (button ("B"));
    EXPECT_EQ (label(), "> Default");
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 0.0f);
    click (button ("B"));
    click (button ("A"));
    EXPECT_EQ (editor->presetChanges, 2);
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 4.0f);

    setValue (processor, "Level", -3.0f);
    click (button ("=>"));
    setValue (processor, "Level", 6.0f);
    click (button ("B"));
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), -3.0f);
}

TEST_F (Bar, ASwitchTakesTheSlotsPresetFromTheStateItBringsBack)
{
    clickAll ({ "-", "-", "=>", "+" }); // b stored, then c in slot A
    click (button ("B"));
    EXPECT_EQ (label(), "> b");

    const auto c = dirs.user.getChildFile ("c.xml").loadFileAsString();
    setValue (processor, "Level", -4.0f);
    click (button ("Save"));
    EXPECT_TRUE (dirs.user.getChildFile ("b.xml").loadFileAsString().contains ("value=\"-4.0\""));
    EXPECT_EQ (dirs.user.getChildFile ("c.xml").loadFileAsString(), c);
    click (button ("Delete"));
    EXPECT_EQ (editor->openMessage(), "Delete preset b?");
}

TEST_F (Bar, UndoAndRedoTheLastFaderDragAlsoBeforeItsValueReachesTheTree)
{
    clickAll ({ "<", ">" }); // an empty history does nothing
    juce::Slider fader;
    juce::SliderParameterAttachment bound (*processor.parameters.getParameter ("Level"), fader, &processor.undoManager);
    for (auto value : { 5.0, 7.0 }) // 7 still waits for the parameter state's write into the tree when "<" comes
    {
        processor.flushParameterValues();
        juce::Slider::ScopedDragNotification drag (fader);
        fader.setValue (value, juce::sendNotificationSync);
    }

    bar().buttonClicked (&button ("<")); // with no message in between
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 5.0f);
    bar().buttonClicked (&button (">"));
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 7.0f);
}

TEST_F (Bar, PowerAndLabelFollowOutsideChangesWithinOneTickWithoutSendingAChange)
{
    struct Counter : juce::AudioProcessorParameter::Listener
    {
        void parameterValueChanged (int, float) override { ++changes; }
        void parameterGestureChanged (int, bool) override {}
        int changes = 0;
    } counter;

    // Changed outside the bar: the button and the label follow, and the bar sends nothing back.
    auto* power = processor.parameters.getParameter ("power");
    power->addListener (&counter);
    for (auto [value, preset] : { std::pair { 1.0f, "Slap Bass" }, { 0.0f, "Bass Warming" } })
    {
        power->setValueNotifyingHost (value);
        processor.parameters.state.setProperty ("CurrentPreset", preset, nullptr);
        const auto sent = counter.changes;
        runFor (150);
        EXPECT_EQ (button ("Power").getToggleState(), value > 0.5f);
        EXPECT_EQ (label(), juce::String ("> ") + preset);
        EXPECT_EQ (counter.changes, sent);
    }
    counter.changes = 0;

    click (button ("Power"));
    EXPECT_EQ (power->getValue(), 1.0f);
    EXPECT_EQ (counter.changes, 1);
    power->removeListener (&counter);
}

TEST_F (Bar, PresetListOpensAtTheCurrentFolderAndLoadsTheChosenLeafKeepingTheEditorSize)
{
    bar().openPresetList();
    auto* list = dynamic_cast<KA::ListPresetsView*> (editor->getCurrentDialog());
    ASSERT_NE (list, nullptr);
    ASSERT_TRUE (clickRow (list->getListBox(), 2)); // Default, Factory Presets, Live, b, c
    ASSERT_TRUE (clickRow (list->getListBox(), 0));
    EXPECT_EQ (label(), "> x");
    EXPECT_FLOAT_EQ (valueOf (processor, "Level"), 7.0f);
    EXPECT_EQ ((int) processor.parameters.state["lastUIWidth"], 690);

    bar().openPresetList();
    list = dynamic_cast<KA::ListPresetsView*> (editor->getCurrentDialog());
    EXPECT_EQ (list->getHeader().getPath(), "/Home/Live");
    EXPECT_TRUE (list->getCurrentNode()->children[0]->hasOwnColour);

    dirs.user.getChildFile ("Live/x.xml").replaceWithText ("<DRRoreRurediriz><PARAM");
    ASSERT_TRUE (clickRow (list->getListBox(), 0)); // the message replaces the list from inside its own click
    EXPECT_EQ (editor->openMessage(), "Couldn't load the preset: x\nThe file is damaged.");
}

TEST_F (Bar, SaveAsAsksAboutTheFileItWillReallyWrite)
{
    const auto before = dirs.user.getChildFile ("b.xml").loadFileAsString();
    click (button ("Save As"));
    auto* chooser = dynamic_cast<KA::FileChooserComponent*> (editor->getCurrentDialog());
    ASSERT_EQ (chooser->getRootFolder(), dirs.user);
    chooser->getBrowser().setFileName ("b");
    click (chooser->getOkButton());
    auto* question = dynamic_cast<KA::DialogComponent*> (chooser->getCurrentDialog());
    ASSERT_NE (question, nullptr);
    EXPECT_TRUE (dynamic_cast<KA::MsgBoxComponent*> (question->getContent())->getMessage().startsWith ("There's already a file called: b.xml"));
    click (*question->getView()->getButton (0)); // "Cancel"
    EXPECT_EQ (dirs.user.getChildFile ("b.xml").loadFileAsString(), before);

    click (button ("Save As"));
    chooser = dynamic_cast<KA::FileChooserComponent*> (editor->getCurrentDialog());
    chooser->getBrowser().setFileName ("Funk.txt");
    click (chooser->getOkButton());
    EXPECT_TRUE (dirs.user.getChildFile ("Funk.xml").existsAsFile());
    EXPECT_EQ (label(), "> Funk");
}

TEST_F (Bar, DeleteNamesTheShownPresetRefusesDefaultAndFactoryAndFailuresAreShown)
{
    for (auto [step, message] : { std::pair { "", "Is not possible delete the DEFAULT preset!" }, { "+", "Is not possible delete the FACTORY preset!" },
                                  { "-", "Is not possible delete the DEFAULT preset!" } })
    {
        if (*step != 0)
            click (button (step));

        click (button ("Delete"));
        EXPECT_EQ (editor->openMessage(), message);
        editor->answer ("Ok");
    }

    clickAll ({ "-", "-" }); // c, then b
    click (button ("Delete"));
    EXPECT_EQ (editor->openMessage(), "Delete preset b?");
    auto* question = dynamic_cast<KA::DialogComponent*> (editor->getCurrentDialog());
    EXPECT_EQ (dynamic_cast<KA::MsgBoxComponent*> (question->getContent())->getIconType(), 1) << "the question's stop hand";
    editor->answer ("Cancel");
    EXPECT_TRUE (dirs.user.getChildFile ("b.xml").existsAsFile());
    click (button ("Delete"));
    editor->answer ("Ok");
    EXPECT_FALSE (dirs.user.getChildFile ("b.xml").exists());
    EXPECT_TRUE (dirs.user.getChildFile ("c.xml").existsAsFile());

    // c's file turned into a folder: Save fails; Live/x damaged: loading it fails, label kept.
    clickAll ({ "-" });
    dirs.user.getChildFile ("c.xml").deleteFile();
    dirs.user.getChildFile ("c.xml/in").createDirectory();
    dirs.user.getChildFile ("Live/x.xml").replaceWithText ("<DRRoreRurediriz><PARAM");
    click (button ("Save"));
    EXPECT_EQ (editor->openMessage(), "Couldn't save the preset: c\nA folder has the preset's name.");
    editor->answer ("Ok");
    click (button ("-"));
    EXPECT_EQ (editor->openMessage(), "Couldn't load the preset: x\nThe file is damaged.");
    EXPECT_EQ (label(), "> c");
}

// The second line of a failed load says what is wrong with the file.
struct Spoilt { const char* name; const char* text; const char* why; };

class SpoiltPreset : public Bar, public ::testing::WithParamInterface<Spoilt> {};

TEST_P (SpoiltPreset, IsNamedWithTheReason)
{
    const auto file = dirs.user.getChildFile ("c.xml");
    const auto* text = GetParam().text;
    text != nullptr ? (void) file.replaceWithData (text, std::strlen (text)) : (void) file.deleteFile();
    click (button ("-")); // from Default to the last preset, c
    EXPECT_EQ (editor->openMessage(), "Couldn't load the preset: c\n" + juce::String (GetParam().why));
    EXPECT_EQ (label(), "> Default");
}

INSTANTIATE_TEST_SUITE_P (Files, SpoiltPreset, ::testing::Values (
    Spoilt { "Missing", nullptr, "The file is missing." },
    Spoilt { "Truncated", "<DRRoreRurediriz><PARAM id=\"Level\"", "The file is damaged." },
    Spoilt { "WithAComment", "<DRRoreRurediriz><!-- mine --><PARAM id=\"Level\" value=\"1\"/></DRRoreRurediriz>",
             "The file holds what presets never hold." },
    Spoilt { "InLatin1", "<DRRoreRurediriz name=\"caf\xe9\"><PARAM id=\"Level\" value=\"1\"/></DRRoreRurediriz>",
             "The file is in another encoding than UTF-8." },
    Spoilt { "OfAnotherProduct", "<Other><PARAM id=\"Level\" value=\"1\"/></Other>", "The file is not a preset of this product." }),
    [] (const auto& p) { return std::string (p.param.name); });

TEST_F (Bar, TheFirstSwitchToBNamesDefaultSoSaveCannotWriteTheDefaultsOverTheOldPreset)
{
    clickAll ({ "-", "-" }); // c, then b
    const auto bytes = dirs.user.getChildFile ("b.xml").loadFileAsString();
    click (button ("B"));
    EXPECT_EQ (currentPresetOf (processor), "Default");
    click (button ("Save"));
    EXPECT_EQ (dirs.user.getChildFile ("b.xml").loadFileAsString(), bytes);
}

TEST_F (Bar, AFactoryDocumentOfAnotherProductChangesNothing)
{
    processor.addFactoryPreset ("Odd", new juce::XmlElement ("Other"));
    bar().getLibrary().setPresetPath ({});
    clickAll ({ "+", "+" });
    const auto shown = label();
    const auto state = processor.copyFlushedState().createXml()->toString();
    const auto changes = editor->presetChanges;

    bar().presetChosen (bar().getLibrary().getNumFactoryEntries());
    EXPECT_EQ (label(), shown);
    EXPECT_EQ (processor.copyFlushedState().createXml()->toString(), state);
    EXPECT_EQ (editor->presetChanges, changes);
    EXPECT_EQ (bar().getLibrary().getActiveIndex(), 2);
}
} // namespace
