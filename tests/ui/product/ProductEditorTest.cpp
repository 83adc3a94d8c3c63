#include "app/RedeVaPlugin.h"
#include "tests/ui/support/DrawnText.h"
#include "ui/product/DRBaseEditor.h"
#include "ui/product/RedeVaAudioProcessorEditor.h"
#include "ui/product/RedeVaEditor.h"
#include "engine/GlobalStrings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace
{
using Rect = juce::Rectangle<int>;

/** The product processor answering with another series member's root tag. */
class SeriesMemberProcessor : public RedeVaPlugin
{
public:
    explicit SeriesMemberProcessor (juce::String tag) : rootTag (std::move (tag)) {}
    juce::String getStateRootTag() const override { return rootTag; }

private:
    juce::String rootTag;
};

/** The product processor allowed four outputs, more than it meters. */
class QuadOutputProcessor : public RedeVaPlugin
{
public:
    QuadOutputProcessor()
    {
        BusesLayout layout;
        layout.inputBuses.add (juce::AudioChannelSet::stereo());
        layout.outputBuses.add (juce::AudioChannelSet::quadraphonic());
        setBusesLayout (layout);
    }

    bool isBusesLayoutSupported (const BusesLayout&) const override { return true; }
};

std::unique_ptr<RedeVaAudioProcessorEditor> openEditor (KA::PluginProcessor& processor)
{
    auto* editor = dynamic_cast<RedeVaAudioProcessorEditor*> (processor.createEditorIfNeeded());
    return std::unique_ptr<RedeVaAudioProcessorEditor> (editor);
}

struct EditorFixture : public ::testing::Test
{
    void TearDown() override
    {
        if (editor != nullptr)
            processor.editorBeingDeleted (editor.get());
        editor.reset();
    }

    RedeVaEditor& panel() { return *dynamic_cast<RedeVaEditor*> (editor->getEditorView()); }

    /** Controls by component ID and image name ("" when the image is the ID's). */
    std::map<std::pair<juce::String, juce::String>, juce::Component*> controls()
    {
        std::map<std::pair<juce::String, juce::String>, juce::Component*> found;
        for (int i = 0; i < panel().getNumControls(); ++i)
        {
            auto* c = panel().getControl (i);
            auto* ref = dynamic_cast<KA::ImageRef*> (c);
            const auto image = ref != nullptr && ref->imageName != c->getComponentID() ? ref->imageName : juce::String();
            found[{ c->getComponentID(), image }] = c;
        }
        return found;
    }

    juce::RangedAudioParameter& parameter (const juce::String& id) { return *processor.parameters.getParameter (id); }
    float value (const juce::String& id) { return processor.parameters.getRawParameterValue (id)->load(); }

    RedeVaPlugin processor;
    std::unique_ptr<RedeVaAudioProcessorEditor> editor { openEditor (processor) };
};

TEST_F (EditorFixture, CreateEditorBuildsTheProductEditorAtTheDefaultSize)
{
    ASSERT_NE (editor, nullptr);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_EQ (editor->getWidth(), 690);
    EXPECT_EQ (editor->getHeight(), 284);
    EXPECT_EQ (editor->getEditorView()->getBounds(), Rect (0, 0, 375, 146));
    EXPECT_EQ (editor->getEditorView()->image.getWidth(), 750);
    EXPECT_EQ (editor->getEditorView()->image.getHeight(), 291);
    EXPECT_FLOAT_EQ (editor->getEditorView()->imageScale, 2.0f);
    EXPECT_EQ (editor->backgroundImage.getWidth(), 750);
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &editor->getSeriesLookAndFeel());
}

