#pragma once

#include "ui/controls/ListTreeViewItem.h"
#include "ui/presets/PresetTreeNode.h"

namespace KA
{
/** Appends copies of the preset tree's nodes below the list's root and returns
    the list node that stands for openFolder (null when there is none). */
ListTreeViewItem* fillListFromPresetTree (const PresetTreeNode& tree, ListTreeViewItem& listRoot,
                                          const PresetTreeNode* openFolder);
} // namespace KA
