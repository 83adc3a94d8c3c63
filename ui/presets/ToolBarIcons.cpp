#include "ui/presets/ToolBarIcons.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace KA::ToolBarIcons
{
namespace
{
    // SVG path data on a 24 x 24 grid.
    struct Icon
    {
        const char* name;
        const char* svgPath;
    };

    const Icon icons[] = {
        { "+", "M10 3h4v7h7v4h-7v7h-4v-7H3v-4h7z" },
        { "-", "M3 10h18v4H3z" },
        // waste bin: lid with handle, tapered body with two slots
        { "Delete", "M9 2h6v2h5v2H4V4h5zM5 7h14l-1.2 15H6.2zM8.5 9.5v10H10v-10zM14 9.5v10h1.5v-10z" },
        // floppy disk with a pencil across its lower right corner
        { "Save As", "M3 3h14l3 3v5.5l-2 2V7l-1.5-1.5H15V10H7V5H5v14h6.5l-.5 2H3zM9.5 5.5v3H12v-3zM20.5 12.5l2 2-7.5 7.5h-2v-2z" },
        // floppy disk: shutter with its window, label below
        { "Save", "M3 3h15l3 3v15H3zM7 5v5h9V5zM13 6v3h2V6zM6 13h12v6H6z" },
        // three bars
        { "?", "M3 5h18v3H3zM3 11h18v3H3zM3 17h18v3H3z" },
        // circular arrows: anticlockwise for undo, clockwise for redo
        { "<", "M12 1v4a8 8 0 1 1-8 8h2.5A5.5 5.5 0 1 0 12 7.5v4L6 6.25z" },
        { ">", "M12 1v4a8 8 0 1 0 8 8h-2.5A5.5 5.5 0 1 1 12 7.5v4l6-5.25z" },
        { "A", "M10.2 3h3.6l7 18h-3.1l-1.9-5H8.2l-1.9 5H3.2zM9.2 13.3h5.6L12 5.9z" },
        // double-headed arrow
        { "=>", "M1 12l6-6v4h10V6l6 6-6 6v-4H7v4z" },
        { "B", "M5 3h7.5a4.5 4.5 0 0 1 3.3 7.6A4.9 4.9 0 0 1 13.5 21H5zM8 5.8v4.6h4.3a2.3 2.3 0 0 0 0-4.6zM8 13.1v5.1h5.2a2.55 2.55 0 0 0 0-5.1z" },
        // broken circle with a vertical stroke
        { "Power", "M11 1.5h2v10h-2zM7.1 4.6l1.3 1.5a7.3 7.3 0 1 0 7.2 0l1.3-1.5a9.3 9.3 0 1 1-9.8 0z" },
    };
}

juce::Path forButton (const juce::String& buttonName)
{
    for (const auto& icon : icons)
    {
        if (buttonName == icon.name)
        {
            auto path = juce::Drawable::parseSVGPath (icon.svgPath);
            path.setUsingNonZeroWinding (false);
            return path;
        }
    }

    return {};
}

const juce::StringArray& buttonNames()
{
    static const juce::StringArray names = []
    {
        juce::StringArray all;

        for (const auto& icon : icons)
            all.add (icon.name);

        return all;
    }();

    return names;
}
} // namespace KA::ToolBarIcons