TEST_F (EditorFixture, EveryControlAtItsPlaceInDesignUnits)
{
    const std::map<std::pair<juce::String, juce::String>, Rect> expected {
        { { "InputTrimmer", "" }, { 32, 19, 25, 25 } },
        { { "OutputTrimmer", "" }, { 320, 19, 25, 25 } },
        { { "AnalogPower", "" }, { 282, 120, 18, 18 } },
        { { "AnalogPower", "Led_png" }, { 298, 112, 10, 10 } },
        { { "power", "" }, { 310, 114, 25, 25 } },
        { { "power", "Led_png" }, { 333, 116, 20, 20 } },
        { { "Level", "" }, { 74, 32, 38, 78 } },
        { { "50Hz", "" }, { 102, 32, 38, 78 } },
        { { "120Hz", "" }, { 130, 32, 38, 78 } },
        { { "400Hz", "" }, { 158, 32, 38, 78 } },
        { { "500Hz", "" }, { 187, 32, 38, 78 } },
        { { "800Hz", "" }, { 215, 32, 38, 78 } },
        { { "4e5kHz", "" }, { 243, 32, 38, 78 } },
        { { "10kHz", "" }, { 271, 32, 38, 78 } },
    };

    const auto found = controls();
    ASSERT_EQ (found.size(), expected.size());
    for (auto& [key, bounds] : expected)
    {
        ASSERT_EQ (found.count (key), 1u) << key.first << " " << key.second;
        EXPECT_EQ (found.at (key)->getBounds(), bounds) << key.first << " " << key.second;
        EXPECT_TRUE (panel().isControlBound (found.at (key))) << key.first;
    }

    EXPECT_EQ (panel().inputLevelMeter.getBounds(), Rect (31, 44, 18, 62));
    EXPECT_EQ (panel().outputLevelMeter.getBounds(), Rect (320, 44, 18, 62));
    EXPECT_EQ (panel().inputLevelMeter.getNumChannels(), 2);
    EXPECT_EQ (panel().outputLevelMeter.getNumChannels(), 2);
    EXPECT_EQ (panel().inputLevelMeter.backgroundColour, juce::Colour (0x00000000));
    EXPECT_EQ (panel().outputLevelMeter.barGap, 2);

    const std::pair<const char*, int> labels[] = { { "Level", 74 }, { "50Hz", 102 }, { "120Hz", 131 }, { "400Hz", 159 },
                                                    { "500Hz", 187 }, { "800Hz", 215 }, { "4e5kHz", 243 }, { "10kHz", 271 } };
    ASSERT_EQ (panel().getNumValueLabels(), 8);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (panel().getValueLabelParameterID (i), labels[i].first);
        EXPECT_EQ (panel().getValueLabel (i).getBounds(), Rect (labels[i].second, 101, 28, 8)) << labels[i].first;
        EXPECT_TRUE (panel().getValueLabel (i).isEditableOnSingleClick());
        EXPECT_EQ (panel().getValueLabel (i).getJustificationType().getFlags(), juce::Justification::centred) << labels[i].first;
    }
}

TEST_F (EditorFixture, ControlsSitInWindowPixelsThroughTheViewScale)
{
    // Level fader's top-left (74, 32) at 690 x 284: scale 240 / 145.5, origin (35.72, 44).
    const double scale = 240.0 / 145.5;
    const double originX = (690.0 - 375.0 * scale) / 2.0;
    auto* level = controls().at ({ "Level", "" });
    const auto inEditor = editor->getLocalArea (level, level->getLocalBounds().toFloat());
    EXPECT_NEAR (inEditor.getX(), originX + 74.0 * scale, 1e-2);
    EXPECT_NEAR (inEditor.getY(), 44.0 + 32.0 * scale, 1e-2);
    EXPECT_NEAR (inEditor.getWidth(), 38.0 * scale, 1e-2);
}

/** A left-button press at the middle of a component, as the mouse delivers it. */
juce::MouseEvent pressInside (juce::Component& c)
{
    const auto centre = c.getLocalBounds().getCentre().toFloat();
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), centre,
             juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), juce::MouseInputSource::defaultPressure,
             juce::MouseInputSource::defaultOrientation, juce::MouseInputSource::defaultRotation,
             juce::MouseInputSource::defaultTiltX, juce::MouseInputSource::defaultTiltY,
             &c, &c, now, centre, now, 1, false };
}

