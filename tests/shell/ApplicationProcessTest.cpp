#include "tests/shell/support/ApplicationRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <csignal>

using namespace KA::Test;

namespace
{
const juce::String storedTrim = "4.5";

juce::String stateWithInputTrim (const juce::String& value)
{
    return encodeStateXml ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<DRRoreRurediriz><PARAM id=\"InputTrimmer\" value=\"" + value + "\"/></DRRoreRurediriz>");
}

class ApplicationProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (ApplicationRun::getBinary().existsAsFile()) << ApplicationRun::getBinary().getFullPathName();
        ASSERT_TRUE (ensureVirtualDisplay().isNotEmpty());
        x = std::make_unique<X11Session> (ensureVirtualDisplay());
        ASSERT_TRUE (x->isOpen());
    }

    unsigned long launchAndWait (ApplicationRun& run)
    {
        EXPECT_TRUE (run.launch());
        const auto window = run.waitUntilShown (*x);
        EXPECT_NE (window, 0ul) << run.home.getChildFile ("application.log").loadFileAsString();
        return window;
    }

    /** Makes one request and waits for the process to end. While it waits, the window
        is sent messages nobody handles, standing in for a desktop's steady traffic: JUCE
        reads X events only when its connection becomes readable, so a request that came
        in during one of its own round trips outside its event handler (a timer's focus
        check, a repaint) sits in Xlib's queue until some later event arrives. A request
        the application ignores stays ignored: nothing here asks again. */
    int requestOnceAndWaitForExit (ApplicationRun& run, unsigned long window,
                                   const std::function<bool()>& request, int timeoutMs = 20000)
    {
        if (! request())
            return -2;

        for (int waited = 0; waited < timeoutMs; waited += 250)
        {
            const auto status = run.process.waitForExit (250);

            if (status != -1 || ! run.process.isRunning())
                return status;

            x->sendIgnoredMessage (window);
        }

        return -1;
    }

    static juce::String logOf (ApplicationRun& run)
    {
        const auto log = run.home.getChildFile ("application.log").loadFileAsString();
        return log.substring (juce::jmax (0, log.length() - 3000));
    }

    std::unique_ptr<X11Session> x;
};
} // namespace

//==============================================================================
class TerminationNotice : public ApplicationProcess,
                          public ::testing::WithParamInterface<int> {};

TEST_P (TerminationNotice, WritesTheDeviceSetupButNotThePluginState)
{
    ApplicationRun run;
    const auto earlierState = stateWithInputTrim ("-3");
    run.writeSettings ([&] { juce::StringPairArray v; v.set ("filterState", earlierState); return v; }());

    ASSERT_NE (launchAndWait (run), 0ul);
    run.process.signal (GetParam());
    ASSERT_EQ (run.process.waitForExit (20000), 0) << logOf (run);

    auto settings = run.openSettings();
    EXPECT_TRUE (settings->containsKey ("audioSetup"));
    EXPECT_EQ (settings->getValue ("filterState"), earlierState);
}

INSTANTIATE_TEST_SUITE_P (Signals, TerminationNotice, ::testing::Values (SIGTERM, SIGINT),
                          [] (const auto& p) { return p.param == SIGTERM ? "SIGTERM" : "SIGINT"; });

//==============================================================================
TEST_F (ApplicationProcess, CloseButtonSavesThePluginStateWhichTheNextLaunchRestores)
{
    ApplicationRun run;
    run.writeSettings ([] { juce::StringPairArray v; v.set ("filterState", stateWithInputTrim (storedTrim)); return v; }());

    // First run: the close button writes the state the processor holds, which is the
    // restored one.
    const auto window = launchAndWait (run);
    ASSERT_EQ (requestOnceAndWaitForExit (run, window, [&] { return x->sendDeleteWindow (window); }), 0) << logOf (run);

    const auto firstSaved = run.openSettings()->getValue ("filterState");
    EXPECT_NEAR (readStoredParameter (firstSaved, "InputTrimmer"), storedTrim.getDoubleValue(), 1.0e-6) << firstSaved;
    EXPECT_TRUE (run.openSettings()->containsKey ("audioSetup"));

    // Second run, ended by the quit request: the value survives once more.
    const auto second = launchAndWait (run);
    ASSERT_NE (second, 0ul);
    ASSERT_EQ (requestOnceAndWaitForExit (run, second, [&] { return x->pressControlQ(); }), 0) << logOf (run);

    EXPECT_NEAR (readStoredParameter (run.openSettings()->getValue ("filterState"), "InputTrimmer"),
                 storedTrim.getDoubleValue(), 1.0e-6);
}

//==============================================================================
struct CorruptSetting
{
    const char* name;
    const char* key;
    juce::String value;
};

class CorruptSettings : public ApplicationProcess,
                        public ::testing::WithParamInterface<CorruptSetting> {};

TEST_P (CorruptSettings, NeverStopALaunch)
{
    ApplicationRun run;
    run.writeSettings ([] { juce::StringPairArray v; v.set (GetParam().key, GetParam().value); return v; }());

    const auto window = launchAndWait (run);
    ASSERT_NE (window, 0ul);
    ASSERT_TRUE (run.process.isRunning()) << logOf (run);

    // A quit request after a bad state writes a good one in its place: the processor's
    // constructed state, untouched by whatever the bad text held.
    ASSERT_EQ (requestOnceAndWaitForExit (run, window, [&] { return x->pressControlQ(); }), 0) << logOf (run);

    auto settings = run.openSettings();
    EXPECT_EQ (readStoredParameter (settings->getValue ("filterState"), "InputTrimmer"), 0.0);
    EXPECT_TRUE (settings->containsKey ("audioSetup"));
}

INSTANTIATE_TEST_SUITE_P (
    Launch, CorruptSettings,
    ::testing::Values (
        CorruptSetting { "StateWithoutDot", "filterState", "QUJDREVGR0g" },
        CorruptSetting { "StateZero", "filterState", "0." },
        CorruptSetting { "StateNegative", "filterState", "-5.QUJDREVGR0g" },
        CorruptSetting { "StateHuge", "filterState", "2147483000.QUJDREVGR0g" },
        CorruptSetting { "StateForeignBlob", "filterState", juce::MemoryBlock ("\x89PNG\r\n\x1a\n not a state at all", 28).toBase64Encoding() },
        CorruptSetting { "StateWrongRootTag", "filterState", encodeStateXml ("<SomethingElse><PARAM id=\"InputTrimmer\" value=\"4\"/></SomethingElse>") },
        CorruptSetting { "SetupTruncated", "audioSetup", "<DEVICESETUP deviceType=\"ALSA\" audioOutputDevice" },
        CorruptSetting { "SetupGarbage", "audioSetup", "\x01\x02 <<<>>> &&& not xml" },
        CorruptSetting { "SetupDeviceGone", "audioSetup",
                         "<DEVICESETUP deviceType=\"ALSA\" audioOutputDeviceName=\"Gone Card\" audioInputDeviceName=\"Gone Card\""
                         " audioDeviceRate=\"12345\" audioDeviceBufferSize=\"-7\"/>" }),
    [] (const auto& p) { return std::string (p.param.name); });
