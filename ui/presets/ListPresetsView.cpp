#include "ui/presets/ListPresetsView.h"

namespace KA
{
ListPresetsView::HeaderPresets::HeaderPresets (ListPresetsView& o)
    : ListTreeView::Header (o)
{
    addAndMakeVisible (homeButton);
    addAndMakeVisible (captionLabel);
    addAndMakeVisible (pathLabel);
    captionLabel.setText ("Path : ", juce::dontSendNotification);
    pathLabel.setJustificationType (juce::Justification::centredLeft);
    homeButton.setButtonText ("Home");
    homeButton.addListener (&o);
}

void ListPresetsView::HeaderPresets::resized()
{
    ListTreeView::Header::resized();

    const auto w = getWidth();
    const auto h = getHeight();
    homeButton.setBounds (w - 206, 2, 100, h - 4);
    captionLabel.setBounds (107, 2, 50, h - 4);
    pathLabel.setBounds (152, 2, w - 362, h - 4);
}

void ListPresetsView::HeaderPresets::buttonClicked (juce::Button* button)
{
    ListTreeView::Header::buttonClicked (button);

    if (button == &getBackButton())
        showItemPath (owner->getCurrentNode());
}

void ListPresetsView::HeaderPresets::showItemPath (const ListTreeViewItem* node)
{
    juce::String path;

    for (; node != nullptr; node = node->parent)
        path = "/" + node->caption + path;

    pathLabel.setText (path, juce::dontSendNotification);
}

//==============================================================================
ListPresetsView::ListPresetsView (Callback cb, void* data)
    : ListTreeView (std::move (cb), data)
{
    auto newHeader = std::make_unique<HeaderPresets> (*this);
    header = newHeader.get();
    getListBox().setHeaderComponent (std::move (newHeader));
}

void ListPresetsView::fillTree (const TreeFiller& filler)
{
    auto& home = getRoot();
    auto* open = filler ? filler (home) : nullptr;

    setCurrentNode (open != nullptr ? open : &home);
    header->showItemPath (getCurrentNode());
    getListBox().updateContent();
}

void ListPresetsView::listBoxItemClicked (int row, const juce::MouseEvent& e)
{
    ListTreeView::listBoxItemClicked (row, e);

    if (auto* node = getCurrentNode(); node != nullptr && node->isFolder)
        header->showItemPath (node);
}

void ListPresetsView::buttonClicked (juce::Button*)
{
    setCurrentNode (&getRoot());
    header->showItemPath (&getRoot());
    refreshRows();
}
} // namespace KA