TEST_F (EditorFixture, FadersDrawACapAndDragRelativelyAndKnobsShowTheirValueWhileDragged)
{
    auto found = controls();

    for (auto* id : { "Level", "50Hz", "120Hz", "400Hz", "500Hz", "800Hz", "4e5kHz", "10kHz" })
    {
        auto* fader = dynamic_cast<KA::SliderEx*> (found.at ({ id, "" }));
        ASSERT_NE (fader, nullptr) << id;
        EXPECT_EQ (fader->getSliderStyle(), juce::Slider::LinearVertical) << id;
        EXPECT_TRUE (fader->drawAsThumb) << id;
        EXPECT_FALSE (fader->getSliderSnapsToMousePosition()) << id;
        EXPECT_EQ (fader->getMouseDragSensitivity(), 65) << id;
    }

    for (auto* id : { "InputTrimmer", "OutputTrimmer" })
    {
        auto* knob = dynamic_cast<KA::SliderEx*> (found.at ({ id, "" }));
        ASSERT_NE (knob, nullptr) << id;
        EXPECT_EQ (knob->getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag) << id;
        EXPECT_EQ (knob->getCurrentPopupDisplay(), nullptr) << id;

        // The bubble appears with the press, inside the panel rather than on the desktop.
        const auto press = pressInside (*knob);
        knob->mouseDown (press);
        auto* bubble = knob->getCurrentPopupDisplay();
        ASSERT_NE (bubble, nullptr) << id;
        EXPECT_EQ (bubble->getParentComponent(), &panel()) << id;
        EXPECT_TRUE (bubble->isVisible()) << id;
        knob->mouseUp (press);
    }
}

/** Paints a component alone and counts the pixels it covered. */
int paintedPixels (juce::Component& c)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, c.getWidth()), juce::jmax (1, c.getHeight()), true);
    {
        juce::Graphics g (image);
        c.paintEntireComponent (g, false);
    }

    int painted = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            painted += image.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;
    return painted;
}

TEST_F (EditorFixture, EveryControlOfThePanelDrawsItsImage)
{
    // A control whose image name has no image in the look-and-feel is invisible.
    ASSERT_EQ (panel().getNumControls(), 14);
    for (int i = 0; i < panel().getNumControls(); ++i)
    {
        auto* control = panel().getControl (i);
        const auto* ref = dynamic_cast<KA::ImageRef*> (control);
        const auto name = control->getComponentID() + " " + (ref != nullptr ? ref->imageName : juce::String());
        EXPECT_GT (paintedPixels (*control), control->getWidth() * control->getHeight() / 10) << name;

        // Switches show something in both states.
        if (auto* button = dynamic_cast<juce::Button*> (control))
        {
            const auto state = button->getToggleState();
            button->setToggleState (! state, juce::dontSendNotification);
            EXPECT_GT (paintedPixels (*control), control->getWidth() * control->getHeight() / 10) << name << " toggled";
            button->setToggleState (state, juce::dontSendNotification);
        }
    }
}

TEST_F (EditorFixture, ControlsFollowTheParametersAndSetThem)
{
    auto found = controls();

    const char* sliders[] = { "InputTrimmer", "OutputTrimmer", "Level", "50Hz", "120Hz", "400Hz", "500Hz", "800Hz", "4e5kHz", "10kHz" };
    for (auto* id : sliders)
    {
        auto* slider = dynamic_cast<juce::Slider*> (found.at ({ id, "" }));
        ASSERT_NE (slider, nullptr) << id;

        parameter (id).setValueNotifyingHost (parameter (id).convertTo0to1 (-7.5f));
        EXPECT_NEAR (slider->getValue(), -7.5, 1e-4) << id;

        slider->setValue (4.2, juce::sendNotificationSync);
        EXPECT_NEAR (value (id), 4.2f, 1e-4f) << id;
    }

    for (auto* id : { "AnalogPower", "power" })
    {
        auto* button = dynamic_cast<juce::Button*> (found.at ({ id, "" }));
        auto* led = dynamic_cast<juce::Button*> (found.at ({ id, "Led_png" }));
        ASSERT_NE (button, nullptr);
        ASSERT_NE (led, nullptr);

        parameter (id).setValueNotifyingHost (0.0f);
        EXPECT_FALSE (button->getToggleState()) << id;
        EXPECT_FALSE (led->getToggleState()) << id;

        button->triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        EXPECT_EQ (value (id), 1.0f) << id;
        EXPECT_TRUE (led->getToggleState()) << id;

        led->triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        EXPECT_EQ (value (id), 0.0f) << id;
        EXPECT_FALSE (button->getToggleState()) << id;
    }
}

