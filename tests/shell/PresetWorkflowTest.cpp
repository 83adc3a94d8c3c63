#include "tests/shell/support/ApplicationRun.h"
#include "tests/shell/support/PointerDriver.h"

#include <gtest/gtest.h>

#include <map>

using namespace KA::Test;

// The user's preset workflow in the real application with a JACK dummy server, driven by
// pointer clicks and key presses from xdotool.
TEST (PresetWorkflow, NextPickSaveAsStepAndDeleteWithRealInput)
{
    ASSERT_TRUE (ApplicationRun::getBinary().existsAsFile());
    X11Session x (ensureVirtualDisplay());
    JackServer jack;
    ASSERT_TRUE (jack.isRunning()) << jack.getLog();

    ApplicationRun run;
    const auto user = run.home.getChildFile ("Documents/KA Dravon Rore Rurediriz");
    std::map<juce::String, juce::String> kept;

    for (auto name : { "Live/Deep.xml", "Live/Punchy.xml", "Studio/Warm.xml", "Top.xml" })
    {
        user.getChildFile (name).getParentDirectory().createDirectory();
        user.getChildFile (name).replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DRRoreRurediriz><PARAM id=\"Level\" value=\"5.5\"/></DRRoreRurediriz>\n");
        kept[name] = user.getChildFile (name).loadFileAsString();
    }

    run.writeJackSettingsWithoutMailForm();
    ASSERT_TRUE (run.launch (jack.getName()));
    const auto window = run.waitUntilShown (x);
    ASSERT_NE (window, 0ul) << run.getLog();

    const auto e = EditorOnScreen::locate (window);
    ASSERT_GE (e.w, 616) << "a bar 44 high";

    PointerDriver pointer (x, window);
    const auto clickAt = [&] (juce::Point<int> p) { pointer.clickAt (p); };
    pointer.settle();

    clickAt (e.square (2));      // "+": Slap Bass
    clickAt (e.square (2));      // "+": Bass Warming
    clickAt (e.presetName());    // Default, Factory Presets, Live, Studio, Top
    clickAt (e.listRow (2));     // into Live
    clickAt (e.listRow (0));     // Deep: Level 5.5, the bands as Bass Warming left them
    clickAt (e.fileButton (1));  // Save As
    clickAt (e.chooserFileName());
    xdotool ({ "type", "--delay", "30", "Mine" });
    xdotool ({ "key", "Return" });
    pointer.settle();

    const auto mine = user.getChildFile ("Mine.xml");
    const auto written = juce::parseXML (mine);
    ASSERT_NE (written, nullptr) << "Save As wrote no preset";
    EXPECT_EQ (written->getChildByAttribute ("id", "Level")->getDoubleAttribute ("value"), 5.5);
    EXPECT_NEAR (written->getChildByAttribute ("id", "50Hz")->getDoubleAttribute ("value"), 1.9, 1.0e-5);

    // Live/Deep, Live/Punchy, Studio/Warm, Mine, Top: "-" goes to Warm, "+" back to Mine.
    clickAt (e.square (1));
    clickAt (e.square (2));
    clickAt (e.fileButton (2));  // Delete
    clickAt (e.questionOk());
    EXPECT_FALSE (mine.exists());

    xdotool ({ "key", "ctrl+q" });
    for (int waited = 0; waited < 20000 && run.process.waitForExit (250) == -1; waited += 250)
        x.sendIgnoredMessage (window);

    ASSERT_FALSE (run.process.isRunning());

    for (const auto& [name, bytes] : kept)
        EXPECT_EQ (user.getChildFile (name).loadFileAsString(), bytes) << name;

    EXPECT_EQ (user.findChildFiles (juce::File::findFiles, true, "*").size(), 4) << "no other file left";

    // Deleting leaves the state naming the preset it came from.
    const auto state = run.openSettings()->getValue ("filterState");
    ASSERT_NE (parseStoredState (state), nullptr);
    EXPECT_EQ (parseStoredState (state)->getStringAttribute ("CurrentPreset"), mine.getFullPathName());
    EXPECT_EQ (readStoredParameter (state, "Level"), 5.5);
}
