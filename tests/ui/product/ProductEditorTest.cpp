#include "app/RedeVaPlugin.h"
#include "tests/common/MessageLoop.h"
#include "engine/GlobalStrings.h"
#include "tests/ui/support/DrawnText.h"
#include "ui/product/DRBaseEditor.h"
#include "ui/product/RedeVaAudioProcessorEditor.h"
#include "ui/product/RedeVaEditor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using KA::Test::runFor;
/** The product processor with another series member's root tag, or more outputs than it meters. */
struct VariantProcessor : public RedeVaPlugin
{
    explicit VariantProcessor (juce::String tag, bool quadOutput = false) : rootTag (std::move (tag))
    {
        if (quadOutput)
            setBusesLayout ({ { juce::AudioChannelSet::stereo() }, { juce::AudioChannelSet::quadraphonic() } });
    }
    juce::String getStateRootTag() const override { return rootTag; }
    bool isBusesLayoutSupported (const BusesLayout&) const override { return true; }
    juce::String rootTag;
};

/** The editor a processor makes, closed as a host closes it. */
struct OpenEditor
{
    explicit OpenEditor (KA::PluginProcessor& p) : processor (p), editor (p.createEditorIfNeeded()) {}
    ~OpenEditor() { processor.editorBeingDeleted (editor.get()); }
    DRBaseEditor& panel() { return *dynamic_cast<DRBaseEditor*> (static_cast<KA::PluginEditor*> (editor.get())->getEditorView()); }

    KA::PluginProcessor& processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
};

struct EditorFixture : public ::testing::Test
{
    DRBaseEditor& panel() { return open.panel(); }

    /** The control of that ID drawing the named image (the ID's own when none is named). */
    template <typename Type>
    Type* control (const juce::String& id, juce::String image = {})
    {
        for (int i = 0; i < panel().getNumControls(); ++i)
            if (auto* c = panel().getControl (i); c->getComponentID() == id && dynamic_cast<KA::ImageRef*> (c)->imageName == (image.isEmpty() ? id : image))
                return dynamic_cast<Type*> (c);
        return nullptr;
    }

    juce::RangedAudioParameter& parameter (const juce::String& id) { return *processor.parameters.getParameter (id); }
    void set (const juce::String& id, float real) { parameter (id).setValueNotifyingHost (parameter (id).convertTo0to1 (real)); }
    float value (const juce::String& id) { return processor.parameters.getRawParameterValue (id)->load(); }

    RedeVaPlugin processor;
    OpenEditor open { processor };
};

const char* const faderIDs[] = { "Level", "50Hz", "120Hz", "400Hz", "500Hz", "800Hz", "4e5kHz", "10kHz" };

// Where each control sits and how it looks at rest is in the reviewed editor picture.
TEST_F (EditorFixture, EveryControlIsBoundAndSwitchesDrawTheirOtherState)
{
    auto* editor = dynamic_cast<RedeVaAudioProcessorEditor*> (open.editor.get());
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 690, 284));
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &editor->getSeriesLookAndFeel());

    // Ten sliders and two switches, each with its LED.
    ASSERT_EQ (panel().getNumControls(), 14);
    for (int i = 0; i < panel().getNumControls(); ++i)
    {
        auto* control = panel().getControl (i);
        EXPECT_TRUE (panel().isControlBound (control)) << control->getComponentID();
        if (auto* button = dynamic_cast<juce::Button*> (control))
        {
            button->setToggleState (! button->getToggleState(), juce::dontSendNotification);
            const auto image = button->createComponentSnapshot (button->getLocalBounds(), false);
            int painted = 0;
            for (int y = 0; y < image.getHeight(); ++y)
                for (int x = 0; x < image.getWidth(); ++x)
                    painted += image.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;
            EXPECT_GT (painted, image.getWidth() * image.getHeight() / 10) << control->getComponentID() << " toggled";
        }
    }
    ASSERT_EQ (panel().getNumValueLabels(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE (panel().getValueLabelParameterID (i) == faderIDs[i] && panel().getValueLabel (i).isEditableOnSingleClick()) << i;
}

/** The left button at the middle of a component moved by an offset since it went down, as the mouse delivers it. */
juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> offset = {})
{
    const auto centre = c.getLocalBounds().getCentre().toFloat();
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), centre + offset,
             juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), juce::MouseInputSource::defaultPressure,
             juce::MouseInputSource::defaultOrientation, juce::MouseInputSource::defaultRotation,
             juce::MouseInputSource::defaultTiltX, juce::MouseInputSource::defaultTiltY,
             &c, &c, now, centre, now, 1, offset != juce::Point<float>() };
}