TEST (SeriesPanel, OtherSeriesMembersHaveNoAnalogPowerSwitch)
{
    for (auto* tag : { "DRHowler", "DRGrit", "DRRoreRurediriz", "drhowler" })
    {
        SeriesMemberProcessor processor (tag);
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        auto* panel = dynamic_cast<DRBaseEditor*> (static_cast<KA::PluginEditor*> (editor.get())->getEditorView());
        ASSERT_NE (panel, nullptr);

        int analogPower = 0, power = 0;
        for (int i = 0; i < panel->getNumControls(); ++i)
        {
            analogPower += panel->getControl (i)->getComponentID() == "AnalogPower" ? 1 : 0;
            power += panel->getControl (i)->getComponentID() == "power" ? 1 : 0;
        }

        // The comparison is exact: only the two tags as written lose the switch.
        const auto expectSwitch = juce::String (tag) != "DRHowler" && juce::String (tag) != "DRGrit";
        EXPECT_EQ (analogPower, expectSwitch ? 2 : 0) << tag;
        EXPECT_EQ (power, 2) << tag;
        processor.editorBeingDeleted (editor.get());
    }
}

TEST_F (EditorFixture, ReadoutsShowValueAndUnit)
{
    parameter ("Level").setValueNotifyingHost (parameter ("Level").convertTo0to1 (3.5f));
    parameter ("50Hz").setValueNotifyingHost (0.0f);
    parameter ("10kHz").setValueNotifyingHost (1.0f);
    panel().timerCallback();

    EXPECT_EQ (panel().getValueLabel (0).getText(), "3.5 dB");
    EXPECT_EQ (panel().getValueLabel (1).getText(), "-15.0 dB");
    EXPECT_EQ (panel().getValueLabel (7).getText(), "15.0 dB");

    parameter ("Level").setValueNotifyingHost (0.0f);
    panel().timerCallback();
    EXPECT_EQ (panel().getValueLabel (0).getText(), "-oo dB");
}

TEST_F (EditorFixture, WidestReadoutsAreDrawnWhole)
{
    parameter ("Level").setValueNotifyingHost (parameter ("Level").convertTo0to1 (-100.0f));
    parameter ("50Hz").setValueNotifyingHost (0.0f);
    panel().timerCallback();

    for (auto [index, text] : { std::pair (0, "-100.0 dB"), std::pair (1, "-15.0 dB") })
    {
        ASSERT_EQ (panel().getValueLabel (index).getText(), text);
        EXPECT_TRUE (KA::Test::drawsWhole (panel().getValueLabel (index), text));
    }
}

TEST_F (EditorFixture, ReadoutBeingEditedIsLeftAlone)
{
    auto& label = panel().getValueLabel (2);
    label.showEditor();
    ASSERT_TRUE (label.isBeingEdited());
    label.getCurrentTextEditor()->setText ("12", false);

    parameter ("120Hz").setValueNotifyingHost (parameter ("120Hz").convertTo0to1 (-3.0f));
    panel().timerCallback();
    EXPECT_EQ (label.getCurrentTextEditor()->getText(), "12");

    label.hideEditor (false);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_NEAR (value ("120Hz"), 12.0f, 1e-4f);
    panel().timerCallback();
    EXPECT_EQ (label.getText(), "12.0 dB");
}

/** Types text into a readout the way the label reports an edit. */
void type (juce::Label& label, const juce::String& text)
{
    label.setText (text, juce::sendNotificationSync);
}

