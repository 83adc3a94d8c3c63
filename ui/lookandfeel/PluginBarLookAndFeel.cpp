#include "ui/lookandfeel/PluginBarLookAndFeel.h"
#include "ui/lookandfeel/PluginBarLookAndFeel_DocumentWindowButton.h"
#include "ui/lookandfeel/TrueTypeFace.h"

#include "BinaryData.h"

namespace KA
{
namespace
{
/** Holds the embedded typeface for the whole process; released with JUCE's
    other shared objects when the GUI shuts down, so it never outlives the
    font engine it was made with. */
struct EmbeddedTypefaceHolder : private juce::DeletedAtShutdown
{
    EmbeddedTypefaceHolder()
        : typeface (createTrueTypeFace (BinaryData::tahoma_ttf, (size_t) BinaryData::tahoma_ttfSize))
    {
    }

    ~EmbeddedTypefaceHolder() override { clearSingletonInstance(); }

    juce::Typeface::Ptr typeface;

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL (EmbeddedTypefaceHolder)
};

JUCE_IMPLEMENT_SINGLETON (EmbeddedTypefaceHolder)
} // namespace

PluginBarLookAndFeel::PluginBarLookAndFeel()
{
    setColourScheme ({ 0xff010203u, 0xff010203u, 0xff010203u,
                       0xffe9e9e9u, 0xffe9e9e9u, 0x59909090u,
                       0xff010203u, 0xff909090u, 0xffe9e9e9u });

    setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xffff2f2f));
    setColour (juce::DirectoryContentsDisplayComponent::highlightColourId, juce::Colour (0xffff2f2f));

    // Typefaces resolved before the embedded one existed stay in JUCE's cache
    // otherwise, and the texts using them keep the system face.
    getEmbeddedTypeface();
    juce::Typeface::clearTypefaceCache();
}

juce::Typeface::Ptr PluginBarLookAndFeel::getEmbeddedTypeface()
{
    return EmbeddedTypefaceHolder::getInstance()->typeface;
}

void PluginBarLookAndFeel::installAsDefault()
{
    juce::LookAndFeel::setDefaultLookAndFeel (this);
    juce::Typeface::clearTypefaceCache();
}

int PluginBarLookAndFeel::getDefaultScrollbarWidth()
{
    return 10;
}

juce::Typeface::Ptr PluginBarLookAndFeel::getTypefaceForFont (const juce::Font&)
{
    return getEmbeddedTypeface();
}

void PluginBarLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                 const juce::Colour& backgroundColour, bool, bool isDown)
{
    const juce::Rectangle<float> area (0.5f, 0.5f,
                                       (float) juce::jmax (button.getWidth() - 1, 0),
                                       (float) juce::jmax (button.getHeight() - 1, 0));

    g.setColour (isDown ? backgroundColour.contrasting (0.2f) : backgroundColour);
    g.fillRect (area);
    g.setColour (button.findColour (juce::ComboBox::outlineColourId));
    g.drawRect (area, 1.0f);
}

void PluginBarLookAndFeel::layoutFileBrowserComponent (juce::FileBrowserComponent& browser,
                                                       juce::DirectoryContentsDisplayComponent* fileList,
                                                       juce::FilePreviewComponent* preview,
                                                       juce::ComboBox* currentPathBox,
                                                       juce::TextEditor* filenameBox,
                                                       juce::Button* goUpButton)
{
    const int x = 20, y = 5;
    auto w = juce::jmax (browser.getWidth() - 40, 0);
    const auto h = juce::jmax (browser.getHeight() - 10, 0);

    const auto top = juce::jmin (h, 22);
    const auto bottom = juce::jmin (h - top, 22);
    const auto middle = h - top - bottom;

    // The path box is never shown; the go-up button takes the top strip instead.
    if (currentPathBox != nullptr)
        currentPathBox->setBounds (0, 0, 0, 0);

    if (goUpButton != nullptr)
        goUpButton->setBounds (x, y, w, top);

    if (filenameBox != nullptr)
    {
        const auto indent = juce::jmin (w, 20);
        filenameBox->setBounds (x + indent, y + h - bottom, w - indent, bottom);
    }

    if (preview != nullptr)
    {
        const auto pw = w / 3;
        preview->setBounds (x + w - pw, top + 5, pw, middle);
        w -= pw;
    }

    if (fileList != nullptr)
        if (auto* listComponent = dynamic_cast<juce::Component*> (fileList))
            listComponent->setBounds (x, top + 15, juce::jmax (w, 0), juce::jmax (middle, 20) - 20);
}

juce::Font PluginBarLookAndFeel::getPopupMenuFont()
{
    return juce::Font (16.0f);
}

juce::Font PluginBarLookAndFeel::getLabelFont (juce::Label& label)
{
    return juce::Font (juce::jmin ((float) label.getHeight() * 0.8f, 16.0f));
}

juce::Button* PluginBarLookAndFeel::createDocumentWindowButton (int buttonType)
{
    constexpr float thickness = 0.15f;
    const juce::Colour white (0xffffffff);
    juce::Path shape;

    if (buttonType == juce::DocumentWindow::minimiseButton)
    {
        shape.addLineSegment ({ 0.0f, 0.5f, 1.0f, 0.5f }, thickness);
        return new PluginBarLookAndFeel_DocumentWindowButton ("minimise", white, shape, shape);
    }

    if (buttonType == juce::DocumentWindow::maximiseButton)
    {
        shape.addLineSegment ({ 0.5f, 0.0f, 0.5f, 1.0f }, thickness);
        shape.addLineSegment ({ 0.0f, 0.5f, 1.0f, 0.5f }, thickness);

        juce::Path fullScreen;
        fullScreen.startNewSubPath (45.0f, 100.0f);
        fullScreen.lineTo (0.0f, 100.0f);
        fullScreen.lineTo (0.0f, 0.0f);
        fullScreen.lineTo (100.0f, 0.0f);
        fullScreen.lineTo (100.0f, 45.0f);
        fullScreen.addRectangle (45.0f, 45.0f, 100.0f, 100.0f);
        juce::PathStrokeType (30.0f).createStrokedPath (fullScreen, fullScreen);

        return new PluginBarLookAndFeel_DocumentWindowButton ("maximise", white, shape, fullScreen);
    }

    if (buttonType == juce::DocumentWindow::closeButton)
    {
        shape.addLineSegment ({ 0.0f, 0.0f, 1.0f, 1.0f }, thickness);
        shape.addLineSegment ({ 1.0f, 0.0f, 0.0f, 1.0f }, thickness);
        return new PluginBarLookAndFeel_DocumentWindowButton ("close", white, shape, shape);
    }

    return nullptr;
}
} // namespace KA
