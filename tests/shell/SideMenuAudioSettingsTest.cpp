// The side menu's audio settings in the application object on a JACK dummy server with four
// ports each way: the holder's device manager within the processor's channel limits, "Ok"
// only hiding, and the window's reset and the shell's shutdown with the dialog open.

#include "shell/MainContentComponent.h"
#include "tests/shell/support/InProcessShell.h"
#include "tests/common/MessageLoop.h"
#include "tests/ui/support/ListRows.h"
#include "ui/editor/PluginEditor.h"
#include "ui/sidemenu/ListSideView.h"
#include "ui/sidemenu/SettingAudioDialog.h"

using namespace KA::Test;

namespace
{
/** The channel list that JUCE's selector labels with this text. */
juce::ListBox* channelList (juce::Component& selector, const juce::String& labelText)
{
    for (auto* child : selector.getChildren())
    {
        if (auto* label = dynamic_cast<juce::Label*> (child); label != nullptr && label->getText() == labelText)
            return dynamic_cast<juce::ListBox*> (label->getAttachedComponent());
        if (auto* found = channelList (*child, labelText))
            return found;
    }
    return nullptr;
}
using SideMenuAudioSettings = InProcessShell;
} // namespace

TEST_F (SideMenuAudioSettings, WorkOnTheHoldersDeviceWithinItsLimitsAndGoBeforeIt)
{
    JackServer jack (256, 48000, 4);
    ASSERT_TRUE (jack.isRunning()) << jack.getLog();
    auto app = std::make_unique<ObservedApp>();
    const juce::ScopeGuard shutDown { [&] { if (app != nullptr) app->shutdown(); } };
    app->getSettings().setValue ("audioSetup", "<DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"system\" audioInputDeviceName=\"system\"/>");
    app->initialise ({});
    auto& manager = app->getMainWindow()->getPluginHolder()->deviceManager;
    ASSERT_NE (manager.getCurrentAudioDevice(), nullptr);
    ASSERT_EQ (manager.getCurrentAudioDevice()->getTypeName(), "JACK");

    const auto editor = [&]() -> KA::PluginEditor& { return dynamic_cast<KA::PluginEditor&> (*app->getMainWindow()->getMainContent()->getEditor()); };
    const auto openAudioSettings = [&]() -> KA::SettingAudioDialog* // "?", then the menu's fourth row
    {
        editor().getToolBar()->getButton ("?")->triggerClick();
        runFor (20);
        auto* menu = dynamic_cast<DRListSideView*> (editor().getCurrentDialog());
        if (menu == nullptr || menu->getNumRows() != 4 || ! clickRow (menu->getListBox(), 3))
            return nullptr;
        return dynamic_cast<KA::SettingAudioDialog*> (editor().getCurrentDialog());
    };

    juce::Component::SafePointer<KA::SettingAudioDialog> dialog (openAudioSettings());
    ASSERT_NE (dialog, nullptr);
    EXPECT_EQ (&dialog->getDeviceSelector()->deviceManager, &manager);
    EXPECT_EQ (dialog->getBounds(), editor().getLocalBounds());
    const auto w = editor().getWidth(), h = editor().getHeight();
    EXPECT_EQ (dialog->getFrame()->getView()->getBounds(),
               juce::Rectangle<int> (juce::roundToInt (0.05 * w), juce::roundToInt (0.05 * h), juce::roundToInt (0.9 * w), juce::roundToInt (0.9 * h)));

    // Ticking every one of the four ports, then unticking them all, as a user can: 1 to 2 stay.
    for (const auto isInput : { true, false })
    {
        auto* list = channelList (*dialog->getDeviceSelector(), isInput ? "Active input channels:" : "Active output channels:");
        ASSERT_NE (list, nullptr);
        ASSERT_EQ (list->getModel()->getNumRows(), 4);
        const auto ticked = [&] { const auto s = manager.getAudioDeviceSetup(); return isInput ? s.inputChannels : s.outputChannels; };

        for (const auto& [on, left] : { std::pair (true, 2), std::pair (false, 1) })
        {
            for (int row = 0; row < 4; ++row)
                if (ticked()[row] != on)
                    list->getModel()->returnKeyPressed (row);
            EXPECT_EQ (ticked().countNumberOfSetBits(), left) << isInput << on;
        }
    }

    const auto setupBefore = manager.getAudioDeviceSetup();
    auto* ok = dialog->getFrame()->getView()->getButton (0);
    ASSERT_EQ (ok->getButtonText(), "Ok");
    ok->triggerClick();
    runFor (20);
    EXPECT_FALSE (dialog->isVisible());
    EXPECT_EQ (editor().getCurrentDialog(), dialog.getComponent());
    EXPECT_EQ (manager.getAudioDeviceSetup(), setupBefore);

    // Under the address sanitizer a dialog left listening to a deleted device manager ends the run.
    app->getMainWindow()->resetToDefaultState();
    EXPECT_EQ (dialog, nullptr) << "gone with the old editor";
    EXPECT_NE (manager.getCurrentAudioDevice(), nullptr) << "the device stays open through the reset";
    auto* reopened = openAudioSettings();
    ASSERT_NE (reopened, nullptr);
    EXPECT_EQ (&reopened->getDeviceSelector()->deviceManager, &app->getMainWindow()->getPluginHolder()->deviceManager);
    app->shutdown();
    app = nullptr;
    runFor (20);
}