TEST_F (EditorFixture, TypedTextIsReadAsALeadingNumberAndClamped)
{
    auto& level = panel().getValueLabel (0);
    auto& band = panel().getValueLabel (1);

    type (level, "3.5 dB");
    EXPECT_NEAR (value ("Level"), 3.5f, 1e-4f);

    type (band, "-7.26dB");
    EXPECT_NEAR (value ("50Hz"), -7.3f, 1e-4f); // the range's 0.1 step

    type (band, "gain");
    EXPECT_EQ (value ("50Hz"), 0.0f);

    type (level, "99");
    EXPECT_EQ (value ("Level"), 12.0f);
    type (level, "-1e9");
    EXPECT_EQ (value ("Level"), -120.0f);
    type (band, "1e30");
    EXPECT_EQ (value ("50Hz"), 15.0f);

    // Level's range has 0 dB in the middle of its travel.
    type (level, "0");
    EXPECT_NEAR (parameter ("Level").getValue(), 0.5f, 1e-4f);
}

TEST_F (EditorFixture, NonFiniteTextIsRefused)
{
    auto& band = panel().getValueLabel (3);
    type (band, "4");
    ASSERT_NEAR (value ("400Hz"), 4.0f, 1e-4f);

    for (auto* text : { "nan", "NaN dB", "inf", "-inf", "infinity", "1e999", "-1e999" })
    {
        type (band, text);
        EXPECT_NEAR (value ("400Hz"), 4.0f, 1e-4f) << text;
        EXPECT_TRUE (std::isfinite (parameter ("400Hz").getValue())) << text;
    }

    panel().timerCallback();
    EXPECT_EQ (band.getText(), "4.0 dB");
}

/** Expected meter position for a linear level on the -54..0 dB scale. */
double meterPosition (float level)
{
    if (level <= 0.0f)
        return 0.0;
    const double db = 20.0 * std::log10 ((double) level);
    return std::clamp ((db + 54.0) / 54.0, 0.0, 1.0);
}

void runBlock (RedeVaPlugin& processor, float left, float right, int frames = 512)
{
    juce::AudioBuffer<float> buffer (2, frames);
    for (int i = 0; i < frames; ++i)
    {
        buffer.setSample (0, i, left * std::sin (0.05f * (float) i));
        buffer.setSample (1, i, right * std::sin (0.05f * (float) i));
    }
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
}

TEST_F (EditorFixture, MetersFollowTheLevelsAndFallWhenTheyStandStill)
{
    processor.prepareToPlay (48000.0, 512);
    runBlock (processor, 0.5f, 0.05f);

    const float in0 = processor.inputMeter.getLevel (0), in1 = processor.inputMeter.getLevel (1);
    const float out0 = processor.outputMeter.getLevel (0), out1 = processor.outputMeter.getLevel (1);
    ASSERT_GT (in0, 0.0f);
    ASSERT_GT (in1, 0.0f);
    ASSERT_GT (out0, 0.0f);

    panel().timerCallback();
    EXPECT_NEAR (panel().inputLevelMeter.getChannelLevel (0), meterPosition (in0), 1e-4);
    EXPECT_NEAR (panel().inputLevelMeter.getChannelLevel (1), meterPosition (in1), 1e-4);
    EXPECT_NEAR (panel().outputLevelMeter.getChannelLevel (0), meterPosition (out0), 1e-4);
    EXPECT_NEAR (panel().outputLevelMeter.getChannelLevel (1), meterPosition (out1), 1e-4);
    EXPECT_GT (panel().inputLevelMeter.getChannelLevel (0), panel().inputLevelMeter.getChannelLevel (1));

    // No audio since the last tick: the same levels read again show as silence.
    panel().timerCallback();
    for (int c = 0; c < 2; ++c)
    {
        EXPECT_EQ (panel().inputLevelMeter.getChannelLevel (c), 0.0f);
        EXPECT_EQ (panel().outputLevelMeter.getChannelLevel (c), 0.0f);
    }

    runBlock (processor, 0.25f, 0.25f);
    panel().timerCallback();
    EXPECT_NEAR (panel().inputLevelMeter.getChannelLevel (0), meterPosition (processor.inputMeter.getLevel (0)), 1e-4);
}

TEST_F (EditorFixture, MeterTimerRunsEvery100Milliseconds)
{
    EXPECT_TRUE (panel().isTimerRunning());
    EXPECT_EQ (panel().getTimerInterval(), 100);

    parameter ("800Hz").setValueNotifyingHost (parameter ("800Hz").convertTo0to1 (6.0f));
    juce::MessageManager::getInstance()->runDispatchLoopUntil (250);
    EXPECT_EQ (panel().getValueLabel (5).getText(), "6.0 dB");
}

