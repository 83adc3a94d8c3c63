// The side menu's audio settings in the application object, on a JACK dummy server with
// four ports each way: the dialog works on the holder's device manager within the
// processor's channel limits, "Ok" only hides it, and the shell's shutdown and the
// window's reset with the dialog open leave nothing behind that refers to the device.

#include "shell/MainContentComponent.h"
#include "tests/shell/support/InProcessShell.h"
#include "tests/shell/support/MessageLoop.h"
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

class SideMenuAudioSettings : public InProcessShell
{
protected:
    void SetUp() override
    {
        InProcessShell::SetUp();
        jack = std::make_unique<JackServer> (256, 48000, 4);
        ASSERT_TRUE (jack->isRunning()) << jack->getLog();

        app = std::make_unique<ObservedApp>();
        app->getSettings().setValue ("audioSetup", "<DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"system\""
                                                   " audioInputDeviceName=\"system\"/>");
        app->initialise ({});
        ASSERT_NE (device(), nullptr);
        ASSERT_EQ (device()->getTypeName(), "JACK");
    }

    void TearDown() override
    {
        if (app != nullptr)
            app->shutdown();

        app = nullptr;
        jack = nullptr;
    }

    KA::StandalonePluginHolder& holder() const { return *app->getMainWindow()->getPluginHolder(); }
    juce::AudioIODevice* device() const { return holder().deviceManager.getCurrentAudioDevice(); }

    KA::PluginEditor& editor() const
    {
        return dynamic_cast<KA::PluginEditor&> (*app->getMainWindow()->getMainContent()->getEditor());
    }

    /** "?", then the menu's fourth row, as the user clicks them. */
    KA::SettingAudioDialog* openAudioSettings()
    {
        editor().getToolBar()->getButton ("?")->triggerClick();
        runFor (20);
        auto* menu = dynamic_cast<DRListSideView*> (editor().getCurrentDialog());

        if (menu == nullptr || menu->getNumRows() != 4 || ! clickRow (menu->getListBox(), 3))
            return nullptr;

        return dynamic_cast<KA::SettingAudioDialog*> (editor().getCurrentDialog());
    }

    std::unique_ptr<JackServer> jack;
    std::unique_ptr<ObservedApp> app;
};
} // namespace

TEST_F (SideMenuAudioSettings, WorksOnTheHoldersDeviceWithinOneToTwoChannelsAndOkOnlyHidesIt)
{
    auto* dialog = openAudioSettings();
    ASSERT_NE (dialog, nullptr);
    auto* selector = dialog->getDeviceSelector();
    EXPECT_EQ (&selector->deviceManager, &holder().deviceManager);
    EXPECT_EQ (dialog->getBounds(), editor().getLocalBounds());

    const auto w = editor().getWidth(), h = editor().getHeight();
    EXPECT_EQ (dialog->getFrame()->getView()->getBounds(),
               juce::Rectangle<int> (juce::roundToInt (0.05 * w), juce::roundToInt (0.05 * h),
                                     juce::roundToInt (0.9 * w), juce::roundToInt (0.9 * h)));

    // Ticking every one of the four ports, then unticking them all, as a user can.
    const std::pair<const char*, bool> lists[] = { { "Active input channels:", true }, { "Active output channels:", false } };

    for (const auto& [labelText, isInput] : lists)
    {
        SCOPED_TRACE (labelText);
        auto* list = channelList (*selector, labelText);
        ASSERT_NE (list, nullptr);
        ASSERT_EQ (list->getModel()->getNumRows(), 4);

        const auto ticked = [this, isInput = isInput]
        {
            const auto setup = holder().deviceManager.getAudioDeviceSetup();
            return isInput ? setup.inputChannels : setup.outputChannels;
        };
        const auto tickEvery = [&] (bool on)
        {
            for (int row = 0; row < 4; ++row)
                if (ticked()[row] != on)
                    list->getModel()->returnKeyPressed (row);

            return ticked().countNumberOfSetBits();
        };

        EXPECT_EQ (tickEvery (true), 2);
        EXPECT_EQ (tickEvery (false), 1);
    }

    const auto setupBefore = holder().deviceManager.getAudioDeviceSetup();
    auto* ok = dialog->getFrame()->getView()->getButton (0);
    ASSERT_EQ (ok->getButtonText(), "Ok");
    ok->triggerClick();
    runFor (20);

    EXPECT_FALSE (dialog->isVisible());
    EXPECT_EQ (editor().getCurrentDialog(), dialog);
    EXPECT_EQ (holder().deviceManager.getAudioDeviceSetup(), setupBefore);
    EXPECT_NE (device(), nullptr);
}

TEST_F (SideMenuAudioSettings, GoesBeforeTheDeviceAtShutdownAndAtTheWindowsReset)
{
    // Under the address sanitizer a dialog left listening to a deleted device manager ends the run.
    juce::Component::SafePointer<juce::Component> first (openAudioSettings());
    ASSERT_NE (first, nullptr);
    app->getMainWindow()->resetToDefaultState();
    EXPECT_EQ (first, nullptr) << "gone with the old editor";
    EXPECT_NE (device(), nullptr) << "the device stays open through the reset";

    auto* reopened = openAudioSettings();
    ASSERT_NE (reopened, nullptr);
    EXPECT_EQ (&reopened->getDeviceSelector()->deviceManager, &holder().deviceManager);

    app->shutdown();
    app = nullptr;
    runFor (20);
}