TEST_F (EditorFixture, ControlsFollowTheParametersAndSetThem)
{
    for (auto* id : { "InputTrimmer", "OutputTrimmer", "Level", "50Hz", "120Hz", "400Hz", "500Hz", "800Hz", "4e5kHz", "10kHz" })
    {
        auto* slider = control<KA::SliderEx> (id);
        ASSERT_NE (slider, nullptr) << id;
        set (id, -7.5f);
        EXPECT_NEAR (slider->getValue(), -7.5, 1e-4) << id;
        slider->setValue (4.2, juce::sendNotificationSync);
        EXPECT_NEAR (value (id), 4.2f, 1e-4f) << id;

        // Faders draw a cap and move by a full travel per 65 pixels dragged, wherever they
        // are grabbed; knobs show a bubble inside the panel while pressed.
        const bool fader = slider->getSliderStyle() == juce::Slider::LinearVertical;
        EXPECT_EQ (fader, ! juce::String (id).endsWith ("Trimmer")) << id;
        EXPECT_EQ (slider->drawAsThumb, fader) << id;
        if (fader)
            slider->setValue (slider->getMinimum(), juce::sendNotificationSync);
        const auto press = mouseAt (*slider);
        slider->mouseDown (press);
        if (fader)
        {
            slider->mouseDrag (mouseAt (*slider, { 0.0f, -52.0f }));
            EXPECT_NEAR (slider->valueToProportionOfLength (slider->getValue()), 0.8, 0.004) << id;
        }
        else
        {
            ASSERT_NE (slider->getCurrentPopupDisplay(), nullptr) << id;
            EXPECT_EQ (slider->getCurrentPopupDisplay()->getParentComponent(), &panel()) << id;
        }
        slider->mouseUp (press);
    }

    for (auto* id : { "AnalogPower", "power" })
    {
        auto* button = control<juce::Button> (id);
        auto* led = control<juce::Button> (id, "Led_png");
        ASSERT_TRUE (button != nullptr && led != nullptr) << id;

        parameter (id).setValueNotifyingHost (0.0f);
        EXPECT_FALSE (button->getToggleState() || led->getToggleState()) << id;
        button->triggerClick();
        runFor (20);
        EXPECT_EQ (value (id), 1.0f) << id;
        EXPECT_TRUE (led->getToggleState()) << id;
        led->triggerClick();
        runFor (20);
        EXPECT_EQ (value (id), 0.0f) << id;
        EXPECT_FALSE (button->getToggleState()) << id;
    }
}

TEST (SeriesPanel, OnlyTheTwoNamedSeriesMembersLoseTheAnalogPowerSwitch)
{
    for (auto* tag : { "DRHowler", "DRGrit", "DRRoreRurediriz", "drhowler" })
    {
        VariantProcessor processor (tag);
        OpenEditor open (processor);
        int analogPower = 0, power = 0;
        for (int i = 0; i < open.panel().getNumControls(); ++i)
        {
            analogPower += open.panel().getControl (i)->getComponentID() == "AnalogPower" ? 1 : 0;
            power += open.panel().getControl (i)->getComponentID() == "power" ? 1 : 0;
        }
        const auto expectSwitch = juce::String (tag) != "DRHowler" && juce::String (tag) != "DRGrit";
        EXPECT_EQ (analogPower, expectSwitch ? 2 : 0) << tag;
        EXPECT_EQ (power, 2) << tag;
    }
}

TEST_F (EditorFixture, ReadoutsShowValueAndUnitAndTakeTypedNumbers)
{
    set ("Level", 3.5f);
    parameter ("50Hz").setValueNotifyingHost (0.0f);
    parameter ("Level").setValueNotifyingHost (0.0f);
    parameter ("10kHz").setValueNotifyingHost (1.0f);
    set ("800Hz", 6.0f);

    // The panel's own 100 ms timer refreshes them.
    EXPECT_EQ (panel().getTimerInterval(), 100);
    runFor (250);
    EXPECT_EQ (panel().getValueLabel (0).getText(), "-oo dB");
    EXPECT_EQ (panel().getValueLabel (1).getText(), "-15.0 dB");
    EXPECT_EQ (panel().getValueLabel (5).getText(), "6.0 dB");
    EXPECT_EQ (panel().getValueLabel (7).getText(), "15.0 dB");

    // A leading number, snapped to the range's step and clamped; anything else leaves the value.
    auto type = [this] (int label, const char* text) { panel().getValueLabel (label).setText (text, juce::sendNotificationSync); };
    const struct { int label; const char* text; const char* id; float expected; } cases[] = {
        { 0, "3.5 dB", "Level", 3.5f }, { 1, "-7.26dB", "50Hz", -7.3f }, { 1, "gain", "50Hz", 0.0f },
        { 0, "99", "Level", 12.0f },    { 0, "-1e9", "Level", -120.0f }, { 1, "1e30", "50Hz", 15.0f },
        { 3, "4", "400Hz", 4.0f },      { 3, "nan", "400Hz", 4.0f },     { 3, "NaN dB", "400Hz", 4.0f },
        { 3, "inf", "400Hz", 4.0f },    { 3, "-inf", "400Hz", 4.0f },    { 3, "1e999", "400Hz", 4.0f },
        { 3, "-1e999", "400Hz", 4.0f },
    };
    for (auto& c : cases)
    {
        type (c.label, c.text);
        EXPECT_NEAR (value (c.id), c.expected, 1e-4f) << c.text;
    }
    type (0, "0");
    EXPECT_NEAR (parameter ("Level").getValue(), 0.5f, 1e-4f);

    // The widest texts are drawn whole; a readout being edited is left alone.
    set ("Level", -100.0f);
    parameter ("50Hz").setValueNotifyingHost (0.0f);
    panel().timerCallback();
    EXPECT_EQ (panel().getValueLabel (3).getText(), "4.0 dB");
    for (auto [index, text] : { std::pair (0, "-100.0 dB"), std::pair (1, "-15.0 dB") })
    {
        ASSERT_EQ (panel().getValueLabel (index).getText(), text);
        EXPECT_TRUE (KA::Test::drawsWhole (panel().getValueLabel (index), text));
    }
    auto& label = panel().getValueLabel (2);
    label.showEditor();
    label.getCurrentTextEditor()->setText ("12", false);
    set ("120Hz", -3.0f);
    panel().timerCallback();
    EXPECT_EQ (label.getCurrentTextEditor()->getText(), "12");
    label.hideEditor (false);
    runFor (20);
    EXPECT_NEAR (value ("120Hz"), 12.0f, 1e-4f);
}