TEST (SeriesPanel, MoreOutputsThanMeteredChannelsReadOnlyTheMeteredOnes)
{
    QuadOutputProcessor processor;
    ASSERT_EQ (processor.getTotalNumOutputChannels(), 4);
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto* panel = dynamic_cast<DRBaseEditor*> (static_cast<KA::PluginEditor*> (editor.get())->getEditorView());
    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (panel->outputLevelMeter.getNumChannels(), 4);

    processor.inputMeter.processInterleaved (std::array<float, 2> { 0.5f, 0.5f }.data(), 1);
    panel->timerCallback();
    EXPECT_GT (panel->inputLevelMeter.getChannelLevel (0), 0.0f);
    EXPECT_EQ (panel->outputLevelMeter.getChannelLevel (2), 0.0f);
    EXPECT_EQ (panel->outputLevelMeter.getChannelLevel (3), 0.0f);
    processor.editorBeingDeleted (editor.get());
}

TEST (SeriesEditor, MailFormOfferedUntilTurnedOff)
{
    juce::PropertySet settings;
    EXPECT_TRUE (DRBaseAudioProcessorEditor::shouldOfferMailForm (&settings)); // never answered yet
    settings.setValue (KA::GlobalStrings::showMailForm, true);
    EXPECT_TRUE (DRBaseAudioProcessorEditor::shouldOfferMailForm (&settings));
    settings.setValue (KA::GlobalStrings::showMailForm, false);
    EXPECT_FALSE (DRBaseAudioProcessorEditor::shouldOfferMailForm (&settings));
    settings.removeValue (KA::GlobalStrings::showMailForm);
    EXPECT_TRUE (DRBaseAudioProcessorEditor::shouldOfferMailForm (&settings));

    // Without settings nothing was ever turned off.
    EXPECT_TRUE (DRBaseAudioProcessorEditor::shouldOfferMailForm (nullptr));
}

TEST (SeriesEditor, MailFormChoiceSurvivesInTheGlobalSettingsFile)
{
    {
        RedeVaPlugin processor;
        auto* settings = processor.globalSettings->getUserSettings();
        EXPECT_TRUE (DRBaseAudioProcessorEditor::shouldOfferMailForm (settings));
        settings->setValue (KA::GlobalStrings::showMailForm, false);
        ASSERT_TRUE (settings->saveIfNeeded());
    }

    RedeVaPlugin reopened;
    auto* settings = reopened.globalSettings->getUserSettings();
    EXPECT_FALSE (DRBaseAudioProcessorEditor::shouldOfferMailForm (settings));

    // Leave the shared file as a fresh install has it.
    settings->removeValue (KA::GlobalStrings::showMailForm);
    EXPECT_TRUE (settings->saveIfNeeded());
}

TEST (SeriesPanel, ReadoutWithoutParameterIsNeitherRefreshedNorSetsAnything)
{
    RedeVaPlugin processor;
    DRBaseEditor panel (nullptr, processor);
    panel.addValueLabel ("NoSuchParameter", 10);
    panel.addValueLabel ("Level", 40);
    ASSERT_EQ (panel.getNumValueLabels(), 2);

    panel.getValueLabel (0).setText ("typed", juce::dontSendNotification);
    panel.timerCallback();
    EXPECT_EQ (panel.getValueLabel (0).getText(), "typed");
    EXPECT_NE (panel.getValueLabel (1).getText(), "");

    const auto level = processor.parameters.getRawParameterValue ("Level")->load();
    panel.getValueLabel (0).setText ("5", juce::sendNotificationSync);
    EXPECT_EQ (processor.parameters.getRawParameterValue ("Level")->load(), level);
    EXPECT_EQ (panel.getValueLabel (0).getText(), "5");

    panel.getValueLabel (1).setText ("5", juce::sendNotificationSync);
    EXPECT_NEAR (processor.parameters.getRawParameterValue ("Level")->load(), 5.0f, 1e-4f);
}
} // namespace
