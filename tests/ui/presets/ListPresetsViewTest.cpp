#include "tests/ui/support/ListRows.h"
#include "ui/presets/ListPresetsView.h"

#include <gtest/gtest.h>

namespace
{
using KA::ListPresetsView;
using KA::ListTreeViewItem;

ListTreeViewItem& addFolder (ListTreeViewItem& parent, const juce::String& caption)
{
    auto* item = parent.children.add (new ListTreeViewItem());
    item->caption = caption;
    item->isFolder = true;
    item->parent = &parent;
    return *item;
}

void clickButton (juce::Button& button)
{
    button.triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}

TEST (PresetList, PathFollowsTheFolderShownThroughEnterBackAndHome)
{
    ListPresetsView view ({}, nullptr);
    ListTreeViewItem* live = nullptr;

    // What the preset library does: fill the tree, name the folder of the current preset.
    view.fillTree ([&live] (ListTreeViewItem& root)
    {
        auto& bass = addFolder (root, "Bass");
        live = &addFolder (bass, "Live");
        return live;
    });
    view.setSize (600, 400);

    auto& header = view.getHeader();
    EXPECT_EQ (view.getCurrentNode(), live);
    EXPECT_EQ (header.getPath(), "/Home/Bass/Live");

    clickButton (header.getBackButton());
    EXPECT_EQ (header.getPath(), "/Home/Bass");
    clickButton (header.getBackButton());
    EXPECT_EQ (header.getPath(), "/Home");
    clickButton (header.getBackButton());
    EXPECT_EQ (header.getPath(), "/Home");

    ASSERT_TRUE (KA::Test::clickRow (view.getListBox(), 0));
    EXPECT_EQ (header.getPath(), "/Home/Bass");

    // "Home" keeps the selection; only the folder changes.
    view.getListBox().selectRow (0);
    clickButton (header.getHomeButton());
    EXPECT_EQ (view.getCurrentNode(), &view.getRoot());
    EXPECT_EQ (header.getPath(), "/Home");
    EXPECT_EQ (view.getListBox().getSelectedRow(), 0);

    // A library that names no folder opens the root.
    ListPresetsView other ({}, nullptr);
    other.fillTree ([] (ListTreeViewItem& root) { addFolder (root, "Bass"); return nullptr; });
    EXPECT_EQ (other.getCurrentNode(), &other.getRoot());
    EXPECT_EQ (other.getHeader().getPath(), "/Home");
    header.showItemPath (nullptr);
    EXPECT_EQ (header.getPath(), "");
}

TEST (PresetList, HeaderLayoutAtTwoWidths)
{
    ListPresetsView view ({}, nullptr);
    auto& header = view.getHeader();

    header.setSize (600, 30);
    EXPECT_EQ (header.getCloseButton().getBounds(), juce::Rectangle<int> (496, 2, 100, 26));
    EXPECT_EQ (header.getHomeButton().getBounds(), juce::Rectangle<int> (394, 2, 100, 26));
    EXPECT_EQ (header.getBackButton().getBounds(), juce::Rectangle<int> (2, 2, 100, 26));

    auto* caption = &header.getCaptionLabel();
    auto* path = &header.getPathLabel();
    EXPECT_EQ (caption->getBounds(), juce::Rectangle<int> (107, 2, 50, 26));
    EXPECT_EQ (path->getBounds(), juce::Rectangle<int> (152, 2, 238, 26));

    // Too narrow for the path: it shrinks to nothing rather than below.
    header.setSize (300, 30);
    EXPECT_EQ (path->getBounds(), juce::Rectangle<int> (152, 2, 0, 26));
    EXPECT_EQ (header.getHomeButton().getBounds(), juce::Rectangle<int> (94, 2, 100, 26));
    EXPECT_EQ (header.getCloseButton().getBounds(), juce::Rectangle<int> (196, 2, 100, 26));

    // Inside the view the list box gives the header its width and keeps its height.
    view.setSize (700, 400);
    EXPECT_EQ (header.getWidth(), view.getListBox().getWidth() - 2);
    EXPECT_EQ (header.getHeight(), 30);
}
} // namespace