/** Meter position for a linear level on the -54..0 dB scale. */
double meterPosition (float level)
{
    return level <= 0.0f ? 0.0 : std::clamp ((20.0 * std::log10 ((double) level) + 54.0) / 54.0, 0.0, 1.0);
}

void runBlock (RedeVaPlugin& processor, float left, float right)
{
    juce::AudioBuffer<float> buffer (2, 512);
    for (int i = 0; i < 512; ++i)
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
    ASSERT_GT (processor.outputMeter.getLevel (0), 0.0f);

    panel().timerCallback();
    for (int c = 0; c < 2; ++c)
    {
        EXPECT_NEAR (panel().inputLevelMeter.getChannelLevel (c), meterPosition (processor.inputMeter.getLevel (c)), 1e-4);
        EXPECT_NEAR (panel().outputLevelMeter.getChannelLevel (c), meterPosition (processor.outputMeter.getLevel (c)), 1e-4);
    }
    EXPECT_GT (panel().inputLevelMeter.getChannelLevel (0), panel().inputLevelMeter.getChannelLevel (1));

    // No audio since the last tick: the same levels read again show as silence.
    panel().timerCallback();
    for (int c = 0; c < 2; ++c)
        EXPECT_EQ (panel().inputLevelMeter.getChannelLevel (c) + panel().outputLevelMeter.getChannelLevel (c), 0.0f);
}

TEST (SeriesPanel, MoreOutputsThanMeteredChannelsReadOnlyTheMeteredOnes)
{
    VariantProcessor processor ("DRRoreRurediriz", true);
    ASSERT_EQ (processor.getTotalNumOutputChannels(), 4);
    OpenEditor open (processor);
    EXPECT_EQ (open.panel().outputLevelMeter.getNumChannels(), 4);

    processor.inputMeter.processInterleaved (std::array<float, 2> { 0.5f, 0.5f }.data(), 1);
    open.panel().timerCallback();
    EXPECT_GT (open.panel().inputLevelMeter.getChannelLevel (0), 0.0f);
    EXPECT_EQ (open.panel().outputLevelMeter.getChannelLevel (2), 0.0f);
    EXPECT_EQ (open.panel().outputLevelMeter.getChannelLevel (3), 0.0f);
}

TEST (SeriesEditor, MailFormOfferedUntilTurnedOff)
{
    juce::PropertySet settings;
    EXPECT_TRUE (DRBaseAudioProcessorEditor::shouldOfferMailForm (nullptr));
    for (bool stored : { true, false })
    {
        settings.setValue (KA::GlobalStrings::showMailForm, stored);
        EXPECT_EQ (DRBaseAudioProcessorEditor::shouldOfferMailForm (&settings), stored);
    }
}

TEST (SeriesPanel, ReadoutWithoutParameterIsNeitherRefreshedNorSetsAnything)
{
    RedeVaPlugin processor;
    DRBaseEditor panel (nullptr, processor);
    panel.addValueLabel ("NoSuchParameter", 10);
    panel.addValueLabel ("Level", 40);

    panel.getValueLabel (0).setText ("typed", juce::dontSendNotification);
    panel.timerCallback();
    EXPECT_EQ (panel.getValueLabel (0).getText(), "typed");
    EXPECT_NE (panel.getValueLabel (1).getText(), "");

    panel.getValueLabel (0).setText ("5", juce::sendNotificationSync);
    EXPECT_EQ (processor.parameters.getRawParameterValue ("Level")->load(), 0.0f);

    for (int i = 0; i < 8; ++i) // room for the eight faders' readouts only
        panel.addValueLabel ("Level", 40);
    EXPECT_EQ (panel.getNumValueLabels(), 8);
}
} // namespace
