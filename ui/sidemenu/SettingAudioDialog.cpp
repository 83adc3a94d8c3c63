#include "ui/sidemenu/SettingAudioDialog.h"

#include <limits>

namespace KA
{
void SettingDialogComponent::resized()
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    getView()->setBounds (juce::roundToInt (0.05f * w), juce::roundToInt (0.05f * h),
                          juce::roundToInt (0.9f * w), juce::roundToInt (0.9f * h));
}

//==============================================================================
SettingAudioDialog::SettingAudioDialog()
    : ManageDialogComponent (*this, &getLookAndFeel())
{
}

SettingAudioDialog::~SettingAudioDialog()
{
    deviceSelector.reset();
    frame.reset();
}

SettingAudioDialog::ChannelLimits SettingAudioDialog::getChannelLimits (const juce::Array<SettingsPluginInOuts>& channels,
                                                                        const juce::AudioProcessor* processor)
{
    auto minIn = std::numeric_limits<int>::max(), maxIn = 0;
    auto minOut = std::numeric_limits<int>::max(), maxOut = 0;

    if (! channels.isEmpty())
    {
        const auto& first = channels.getReference (0);
        minIn = first.numIns;
        maxIn = juce::jmax ((int) first.numIns, 0);
        minOut = first.numOuts;
        maxOut = juce::jmax ((int) first.numOuts, 0);
    }

    if (processor != nullptr)
    {
        if (auto* bus = processor->getBus (true, 0))
        {
            const auto n = bus->getDefaultLayout().size();
            minIn = juce::jmin (minIn, n);
            maxIn = juce::jmax (maxIn, n);
        }

        if (auto* bus = processor->getBus (false, 0))
        {
            const auto n = bus->getDefaultLayout().size();
            minOut = juce::jmin (minOut, n);
            maxOut = juce::jmax (maxOut, n);
        }
    }

    return { juce::jmin (minIn, maxIn), maxIn, juce::jmin (minOut, maxOut), maxOut };
}

void SettingAudioDialog::init (juce::AudioDeviceManager& deviceManager,
                               const juce::Array<SettingsPluginInOuts>& channels,
                               const juce::AudioProcessor* processor)
{
    const auto limits = getChannelLimits (channels, processor);
    deviceSelector = std::make_unique<juce::AudioDeviceSelectorComponent> (deviceManager,
                                                                           limits.minInputs, limits.maxInputs,
                                                                           limits.minOutputs, limits.maxOutputs,
                                                                           true, false, false, false);

    auto scroller = std::make_unique<juce::Viewport>();
    scroller->setScrollBarsShown (true, false);
    scroller->setViewedComponent (deviceSelector.get(), false);
    viewport = scroller.get();

    frame = std::make_unique<SettingDialogComponent> (std::move (scroller), "Ok", juce::String(), juce::String(), 1, this,
                                                      [] (void* dialog, void*, int)
                                                      {
                                                          static_cast<SettingAudioDialog*> (dialog)->setVisible (false);
                                                      });
    addAndMakeVisible (*frame);
    resized();
}

void SettingAudioDialog::lookAndFeelChanged()
{
    setDialogLookAndFeel (&getLookAndFeel());

    if (auto* dialog = getCurrentDialog())
        dialog->setLookAndFeel (&getLookAndFeel());
}

void SettingAudioDialog::resized()
{
    const auto bounds = getLocalBounds();

    if (frame != nullptr)
        frame->setBounds (bounds);

    if (deviceSelector != nullptr && viewport != nullptr)
        deviceSelector->setBounds (0, 0, viewport->getWidth(), viewport->getHeight());

    if (auto* dialog = getCurrentDialog())
        dialog->setBounds (bounds);
}
} // namespace KA
