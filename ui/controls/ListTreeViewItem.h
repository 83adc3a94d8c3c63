#pragma once

// Plain data: the preset library builds these without any component.
#include <juce_graphics/juce_graphics.h>

namespace KA
{
/** One row of a list tree view: a folder that is entered when touched, or a
    leaf that is chosen. Builders fill the fields and append items to their
    parent's children, which own them; the row order is the append order. */
struct ListTreeViewItem
{
    ListTreeViewItem() = default;
    virtual ~ListTreeViewItem() = default;

    juce::String caption;
    bool isFolder = false;
    bool hasOwnColour = false;

    /** Whatever the builder numbers its leaves with (a preset index, a menu action). */
    int id = 0;

    /** The folder that "< Folder Back" returns to; builders that never go back leave it null. */
    ListTreeViewItem* parent = nullptr;

    /** The row background while hasOwnColour is set. */
    juce::Colour colour;
    juce::Justification justification { juce::Justification::left };

    /** Deleted with the item, the last one first. */
    juce::OwnedArray<ListTreeViewItem> children;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ListTreeViewItem)
};

/** The root node every list tree view holds: the folder "Home". */
struct ListTreeViewData : public ListTreeViewItem
{
    ListTreeViewData()
    {
        caption = "Home";
        isFolder = true;
        id = -1;
        colour = juce::Colour (0xff000000);
    }
};
} // namespace KA
