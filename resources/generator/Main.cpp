// Draws every bitmap the user interface is drawn from and writes them as PNG
// files into the resources folder given on the command line; with a second
// argument it also writes a contact sheet showing every picture and the panel
// with its controls composited at their layout positions.

#include "ControlArtwork.h"
#include "PanelArtwork.h"
#include "ui/product/DRPanelLayout.h"

#include <juce_events/juce_events.h>

namespace
{
bool writePng (const juce::Image& image, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;

    if (! out.openedOk() || ! png.writeImageToStream (image, out))
    {
        std::fprintf (stderr, "cannot write %s\n", file.getFullPathName().toRawUTF8());
        return false;
    }

    std::printf ("%s %dx%d\n", file.getFileName().toRawUTF8(), image.getWidth(), image.getHeight());
    return true;
}

/** The panel as the editor shows it: controls drawn the way the look-and-feel
    cuts their images, at a few positions, so misalignment shows at a glance. */
void drawComposite (juce::Graphics& g, const juce::Image& panel, const juce::Image& knob,
                    const juce::Image& switches, const juce::Image& led, const juce::Image& cap)
{
    namespace L = DRPanelLayout;
    g.drawImageAt (panel, 0, 0);
    juce::Graphics::ScopedSaveState state (g);
    g.addTransform (juce::AffineTransform::scale (L::imageScale));

    int k = 0;
    for (auto& c : L::knobs)
    {
        const auto frame = k++ == 0 ? 32 : 100;
        const auto d = L::knobDiameter (c);
        const auto dest = juce::Rectangle<float> (d, d).withCentre ({ L::knobCentreX (c), L::knobCentreY (c) });
        g.drawImage (knob.getClippedImage ({ 0, frame * knob.getWidth(), knob.getWidth(), knob.getWidth() }),
                     dest, juce::RectanglePlacement::stretchToFit, false);
    }

    int i = 0;
    for (auto& s : L::switches)
    {
        const auto& strip = juce::String (s.imageName) == "Led_png" ? led : switches;
        const auto half = juce::roundToInt (strip.getHeight() * 0.5);
        const bool on = (i++ / 2) == 1;
        g.drawImage (strip, s.bounds.x, s.bounds.y, s.bounds.width, s.bounds.height,
                     0, on ? half : 0, strip.getWidth(), half);
    }

    const float positions[] = { 0.5f, 0.8f, 0.65f, 0.5f, 0.3f, 0.5f, 0.0f, 1.0f };
    for (size_t f = 0; f < L::numFaders; ++f)
    {
        const auto y = L::faderCapCentreY (L::faders[f], positions[f]);
        g.drawImage (cap, juce::Rectangle<float> ((float) L::faders[f].fader.x, y - L::faderCapHeight * 0.5f,
                                                  L::faderCapWidth, L::faderCapHeight));
    }

    // Meter bars as the meter paints them: green to red, two channels.
    for (auto* m : { &L::inputMeter, &L::outputMeter })
    {
        const auto bar = juce::roundToInt (m->width / 2.0);
        juce::ColourGradient grad (juce::Colour (0xffff0000), 0.0f, (float) m->y,
                                   juce::Colour (0xff008000), 0.0f, (float) (m->bottom() - 1), false);
        grad.addColour (0.08, juce::Colour (0xffffff00));
        g.setGradientFill (grad);
        g.fillRect ((float) m->x, (float) m->y + m->height * 0.3f, (float) (bar - 2), m->height * 0.7f);
        g.fillRect ((float) (m->x + bar), (float) m->y + m->height * 0.45f, (float) (bar - 2), m->height * 0.55f);
    }
}

juce::Image makeContactSheet (const juce::Image& panel, const juce::Image& background, const juce::Image& about,
                              const juce::Image& knob, const juce::Image& switches, const juce::Image& led,
                              const juce::Image& cap)
{
    const int gap = 12;
    const int width = 750 * 2 + gap * 3;
    const int height = gap + 291 + gap + 291 + gap + 230 + gap;
    juce::Image sheet (juce::Image::ARGB, width, height, true);
    juce::Graphics g (sheet);
    g.fillAll (juce::Colour (0xff6b6e74));

    juce::Image composite (juce::Image::ARGB, 750, 291, true);
    {
        juce::Graphics cg (composite);
        drawComposite (cg, panel, knob, switches, led, cap);
    }
    g.drawImageAt (panel, gap, gap);
    g.drawImageAt (composite, gap * 2 + 750, gap);
    g.drawImageAt (background, gap, gap * 2 + 291);
    g.drawImageAt (about, gap * 2 + 750, gap * 2 + 291);

    const int y = gap * 3 + 291 * 2;
    int x = gap;
    for (int frame : { 0, 16, 32, 48, 64, 80, 96, 112, 127 })
    {
        g.drawImage (knob, x, y, 68, 68, 0, frame * 68, 68, 68);
        x += 68 + 6;
    }
    g.drawImageAt (switches, x, y);
    x += 110 + gap;
    g.drawImageAt (led, x, y);
    x += 110 + gap;
    g.drawImageAt (cap, x, y);
    x += 54 + gap;
    g.drawImage (cap, x, y, 27, 25, 0, 0, 54, 50);
    return sheet;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf (stderr, "usage: %s <resources folder> [contact-sheet.png]\n", argv[0]);
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    const juce::File resources (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const auto images = resources.getChildFile ("images");

    const auto knob = ControlArtwork::drawKnobFilmstrip();
    const auto switches = ControlArtwork::drawSwitchStrip();
    const auto led = ControlArtwork::drawLedStrip();
    const auto cap = ControlArtwork::drawFaderCap();
    const auto panel = PanelArtwork::drawControlPanel();
    const auto background = PanelArtwork::drawEditorBackground();
    const auto about = PanelArtwork::drawAboutPicture();

    bool ok = writePng (knob, images.getChildFile ("knob_filmstrip.png"))
           && writePng (switches, images.getChildFile ("switch_strip.png"))
           && writePng (led, images.getChildFile ("led_strip.png"))
           && writePng (cap, images.getChildFile ("fader_cap.png"))
           && writePng (panel, images.getChildFile ("control_panel.png"))
           && writePng (background, images.getChildFile ("editor_background.png"))
           && writePng (about, images.getChildFile ("about_picture.png"));

    if (ok && argc > 2)
        ok = writePng (makeContactSheet (panel, background, about, knob, switches, led, cap),
                       juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));

    return ok ? 0 : 1;
}
