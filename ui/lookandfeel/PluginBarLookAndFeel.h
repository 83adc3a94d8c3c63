#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA
{
/** The dark colour scheme, fonts, embedded typeface, file-browser layout and
    title-bar buttons shared by every look-and-feel of the editor. */
class PluginBarLookAndFeel : public juce::LookAndFeel_V4
{
public:
    PluginBarLookAndFeel();

    /** The typeface embedded in the program, created once per process. */
    static juce::Typeface::Ptr getEmbeddedTypeface();

    /** Makes this JUCE's default look-and-feel and drops the typefaces JUCE
        resolved through the previous default, so that every font, including
        those already used, comes out in the embedded face. */
    void installAsDefault();

    int getDefaultScrollbarWidth() override;
    juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;
    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    void layoutFileBrowserComponent (juce::FileBrowserComponent&, juce::DirectoryContentsDisplayComponent*,
                                     juce::FilePreviewComponent*, juce::ComboBox* currentPathBox,
                                     juce::TextEditor* filenameBox, juce::Button* goUpButton) override;
    juce::Font getPopupMenuFont() override;
    juce::Font getLabelFont (juce::Label&) override;
    juce::Button* createDocumentWindowButton (int buttonType) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginBarLookAndFeel)
};
} // namespace KA
