#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace KA::Test
{
/** A software renderer that notes every glyph drawn through it. */
class GlyphRecorder : public juce::LowLevelGraphicsSoftwareRenderer
{
public:
    using juce::LowLevelGraphicsSoftwareRenderer::LowLevelGraphicsSoftwareRenderer;

    struct Glyph
    {
        int number;
        float x;
        juce::Font font;
    };

    void drawGlyph (int glyphNumber, const juce::AffineTransform& t) override
    {
        glyphs.push_back ({ glyphNumber, t.getTranslationX(), getFont() });
        juce::LowLevelGraphicsSoftwareRenderer::drawGlyph (glyphNumber, t);
    }

    std::vector<Glyph> glyphs;
};

/** Success when painting the component draws the text whole (squeezed or not, but
    not cut short with an ellipsis) and inside the component's own bounds. */
inline ::testing::AssertionResult drawsWhole (juce::Component& component, const juce::String& text)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, component.getWidth()), juce::jmax (1, component.getHeight()), true);
    GlyphRecorder recorder (image);
    {
        juce::Graphics g (recorder);
        component.paintEntireComponent (g, true);
    }

    if (recorder.glyphs.empty())
        return ::testing::AssertionFailure() << "nothing drawn for \"" << text << "\"";

    // The glyphs of the text in the font it was drawn in, less the blanks, which are not drawn.
    const auto& font = recorder.glyphs.front().font;
    juce::Array<int> numbers;
    juce::Array<float> offsets;
    font.getGlyphPositions (text, numbers, offsets);
    std::vector<int> expected, drawn;

    for (int i = 0; i < numbers.size(); ++i)
        if (! juce::CharacterFunctions::isWhitespace (text[i]))
            expected.push_back (numbers[i]);

    for (auto& glyph : recorder.glyphs)
        drawn.push_back (glyph.number);

    if (drawn != expected)
        return ::testing::AssertionFailure() << "\"" << text << "\" drawn with glyphs other than its own "
                                             << "(cut short with an ellipsis?)";

    const auto right = recorder.glyphs.back().x + offsets.getLast() - offsets[offsets.size() - 2];

    if (recorder.glyphs.front().x < 0.0f || right > (float) component.getWidth())
        return ::testing::AssertionFailure() << "\"" << text << "\" spans " << recorder.glyphs.front().x << " to " << right
                                             << ", outside 0 to " << component.getWidth();

    return ::testing::AssertionSuccess() << "\"" << text << "\" drawn whole at horizontal scale " << font.getHorizontalScale();
}
} // namespace KA::Test
