// The user's preset workflow in the real application, under a virtual display with
// a JACK dummy server, driven by pointer clicks and key presses from xdotool.

#include "shell/NotificationArea.h"
#include "tests/shell/support/ApplicationRun.h"

#include <gtest/gtest.h>

#include <map>

using namespace KA::Test;

namespace
{
/** Geometry of the editor under the notification bar, and where things are in it. */
struct Screen
{
    int x = 0, y = 0, width = 0, height = 0; // the editor on screen

    juce::Point<int> at (int ex, int ey) const { return { x + ex, y + ey }; }

    /** The centre of a toolbar button of a bar 44 high (its layout's own numbers). */
    juce::Point<int> barButton (const juce::String& name) const
    {
        const juce::StringArray squares { "?", "-", "+", "<", ">", "A", "=>", "B" };

        if (squares.contains (name))
            return at (10 + squares.indexOf (name) * 43 + 22, 21);

        const std::map<juce::String, int> fileButtons { { "Save", 212 }, { "Save As", 163 }, { "Delete", 114 } };
        return at (width - fileButtons.at (name) + 25, 21);
    }

    juce::Point<int> presetName() const { return at ((354 + width - 211) / 2, 21); }

    /** Row r of the open list: the list box takes the middle 90 %, under a 30 high header. */
    juce::Point<int> listRow (int row) const
    {
        return at (width / 2, juce::roundToInt (0.05 * height) + 1 + 30 + 40 * row + 20);
    }

    /** The file name box at the foot of the chooser's browser. */
    juce::Point<int> chooserFileName() const { return at (width / 2, height - 81); }

    /** "Ok" of a question box: 600 x 250 centred, two buttons 120 wide at the right. */
    juce::Point<int> questionOk() const { return at ((width - 600) / 2 + 404, (height - 250) / 2 + 221); }
};

bool xdotool (const juce::StringArray& args)
{
    juce::ChildProcess p;
    juce::StringArray command { "xdotool" };
    command.addArray (args);
    return p.start (command) && p.waitForProcessToFinish (10000) && p.getExitCode() == 0;
}

juce::String storedCurrentPreset (const juce::String& filterState)
{
    juce::MemoryBlock blob;

    if (! blob.fromBase64Encoding (filterState) || blob.getSize() < 9)
        return {};

    const auto xml = juce::parseXML (juce::String::fromUTF8 (static_cast<const char*> (blob.getData()) + 8, (int) blob.getSize() - 9));
    return xml != nullptr ? xml->getStringAttribute ("CurrentPreset") : juce::String();
}

class PresetWorkflow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (ApplicationRun::getBinary().existsAsFile());
        ASSERT_TRUE (ensureVirtualDisplay().isNotEmpty());
        x = std::make_unique<X11Session> (ensureVirtualDisplay());
        ASSERT_TRUE (x->isOpen());
        jack = std::make_unique<JackServer> (256);
        ASSERT_TRUE (jack->isRunning()) << jack->getLog();
    }

    /** One pointer click, then time for the application to act on it. */
    void clickAt (juce::Point<int> p)
    {
        ASSERT_TRUE (xdotool ({ "mousemove", juce::String (p.x), juce::String (p.y), "click", "1" }));
        settle();
    }

    void settle()
    {
        for (int i = 0; i < 4; ++i)
        {
            juce::Thread::sleep (100);
            x->sendIgnoredMessage (window);
        }
    }

    std::unique_ptr<X11Session> x;
    std::unique_ptr<JackServer> jack;
    unsigned long window = 0;
};
} // namespace

