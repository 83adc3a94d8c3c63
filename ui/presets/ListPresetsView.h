#pragma once

#include "ui/controls/ListTreeView.h"

namespace KA
{
/** The preset list: a list tree view whose header also offers "Home" and
    shows the path of the folder on screen. Its tree comes from the preset
    library through fillTree. */
class ListPresetsView : public ListTreeView,
                        public juce::Button::Listener
{
public:
    /** The list header with "Home" and the path of the folder shown. */
    class HeaderPresets : public ListTreeView::Header
    {
    public:
        explicit HeaderPresets (ListPresetsView& owner);

        void resized() override;
        void buttonClicked (juce::Button*) override;

        /** Shows the path from the root down to the node: /Home, /Home/Bass; empty for none. */
        void showItemPath (const ListTreeViewItem* node);

        juce::String getPath() const { return pathLabel.getText(); }
        juce::TextButton& getHomeButton() noexcept { return homeButton; }
        juce::Label& getCaptionLabel() noexcept { return captionLabel; }
        juce::Label& getPathLabel() noexcept { return pathLabel; }

    private:
        juce::TextButton homeButton;
        juce::Label captionLabel, pathLabel;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HeaderPresets)
    };

    /** Appends the preset tree below the root it is given and returns the
        folder node to open (the one holding the current preset), or null for the root. */
    using TreeFiller = std::function<ListTreeViewItem* (ListTreeViewItem& root)>;

    /** Builds the view with its header; the callback gets every chosen leaf. */
    ListPresetsView (Callback callback, void* userData);

    /** Fills the tree, opens the folder the filler names (the root when none)
        and shows its path. */
    void fillTree (const TreeFiller& filler);

    HeaderPresets& getHeader() noexcept { return *header; }

    void listBoxItemClicked (int row, const juce::MouseEvent&) override;

    /** "Home" */
    void buttonClicked (juce::Button*) override;

private:
    HeaderPresets* header; // owned by the list box

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ListPresetsView)
};
} // namespace KA
