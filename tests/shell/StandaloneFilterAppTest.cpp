#include "shell/StandaloneFilterApp.h"
#include "tests/shell/support/InProcessShell.h"
#include "tests/shell/support/MessageLoop.h"

using namespace KA::Test;

namespace
{
constexpr const char* settingsDialogTitle = "Audio/MIDI Settings";

/** A plain modal component that counts how often it is dismissed. */
class CountedModal : public juce::Component
{
public:
    CountedModal()
    {
        setSize (100, 100);
        addToDesktop (0);
        enter();
    }

    void enter()
    {
        enterModalState (false, juce::ModalCallbackFunction::create ([count = timesDismissed] (int) { ++*count; }));
    }

    // Shared with the callbacks, which JUCE may run after this component is gone.
    std::shared_ptr<int> timesDismissed = std::make_shared<int> (0);
};

juce::RangedAudioParameter* findParameter (juce::AudioProcessor& processor, const juce::String& id)
{
    for (auto* p : processor.getParameters())
        if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p); ranged != nullptr && ranged->getParameterID() == id)
            return ranged;

    return nullptr;
}

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

//==============================================================================
TEST_F (ApplicationObject, QuitRequestWithAnOpenDialogDismissesItSavesAndQuitsOnTheRetry)
{
    startApp();
    holder().showAudioSettingsDialog();
    ASSERT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 1);
    ASSERT_EQ (countDesktopWindowsNamed (settingsDialogTitle), 1);

    app->systemRequestedQuit();

    // The dialog is told to go at once; the quit waits for the retry.
    EXPECT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
    EXPECT_EQ (app->numQuits, 0);
    ASSERT_EQ (app->savedAtRequest.size(), 1);
    EXPECT_TRUE (app->savedAtRequest[0]);

    ASSERT_TRUE (runUntil ([this] { return app->numQuits > 0; }, 5000));
    EXPECT_EQ (app->numQuits, 1);
    EXPECT_EQ (app->numRequests, 2);
    EXPECT_EQ (app->savedAtRequest, juce::Array<bool> ({ true, true }));
    EXPECT_EQ (countDesktopWindowsNamed (settingsDialogTitle), 0) << "the dismissed dialog deletes itself";

    // Nothing more is pending.
    runFor (250);
    EXPECT_EQ (app->numQuits, 1);
    EXPECT_EQ (app->numRequests, 2);
}

TEST_F (ApplicationObject, ModalComponentThatStaysDelaysTheQuitOneRetryAtATimeSavingEachTime)
{
    startApp();
    CountedModal modal;
    ASSERT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 1);

    // Modal again by the time of the next two checks, as a dialog that will not close yet.
    int refusals = 2;
    app->beforeEachRequest = [&]
    {
        if (! modal.isCurrentlyModal (false) && refusals-- > 0)
            modal.enter();
    };

    app->systemRequestedQuit();
    ASSERT_TRUE (runUntil ([this] { return app->numQuits > 0; }, 5000));

    // Dismissed three times; the fourth request found nothing modal and quit.
    EXPECT_EQ (app->numQuits, 1);
    EXPECT_EQ (app->numRequests, 4);
    EXPECT_EQ (app->savedAtRequest, juce::Array<bool> ({ true, true, true, true }));
    EXPECT_TRUE (runUntil ([&] { return *modal.timesDismissed == 3; }, 3000)) << *modal.timesDismissed;
    app->beforeEachRequest = nullptr;
}

TEST_F (ApplicationObject, QuitRequestWithoutAWindowSavesNothingAndQuitsAtOnce)
{
    app = std::make_unique<ObservedApp>();
    app->systemRequestedQuit();

    EXPECT_EQ (app->numQuits, 1);
    EXPECT_EQ (app->savedAtRequest, juce::Array<bool> ({ false }));
}

TEST_F (ApplicationObject, QuitRequestSavesWhatTheProcessorHoldsNow)
{
    startApp();
    auto* trim = findParameter (*holder().processor, "InputTrimmer");
    ASSERT_NE (trim, nullptr);
    trim->setValueNotifyingHost (trim->convertTo0to1 (7.5f));

    app->systemRequestedQuit();
    ASSERT_EQ (app->numQuits, 1);

    const auto saved = app->getSettings().getValue ("filterState");
    juce::MemoryBlock blob;
    ASSERT_TRUE (blob.fromBase64Encoding (saved));

    // A fresh processor given the saved text ends where the first one was.
    std::unique_ptr<juce::AudioProcessor> fresh (KA::createPluginFilter());
    fresh->setStateInformation (blob.getData(), (int) blob.getSize());
    auto* restored = findParameter (*fresh, "InputTrimmer");
    ASSERT_NE (restored, nullptr);
    EXPECT_NEAR (restored->convertFrom0to1 (restored->getValue()), 7.5, 1.0e-4);
}

//==============================================================================
TEST_F (ApplicationObject, ShutdownLeavesNoKioskComponentBehind)
{
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
        // A second request replaces the first dialog rather than stacking another one.
        holder().showAudioSettingsDialog();
        runFor (20);
        ASSERT_EQ (countDesktopWindowsNamed (settingsDialogTitle), 1);

        if (closedByTheUser)
        {
            auto& desktop = juce::Desktop::getInstance();
            for (int i = 0; i < desktop.getNumComponents(); ++i)
                if (auto* dialog = dynamic_cast<juce::DialogWindow*> (desktop.getComponent (i)))
                    dialog->exitModalState (0);
            ASSERT_TRUE (runUntil ([] { return countDesktopWindowsNamed (settingsDialogTitle) == 0; }, 3000));
        }

        // Still open: it goes before the device manager, and the modal manager's pending
        // work about it finds nothing dangling.
        app->shutdown();
        EXPECT_EQ (countDesktopWindowsNamed (settingsDialogTitle), 0);
        runFor (50);
        EXPECT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
        app = nullptr;
    }
}
