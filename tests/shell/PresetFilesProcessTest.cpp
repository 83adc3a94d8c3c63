// The preset bar of the real application over a user folder that holds more than presets:
// a FIFO, a link to /dev/zero and a damaged preset between good ones, stepped across in both
// directions with xdotool's clicks under a JACK dummy server. Reading such a file the wrong
// way blocks the message thread for good, so every wait here has a bound and the process is
// killed at the end whatever it did.

#include "tests/shell/support/ApplicationRun.h"
#include "tests/shell/support/PointerDriver.h"
#include "tests/shell/support/ScreenPixels.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

using namespace KA::Test;

namespace
{
juce::String presetText (const juce::String& level)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DRRoreRurediriz><PARAM id=\"Level\" value=\"" + level
         + "\"/></DRRoreRurediriz>\n";
}

/** The preset name's pixels in a grab of the application's window. */
juce::Image presetLabelIn (const juce::Image& window, const EditorOnScreen& e)
{
    // The grab starts at the window's corner, which lies above the editor by the notice's height.
    const juce::Point<int> corner (e.x, e.y - (window.getHeight() - e.h));
    return window.getClippedImage (e.presetNameArea() - corner);
}

/** Whether two grabs of the label show the same name: a name of one other letter differs in
    some 60 pixels, the same name repainted in none. */
bool sameLabel (const juce::Image& a, const juce::Image& b)
{
    return changedShare (a, b) * a.getWidth() * a.getHeight() < 10.0;
}
} // namespace

TEST (PresetFilesProcess, StepsPastAFifoADeviceLinkAndADamagedPresetAndStillQuits)
{
    ASSERT_TRUE (ApplicationRun::getBinary().existsAsFile());
    X11Session x (ensureVirtualDisplay());
    JackServer jack;
    ASSERT_TRUE (jack.isRunning()) << jack.getLog();

    ApplicationRun run;
    const auto user = run.home.getChildFile ("Documents/KA Dravon Rore Rurediriz");
    ASSERT_TRUE (user.createDirectory());

    std::map<juce::String, juce::MemoryBlock> kept;
    const std::pair<const char*, juce::String> presets[] = {
        { "A.xml", presetText ("1.5") },
        { "B.xml", "<DRRoreRurediriz><PARAM" },
        { "C.xml", presetText ("2.5") },
        { "D.xml", presetText ("3.5") },
    };

    for (const auto& [name, text] : presets)
    {
        ASSERT_TRUE (user.getChildFile (name).replaceWithText (text));
        ASSERT_TRUE (user.getChildFile (name).loadFileAsData (kept[name]));
    }

    // Neither is ever opened by this process: a FIFO's open() waits for a writer, /dev/zero has no end.
    const auto fifo = user.getChildFile ("F.xml"), zero = user.getChildFile ("Z.xml");
    ASSERT_EQ (::mkfifo (fifo.getFullPathName().toRawUTF8(), 0644), 0);
    ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (zero, false));

    run.writeJackSettingsWithoutMailForm();
    ASSERT_TRUE (run.launch (jack.getName()));
    const auto window = run.waitUntilShown (x);
    ASSERT_NE (window, 0ul) << run.getLog();

    const auto e = EditorOnScreen::locate (window);
    ASSERT_GE (e.w, 667) << "a bar 44 high and a 600 x 250 dialog panel";
    ASSERT_GE (e.h, 313) << "a 600 x 250 dialog panel";

    PointerDriver pointer (x, window);
    waitForInputNotice (x, pointer, window);

    auto screen = grabWhenPainted (x, pointer, window);
    std::map<juce::String, juce::Image> labels { { "Default", presetLabelIn (screen, e) } };

    // The index: Default, five factory presets, A, B, C, D; the FIFO and the link are no presets.
    // "-" from Default wraps round to D. After B fails, the next step goes on past it.
    constexpr int previous = 1, next = 2;
    const std::tuple<const char*, int, bool> steps[] = { // the preset reached, the button, whether it fails to load
        { "D", previous, false }, { "C", previous, false }, { "B", previous, true }, { "A", previous, false },
        { "B", next, true }, { "C", next, false },
    };

    for (const auto& [preset, button, fails] : steps)
    {
        SCOPED_TRACE (juce::String (button == next ? "+" : "-") + " to " + preset);
        const auto before = screen;
        pointer.clickAt (e.square (button));
        screen = grabWhenPainted (x, pointer, window);

        if (fails)
        {
            EXPECT_GT (changedShare (screen, before), 0.25) << "a message box over the editor";
            pointer.clickAt (e.dialogButton (0));   // its one button, "Ok"
            screen = grabWhenPainted (x, pointer, window);
            EXPECT_LT (changedShare (screen, before), 0.01) << "the editor as it was";
            EXPECT_TRUE (sameLabel (presetLabelIn (screen, e), presetLabelIn (before, e)))
                << "the label still names the last preset that loaded";
            continue;
        }

        // A preset seen before looks as it did then, any other looks new.
        const auto label = presetLabelIn (screen, e);
        juce::StringArray lookalikes;
        for (const auto& [name, shown] : labels)
            if (sameLabel (label, shown))
                lookalikes.add (name);
        EXPECT_EQ (lookalikes.joinIntoString (" "), labels.count (preset) != 0 ? juce::String (preset) : juce::String())
            << "the earlier labels this one looks like";
        labels[preset] = label;
    }

    xdotool ({ "key", "ctrl+q" });
    const auto asked = juce::Time::getMillisecondCounter();
    while (run.process.isRunning() && juce::Time::getMillisecondCounter() - asked < 3000)
    {
        run.process.waitForExit (100);
        x.sendIgnoredMessage (window);
    }

    if (run.process.isRunning())
    {
        ADD_FAILURE() << "still running 3 s after Ctrl+Q\n" << run.getLog();
        run.process.signal (SIGKILL);   // SIGTERM would wait behind the blocked message loop
        run.process.waitForExit (5000);
    }
    else
    {
        EXPECT_EQ (run.process.waitForExit (0), 0) << run.getLog();
    }

    for (const auto& [name, bytes] : kept)
    {
        juce::MemoryBlock now;
        EXPECT_TRUE (user.getChildFile (name).loadFileAsData (now) && now == bytes) << name << " changed";
    }

    struct stat info {};
    EXPECT_TRUE (::lstat (fifo.getFullPathName().toRawUTF8(), &info) == 0 && S_ISFIFO (info.st_mode)) << "the FIFO replaced";
    EXPECT_EQ (zero.getLinkedTarget(), juce::File ("/dev/zero")) << "the link replaced";
    EXPECT_EQ (user.findChildFiles (juce::File::findFilesAndDirectories, true, "*", juce::File::FollowSymlinks::no).size(), 6)
        << "no other file left";

    const auto state = run.openSettings()->getValue ("filterState");
    ASSERT_NE (parseStoredState (state), nullptr) << "no state stored at the quit";
    EXPECT_EQ (parseStoredState (state)->getStringAttribute ("CurrentPreset"), user.getChildFile ("C.xml").getFullPathName());
    EXPECT_NEAR (readStoredParameter (state, "Level"), 2.5, 1.0e-4);
}
