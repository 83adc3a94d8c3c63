#pragma once

#include "ui/lookandfeel/DRLookAndFeel.h"
#include "ui/editor/PluginEditor.h"

#include <memory>

/** The editor layer every product of the series shares: the series
    look-and-feel with its images, the default size of 690 x 284 and the
    mailing-list form at start-up until the user turns it off. */
class DRBaseAudioProcessorEditor : public KA::PluginEditor
{
public:
    static constexpr int defaultWidth = 690;
    static constexpr int defaultHeight = 284;

    explicit DRBaseAudioProcessorEditor (KA::PluginProcessor& processor);
    ~DRBaseAudioProcessorEditor() override;

    /** The arguments are not used: the series has its own default size. */
    void init (int width, int height) override;

    /** The series' side menu (built with the menu, in ui/sidemenu). */
    std::unique_ptr<juce::Component> createSideView() override;

    DRLookAndFeel& getSeriesLookAndFeel() const noexcept { return *seriesLookAndFeel; }

    /** Whether to offer the mailing-list form at start-up: yes until the user
        has turned it off, which includes settings that cannot be had. */
    static bool shouldOfferMailForm (const juce::PropertySet* globalSettings);

protected:
    std::unique_ptr<DRLookAndFeel> seriesLookAndFeel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DRBaseAudioProcessorEditor)
};
