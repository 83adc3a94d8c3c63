#pragma once

#include <juce_graphics/juce_graphics.h>

#include <memory>
#include <vector>

namespace KA
{
/** One node of the preset tree as the preset library builds it: plain data that
    the preset list copies into its own rows, so the library needs no component. */
struct PresetTreeNode
{
    juce::String caption;
    bool isFolder = false;
    bool hasOwnColour = false;
    int id = 0;
    PresetTreeNode* parent = nullptr;
    juce::Colour colour;
    juce::Justification justification { juce::Justification::left };
    std::vector<std::unique_ptr<PresetTreeNode>> children;

    PresetTreeNode& add (juce::String nodeCaption, bool folder, bool ownColour, int nodeId,
                         juce::Colour nodeColour, juce::Justification nodeJustification)
    {
        auto node = std::make_unique<PresetTreeNode>();
        node->caption = std::move (nodeCaption);
        node->isFolder = folder;
        node->hasOwnColour = ownColour;
        node->id = nodeId;
        node->parent = this;
        node->colour = nodeColour;
        node->justification = nodeJustification;
        children.push_back (std::move (node));
        return *children.back();
    }
};
} // namespace KA
