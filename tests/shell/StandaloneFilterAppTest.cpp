#include "tests/shell/support/InProcessShell.h"
#include "tests/common/MessageLoop.h"

using namespace KA::Test;

namespace
{
constexpr const char* settingsDialogTitle = "Audio/MIDI Settings";

int numModal() { return juce::ModalComponentManager::getInstance()->getNumModalComponents(); }

class ApplicationObject : public InProcessShell
{
protected:
    void TearDown() override
    {
        if (app != nullptr)
            app->shutdown();
        app = nullptr;
        runFor (20);
    }

    void startApp()
    {
        app = std::make_unique<ObservedApp>();
        app->initialise ({});
        ASSERT_NE (app->getMainWindow(), nullptr);
    }

    KA::StandalonePluginHolder& holder() { return *app->getMainWindow()->getPluginHolder(); }

    std::unique_ptr<ObservedApp> app;
};
} // namespace

TEST_F (ApplicationObject, QuitRequestDismissesTheOpenDialogSavesAndQuitsOnTheRetry)
{
    startApp();
    holder().showAudioSettingsDialog();
    ASSERT_EQ (numModal(), 1);

    app->systemRequestedQuit();
    EXPECT_EQ (numModal(), 0);
    EXPECT_EQ (app->numQuits, 0);
    ASSERT_TRUE (runUntil ([this] { return app->numQuits > 0; }, 5000));
    EXPECT_EQ (app->savedAtRequest, juce::Array<bool> ({ true, true }));
    EXPECT_EQ (countDesktopWindowsNamed (settingsDialogTitle), 0) << "the dismissed dialog deletes itself";

    runFor (250);
    EXPECT_EQ (app->numQuits, 1) << "nothing more pending";
    EXPECT_EQ (app->numRequests, 2);
}

TEST_F (ApplicationObject, ModalComponentThatStaysDelaysTheQuitOneRetryAtATimeSavingEachTime)
{
    startApp();
    auto timesDismissed = std::make_shared<int> (0);   // callbacks may run after the component is gone
    juce::Component modal;
    modal.setSize (100, 100);
    modal.addToDesktop (0);
    const auto enter = [&] { modal.enterModalState (false, juce::ModalCallbackFunction::create ([timesDismissed] (int) { ++*timesDismissed; })); };
    enter();

    // Modal again at the next two requests, as a dialog that will not close yet.
    int refusals = 2;
    app->beforeEachRequest = [&] { if (! modal.isCurrentlyModal (false) && refusals-- > 0) enter(); };
    app->systemRequestedQuit();
    ASSERT_TRUE (runUntil ([this] { return app->numQuits > 0; }, 5000));

    EXPECT_EQ (app->numQuits, 1);
    EXPECT_EQ (app->savedAtRequest, juce::Array<bool> ({ true, true, true, true }));
    EXPECT_TRUE (runUntil ([&] { return *timesDismissed == 3; }, 3000)) << *timesDismissed;
    app->beforeEachRequest = nullptr;
}

TEST_F (ApplicationObject, QuitWithoutAWindowSavesNothingAndShutdownLeavesNoKioskComponent)
{
    app = std::make_unique<ObservedApp>();
    app->systemRequestedQuit();
    EXPECT_EQ (app->numQuits, 1);
    EXPECT_EQ (app->savedAtRequest, juce::Array<bool> ({ false })) << "no window, nothing to save";

    startApp();
    EXPECT_EQ (juce::Desktop::getInstance().getKioskModeComponent(), app->getMainWindow());
    app->shutdown();
    EXPECT_EQ (app->getMainWindow(), nullptr);
    EXPECT_EQ (juce::Desktop::getInstance().getKioskModeComponent(), nullptr);
    // Changing the mode afterwards must not reach back into the deleted window.
    juce::Component other;
    other.setSize (50, 50);
    other.addToDesktop (0);
    juce::Desktop::getInstance().setKioskModeComponent (&other, false);
    juce::Desktop::getInstance().setKioskModeComponent (nullptr, false);
    app = nullptr;
}

TEST_F (ApplicationObject, SettingsDialogClosedByTheUserOrStillOpenAtShutdownIsDeletedOnce)
{
    for (bool closedByTheUser : { true, false })
    {
        startApp();
        holder().showAudioSettingsDialog();
        holder().showAudioSettingsDialog();   // replaces the first rather than stacking another
        runFor (20);
        ASSERT_EQ (countDesktopWindowsNamed (settingsDialogTitle), 1);

        if (closedByTheUser)
        {
            juce::ModalComponentManager::getInstance()->getModalComponent (0)->exitModalState (0);
            ASSERT_TRUE (runUntil ([] { return countDesktopWindowsNamed (settingsDialogTitle) == 0; }, 3000));
        }

        // Still open: it goes before the device manager, and nothing about it dangles.
        app->shutdown();
        EXPECT_EQ (countDesktopWindowsNamed (settingsDialogTitle), 0);
        runFor (50);
        EXPECT_EQ (numModal(), 0);
        app = nullptr;
    }
}
