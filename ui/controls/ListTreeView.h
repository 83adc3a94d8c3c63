#pragma once

#include "ui/controls/ListTreeViewItem.h"
#include "ui/dialogs/LabelBackGroundBox.h"

#include <functional>

namespace KA
{
/** Shows a tree of items one folder at a time as the rows of a list box:
    touching a folder row enters it, touching a leaf row hides the view and
    reports the leaf. It is an overlay panel, opened as its owner's dialog. */
class ListTreeView : public LabelBackGroundBox,
                     public juce::ListBoxModel
{
public:
    /** (the view, the user data given at construction) */
    using Callback = std::function<void (ListTreeView*, void*)>;

    /** The header row: "Close" hides the view, "< Folder Back" goes up one folder. */
    class Header : public juce::Component,
                   public juce::Button::Listener
    {
    public:
        explicit Header (ListTreeView& owner);

        static constexpr int height = 30;

        void lookAndFeelChanged() override;
        void resized() override;
        void buttonClicked (juce::Button*) override;

        juce::TextButton& getCloseButton() noexcept { return closeButton; }
        juce::TextButton& getBackButton() noexcept { return backButton; }

    protected:
        ListTreeView* owner;

    private:
        juce::TextButton closeButton, backButton;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Header)
    };

    ListTreeView (Callback callback, void* userData);
    ~ListTreeView() override;

    static constexpr int rowHeight = 40;

    ListTreeViewItem& getRoot() noexcept { return root; }
    juce::ListBox& getListBox() noexcept { return listBox; }

    /** The folder whose children are the rows; null shows an empty list. */
    ListTreeViewItem* getCurrentNode() const noexcept { return currentNode; }
    void setCurrentNode (ListTreeViewItem* node) noexcept { currentNode = node; }

    /** The leaf chosen last, or null. */
    ListTreeViewItem* getChosenItem() const noexcept { return chosenItem; }

    /** Moves to the parent folder, if there is one; the selection is cleared either way. */
    void goBack();

    /** The list box's content after the current node changed. */
    void refreshRows();

    void lookAndFeelChanged() override;
    void resized() override;

    void paintListBoxItem (int row, juce::Graphics&, int width, int height, bool rowIsSelected) override;
    int getNumRows() override;
    void listBoxItemClicked (int row, const juce::MouseEvent&) override;

private:
    ListTreeViewItem* itemAt (int row) const;

    void* userData;
    juce::ListBox listBox;
    ListTreeViewData root;
    ListTreeViewItem* currentNode = nullptr;
    ListTreeViewItem* chosenItem = nullptr;
    Callback callback;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ListTreeView)
};
} // namespace KA
