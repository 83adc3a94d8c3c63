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
class QuitSignal : public ApplicationProcess,
                   public ::testing::WithParamInterface<int> {};

TEST_P (QuitSignal, WritesTheDeviceSetupAndOnlyCtrlCThePluginState)
{
    ApplicationRun run;
    const auto earlierState = stateWithInputTrim ("-3");
    run.writeSettings ([&] { juce::StringPairArray v; v.set ("filterState", earlierState); return v; }());

    ASSERT_NE (launchAndWait (run), 0ul);
    run.process.signal (GetParam());
    ASSERT_EQ (run.process.waitForExit (20000), 0) << logOf (run);

    // Ctrl+C is a quit request, which saves the state the processor holds; the
    // termination notice leaves the stored one alone.
    auto settings = run.openSettings();
    EXPECT_TRUE (settings->containsKey ("audioSetup"));
    EXPECT_EQ (settings->getValue ("filterState") == earlierState, GetParam() == SIGTERM);
    EXPECT_EQ (readStoredParameter (settings->getValue ("filterState"), "InputTrimmer"), -3.0);
}

INSTANTIATE_TEST_SUITE_P (Signals, QuitSignal, ::testing::Values (SIGTERM, SIGINT),
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

TEST_F (ApplicationProcess, QuitRequestWritesThePluginStateWhereThereWasNone)
{
    ApplicationRun run;
    const auto window = launchAndWait (run);
    ASSERT_EQ (requestOnceAndWaitForExit (run, window, [&] { return x->pressControlQ(); }), 0) << logOf (run);

    const auto saved = run.openSettings()->getValue ("filterState");
    EXPECT_FALSE (std::isnan (readStoredParameter (saved, "InputTrimmer"))) << saved;
}

//==============================================================================
// What a damaged disk or a hostile file can hold. A value that cannot be used is
// ignored; a settings file that does not pass is moved aside, bytes intact.
namespace
{
enum class Kind { value, damagedFile, staleTemporaryFile, blockedFolder };

struct Launch
{
    const char* name;
    Kind kind;
    std::string content;
    const char* key = nullptr;
    bool global = false;
};

void PrintTo (const Launch& launch, std::ostream* os) { *os << launch.name; }

std::string settingsText (const std::string& values)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<PROPERTIES>\n" + values + "\n</PROPERTIES>\n";
}

std::string nested (int depth)
{
    std::string open, close;
    for (int i = 0; i < depth; ++i)
    {
        open += "<a>";
        close += "</a>";
    }
    return open + close;
}

juce::Array<juce::File> filesAside (const juce::File& settingsFile)
{
    return settingsFile.getParentDirectory().findChildFiles (juce::File::findFiles, false, settingsFile.getFileName() + ".damaged-*");
}

class LaunchWith : public ApplicationProcess,
                   public ::testing::WithParamInterface<Launch> {};
} // namespace

TEST_P (LaunchWith, StartsStaysUpQuitsAndKeepsOrMovesAsideWhatWasThere)
{
    const auto& row = GetParam();
    ApplicationRun run;
    const auto file = run.getSettingsFile (row.global);
    const auto temporary = file.getSiblingFile (file.getFileNameWithoutExtension() + "_temp5f3a9c" + file.getFileExtension());

    if (row.kind == Kind::blockedFolder)
        file.getParentDirectory().replaceWithText ("a file where the settings folder belongs");
    else
        file.getParentDirectory().createDirectory();

    if (row.kind == Kind::value)
        run.writeSettings ([&] { juce::StringPairArray v; v.set (row.key, juce::String (row.content)); return v; }(), row.global);
    else if (row.kind == Kind::damagedFile)
        file.replaceWithData (row.content.data(), row.content.size());
    else if (row.kind == Kind::staleTemporaryFile)
        temporary.replaceWithText (row.content);

    ASSERT_TRUE (run.launch());
    ASSERT_NE (run.waitUntilShown (*x, 5000), 0ul) << logOf (run);
    juce::Thread::sleep (1000);
    ASSERT_TRUE (run.process.isRunning()) << logOf (run);
    run.process.signal (SIGTERM);
    ASSERT_EQ (run.process.waitForExit (3000), 0) << logOf (run);

    const auto log = run.home.getChildFile ("application.log").loadFileAsString();
    const auto aside = filesAside (file);
    EXPECT_EQ (aside.size(), row.kind == Kind::damagedFile ? 1 : 0);
    EXPECT_TRUE (filesAside (run.getSettingsFile (! row.global)).isEmpty());

    if (row.kind == Kind::value && juce::String (row.key) != "audioSetup")
        EXPECT_EQ (run.openSettings (row.global)->getValue (row.key), juce::String (row.content));

    if (row.kind == Kind::damagedFile && aside.size() == 1)
    {
        juce::MemoryBlock bytes;
        aside[0].loadFileAsData (bytes);
        EXPECT_EQ (bytes, juce::MemoryBlock (row.content.data(), row.content.size()));
        EXPECT_EQ (log.indexOf (aside[0].getFullPathName()), log.lastIndexOf (aside[0].getFullPathName())) << log;
        EXPECT_TRUE (log.contains (aside[0].getFullPathName())) << log;
        EXPECT_TRUE (row.global || file.existsAsFile()) << "the new settings file beside it";
    }

    EXPECT_FALSE (temporary.exists());

    if (row.kind == Kind::blockedFolder)
        EXPECT_TRUE (log.contains (file.getFullPathName() + " could not be saved: ")) << log;
}

