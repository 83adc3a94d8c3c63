#include "ui/presets/PresetListFill.h"

namespace KA
{
ListTreeViewItem* fillListFromPresetTree (const PresetTreeNode& tree, ListTreeViewItem& listRoot,
                                          const PresetTreeNode* openFolder)
{
    ListTreeViewItem* open = nullptr;

    for (const auto& node : tree.children)
    {
        auto* item = listRoot.children.add (new ListTreeViewItem());
        item->caption = node->caption;
        item->isFolder = node->isFolder;
        item->hasOwnColour = node->hasOwnColour;
        item->id = node->id;
        item->parent = &listRoot;
        item->colour = node->colour;
        item->justification = node->justification;

        if (node.get() == openFolder)
            open = item;

        if (auto* inside = fillListFromPresetTree (*node, *item, openFolder))
            open = inside;
    }

    return open;
}
} // namespace KA
