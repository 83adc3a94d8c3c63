#include "tests/shell/support/ApplicationRun.h"

#include <gtest/gtest.h>

using namespace KA::Test;

// The real binary launched over what a damaged disk or a hostile file can hold, and ended
// the ways a user ends it. A value that cannot be used is ignored; a settings file that
// does not pass is moved aside, bytes intact.
namespace
{
enum class Kind { value, damagedFile, staleTemporaryFile, blockedFolder };
constexpr int closeButton = 0;

struct Launch
{
    const char* name;
    Kind kind;
    std::string content;
    const char* key = nullptr;
    bool global = false;
    int quit = SIGTERM;
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
        open += "<a>", close += "</a>";
    return open + close;
}

std::string stateWithInputTrim (const juce::String& value)
{
    return encodeStateXml ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DRRoreRurediriz><PARAM id=\"InputTrimmer\" value=\"" + value + "\"/></DRRoreRurediriz>").toStdString();
}

juce::Array<juce::File> filesAside (const juce::File& settingsFile)
{
    return settingsFile.getParentDirectory().findChildFiles (juce::File::findFiles, false, settingsFile.getFileName() + ".damaged-*");
}

class LaunchWith : public ::testing::TestWithParam<Launch> {};
} // namespace

TEST_P (LaunchWith, StartsStaysUpQuitsAndKeepsOrMovesAsideWhatWasThere)
{
    const auto& row = GetParam();
    X11Session x (ensureVirtualDisplay());
    ASSERT_TRUE (x.isOpen());
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
    const auto window = run.waitUntilShown (x, 5000);
    ASSERT_NE (window, 0ul) << run.getLog();
    juce::Thread::sleep (1000);
    ASSERT_TRUE (run.process.isRunning()) << run.getLog();

    // The close request may arrive during one of JUCE's own round trips, where it waits
    // for the next event: the desktop's steady traffic is played by ignored messages.
    if (row.quit == closeButton)
        x.sendDeleteWindow (window);
    else
        run.process.signal (row.quit);

    for (int waited = 0; waited < (row.quit == SIGTERM ? 3000 : 20000) && run.process.isRunning(); waited += 250)
        if (run.process.waitForExit (250) == -1 && row.quit == closeButton)
            x.sendIgnoredMessage (window);

    ASSERT_EQ (run.process.waitForExit (0), 0) << run.getLog();

    const auto log = run.home.getChildFile ("application.log").loadFileAsString();   // whole, unlike getLog()
    const auto aside = filesAside (file);
    EXPECT_EQ (aside.size(), row.kind == Kind::damagedFile ? 1 : 0);
    EXPECT_TRUE (filesAside (run.getSettingsFile (! row.global)).isEmpty());
    EXPECT_FALSE (temporary.exists());
    EXPECT_EQ (run.openSettings()->containsKey ("audioSetup"), row.kind != Kind::blockedFolder);

    // SIGTERM leaves a stored value as it was; a quit request stores what the processor
    // restored from it.
    if (row.kind == Kind::value && juce::String (row.key) != "audioSetup")
    {
        EXPECT_EQ (run.openSettings (row.global)->getValue (row.key) == juce::String (row.content), row.quit == SIGTERM);
    }

    EXPECT_NEAR (row.quit != SIGTERM ? readStoredParameter (run.openSettings()->getValue ("filterState"), "InputTrimmer") : 4.5, 4.5, 1.0e-6);

    if (row.kind == Kind::damagedFile && aside.size() == 1)
    {
        juce::MemoryBlock bytes;
        aside[0].loadFileAsData (bytes);
        EXPECT_EQ (bytes, juce::MemoryBlock (row.content.data(), row.content.size()));
        EXPECT_EQ (log.indexOf (aside[0].getFullPathName()), log.lastIndexOf (aside[0].getFullPathName())) << log;
        EXPECT_TRUE (log.contains (aside[0].getFullPathName())) << log;
        EXPECT_TRUE (row.global || file.existsAsFile()) << "the new settings file beside it";
    }

    EXPECT_EQ (log.contains (file.getFullPathName() + " could not be saved: "), row.kind == Kind::blockedFolder) << log;
}

INSTANTIATE_TEST_SUITE_P (
    Launch, LaunchWith,
    ::testing::Values (
        Launch { "GoodState", Kind::value, stateWithInputTrim ("4.5"), "filterState" },
        Launch { "CtrlC", Kind::value, stateWithInputTrim ("4.5"), "filterState", false, SIGINT },
        Launch { "CloseButton", Kind::value, stateWithInputTrim ("4.5"), "filterState", false, closeButton },
        Launch { "GoodGlobalSettings", Kind::value, "0", "showMailForm", true },
        Launch { "StateUnfinishedReference", Kind::value, encodeStateXml ("<DRRoreRurediriz>&#x").toStdString(), "filterState" },
        Launch { "StateDeeplyNested", Kind::value, encodeStateXml ("<DRRoreRurediriz>" + nested (300000) + "</DRRoreRurediriz>").toStdString(), "filterState" },
        Launch { "StateHugeExponent", Kind::value, stateWithInputTrim ("1e99999999999"), "filterState" },
        Launch { "StateNegative", Kind::value, "-5.QUJDREVGR0g", "filterState" },
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