INSTANTIATE_TEST_SUITE_P (
    Launch, LaunchWith,
    ::testing::Values (
        Launch { "GoodState", Kind::value, stateWithInputTrim ("4.5").toStdString(), "filterState" },
        Launch { "GoodGlobalSettings", Kind::value, "0", "showMailForm", true },
        Launch { "StateUnfinishedReference", Kind::value, encodeStateXml ("<DRRoreRurediriz>&#x").toStdString(), "filterState" },
        Launch { "StateDeeplyNested", Kind::value, encodeStateXml ("<DRRoreRurediriz>" + nested (300000) + "</DRRoreRurediriz>").toStdString(), "filterState" },
        Launch { "StateHugeExponent", Kind::value, stateWithInputTrim ("1e99999999999").toStdString(), "filterState" },
        Launch { "StateWithoutDot", Kind::value, "QUJDREVGR0g", "filterState" },
        Launch { "StateNegative", Kind::value, "-5.QUJDREVGR0g", "filterState" },
        Launch { "StateHuge", Kind::value, "2147483000.QUJDREVGR0g", "filterState" },
        Launch { "StateForeignBlob", Kind::value, juce::MemoryBlock ("\x89PNG\r\n\x1a\n not a state at all", 28).toBase64Encoding().toStdString(), "filterState" },
        Launch { "StateWrongRootTag", Kind::value, encodeStateXml ("<SomethingElse><PARAM id=\"InputTrimmer\" value=\"4\"/></SomethingElse>").toStdString(), "filterState" },
        Launch { "SetupGarbage", Kind::value, "\x01\x02 <<<>>> &&& not xml", "audioSetup" },
        Launch { "SetupRateOverflowing", Kind::value, "<DEVICESETUP deviceType=\"ALSA\" audioDeviceRate=\"1e99999999999\"/>", "audioSetup" },
        Launch { "SetupDeviceGone", Kind::value, "<DEVICESETUP deviceType=\"ALSA\" audioOutputDeviceName=\"Gone Card\" audioInputDeviceName=\"Gone Card\""
                                                 " audioDeviceRate=\"12345\" audioDeviceBufferSize=\"-7\"/>", "audioSetup" },
        Launch { "SettingsInstructionInSetup", Kind::damagedFile,
                 settingsText ("<VALUE name=\"audioSetup\"><DEVICESETUP deviceType=\"ALSA\"><?pi x?>text</DEVICESETUP></VALUE>") },
        // JUCE parses every value again when it saves, so one that starts like XML must be sound XML.
        Launch { "SettingsSetupTruncated", Kind::damagedFile,
                 settingsText ("<VALUE name=\"audioSetup\" val=\"&lt;DEVICESETUP deviceType=&quot;ALSA&quot; audioOutputDevice\"/>") },
        Launch { "SettingsDeeplyNested", Kind::damagedFile, settingsText ("<VALUE name=\"a\">" + nested (300000) + "</VALUE>") },
        Launch { "SettingsMixedText", Kind::damagedFile, settingsText ("<VALUE name=\"audioSetup\"><DEVICESETUP>x<A><B/></A></DEVICESETUP></VALUE>") },
        Launch { "SettingsNotXml", Kind::damagedFile, "not a settings file \x01" },
        Launch { "GlobalSettingsInstruction", Kind::damagedFile, settingsText ("<?pi x?>text<VALUE name=\"showMailForm\" val=\"0\"/>"), nullptr, true },
        Launch { "GlobalSettingsBinary", Kind::damagedFile, std::string ("PROP\xff\xff\xff\x7f", 8), nullptr, true },
        Launch { "StaleTemporaryFile", Kind::staleTemporaryFile, settingsText ("<VALUE name=\"filterState\" val=\"1") },
        Launch { "BlockedFolder", Kind::blockedFolder, {} }),
    [] (const auto& p) { return std::string (p.param.name); });