TEST_F (PresetWorkflow, NextPickSaveAsStepAndDeleteWithRealInput)
{
    ApplicationRun run;
    const auto user = run.home.getChildFile ("Documents/KA Dravon Rore Rurediriz");
    std::map<juce::String, juce::String> kept;

    for (auto name : { "Live/Deep.xml", "Live/Punchy.xml", "Studio/Warm.xml", "Top.xml" })
    {
        auto file = user.getChildFile (name);
        file.getParentDirectory().createDirectory();
        file.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<DRRoreRurediriz><PARAM id=\"Level\" value=\"5.5\"/></DRRoreRurediriz>\n");
        kept[name] = file.loadFileAsString();
    }

    run.writeSettings ([] { juce::StringPairArray v; v.set ("audioSetup", "<DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"system\""
                                                                          " audioInputDeviceName=\"system\"/>"); return v; }());
    ASSERT_TRUE (run.launch (jack->getName()));
    window = run.waitUntilShown (*x);
    ASSERT_NE (window, 0ul) << run.home.getChildFile ("application.log").loadFileAsString();
    settle();

    // The window fills the screen; the editor lies under the input-muted notice.
    juce::ChildProcess geometry;
    ASSERT_TRUE (geometry.start ({ "xdotool", "getwindowgeometry", "--shell", juce::String ((juce::int64) window) }));
    juce::StringPairArray values;

    for (auto line : juce::StringArray::fromLines (geometry.readAllProcessOutput()))
        values.set (line.upToFirstOccurrenceOf ("=", false, false), line.fromFirstOccurrenceOf ("=", false, false));

    const auto notice = KA::StandaloneFilterWindow::MainContentComponent::NotificationArea::height;
    const Screen s { values["X"].getIntValue(), values["Y"].getIntValue() + notice,
                     values["WIDTH"].getIntValue(), values["HEIGHT"].getIntValue() - notice };
    ASSERT_GE (s.width, 616) << "a full-height bar";

    clickAt (s.barButton ("+")); // Slap Bass
    clickAt (s.barButton ("+")); // Bass Warming
    clickAt (s.presetName());    // Default, Factory Presets, Live, Studio, Top
    clickAt (s.listRow (2));     // into Live
    clickAt (s.listRow (0));     // Deep: Level 5.5, the bands Bass Warming left

    clickAt (s.barButton ("Save As"));
    clickAt (s.chooserFileName());
    ASSERT_TRUE (xdotool ({ "type", "--delay", "30", "Mine" }));
    ASSERT_TRUE (xdotool ({ "key", "Return" }));
    settle();

    const auto mine = user.getChildFile ("Mine.xml");
    ASSERT_TRUE (mine.existsAsFile()) << "Save As did not write";
    const auto written = juce::parseXML (mine);
    ASSERT_NE (written, nullptr);
    EXPECT_EQ (written->getChildByAttribute ("id", "Level")->getDoubleAttribute ("value"), 5.5);
    EXPECT_NEAR (written->getChildByAttribute ("id", "50Hz")->getDoubleAttribute ("value"), 1.9, 1.0e-5);

    // Live/Deep, Live/Punchy, Studio/Warm, Mine, Top: "-" goes to Warm, "+" back to Mine.
    clickAt (s.barButton ("-"));
    clickAt (s.barButton ("+"));
    clickAt (s.barButton ("Delete"));
    clickAt (s.questionOk());
    EXPECT_FALSE (mine.exists());

    ASSERT_TRUE (xdotool ({ "key", "ctrl+q" }));

    for (int waited = 0; waited < 20000 && run.process.isRunning(); waited += 250)
    {
        run.process.waitForExit (250);
        x->sendIgnoredMessage (window);
    }

    ASSERT_FALSE (run.process.isRunning());

    for (const auto& [name, bytes] : kept)
        EXPECT_EQ (user.getChildFile (name).loadFileAsString(), bytes) << name;

    EXPECT_EQ (user.findChildFiles (juce::File::findFiles, true, "*").size(), 4) << "no other file left";

    // Deleting leaves the state naming the preset it came from.
    const auto state = run.openSettings()->getValue ("filterState");
    EXPECT_EQ (storedCurrentPreset (state), mine.getFullPathName());
    EXPECT_EQ (readStoredParameter (state, "Level"), 5.5);
}
