#include "ui/controls/ListTreeView.h"

namespace KA
{
namespace
{
    const juce::Colour selectionColour (0xffff2f2f);
    constexpr juce::uint8 lineAlpha = 0x66;
    constexpr int lineInset = 7;
    constexpr int lineThickness = 2;
} // namespace

//==============================================================================
ListTreeView::Header::Header (ListTreeView& o)
    : owner (&o)
{
    addAndMakeVisible (closeButton);
    addAndMakeVisible (backButton);
    closeButton.setButtonText ("Close");
    backButton.setButtonText ("< Folder Back");
    closeButton.addListener (this);
    backButton.addListener (this);
    setSize (0, height);
}

void ListTreeView::Header::lookAndFeelChanged()
{
    backButton.setColour (juce::ComboBox::outlineColourId,
                          getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}

void ListTreeView::Header::resized()
{
    const auto w = getWidth();
    const auto h = getHeight();
    closeButton.setBounds (w - 104, 2, 100, h - 4);
    backButton.setBounds (2, 2, 100, h - 4);
}

void ListTreeView::Header::buttonClicked (juce::Button* button)
{
    if (button == &closeButton)
        owner->setVisible (false);
    else if (button == &backButton)
        owner->goBack();
}

//==============================================================================
ListTreeView::ListTreeView (Callback cb, void* data)
    : userData (data)
{
    addAndMakeVisible (listBox);
    listBox.setModel (this);
    listBox.setRowHeight (rowHeight);
    listBox.setOutlineThickness (1);
    callback = std::move (cb);
}

ListTreeView::~ListTreeView()
{
    // The list box outlives the root it would otherwise still ask about.
    currentNode = nullptr;
    listBox.setModel (nullptr);
}

void ListTreeView::goBack()
{
    listBox.deselectAllRows();

    if (currentNode != nullptr && currentNode->parent != nullptr)
        currentNode = currentNode->parent;

    refreshRows();
}

void ListTreeView::refreshRows()
{
    listBox.updateContent();
    listBox.repaint();
}

void ListTreeView::lookAndFeelChanged()
{
    LabelBackGroundBox::lookAndFeelChanged();
    listBox.setColour (juce::ListBox::outlineColourId, getLookAndFeel().findColour (juce::ListBox::outlineColourId));
}

void ListTreeView::resized()
{
    listBox.setBoundsRelative (0.05f, 0.05f, 0.9f, 0.9f);
}

ListTreeViewItem* ListTreeView::itemAt (int row) const
{
    return currentNode != nullptr && row >= 0 ? currentNode->children[row] : nullptr;
}

int ListTreeView::getNumRows()
{
    return currentNode != nullptr ? currentNode->children.size() : 0;
}

void ListTreeView::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool rowIsSelected)
{
    auto textColour = findColour (juce::Label::textColourId);
    const auto* item = itemAt (row);

    if (currentNode != nullptr)
    {
        auto base = item != nullptr && item->hasOwnColour ? item->colour
                                                          : findColour (juce::ResizableWindow::backgroundColourId);
        if (row % 2 == 0)
            base = base.interpolatedWith (textColour, 0.1f);

        g.setColour (base);
    }

    g.fillRect (0, 0, width, height);
    g.setColour (textColour.withAlpha (lineAlpha));

    const auto lineWidth = juce::jmax (width - 2 * lineInset, 0);
    juce::Rectangle<int> area (0, 0, width, height);

    if (row == 0)
        g.fillRect (area.removeFromTop (juce::jmin (height, lineThickness)).withX (lineInset).withWidth (lineWidth));

    g.fillRect (area.removeFromBottom (juce::jmin (area.getHeight(), lineThickness)).withX (lineInset).withWidth (lineWidth));

    if (rowIsSelected)
    {
        g.setColour (selectionColour);
        g.fillRect (area);
        textColour = findColour (juce::TextEditor::highlightedTextColourId);
    }

    g.setColour (textColour);

    if (currentNode != nullptr)
    {
        auto rowFont = g.getCurrentFont().withHeight (0.52f * (float) height);

        if (item != nullptr && item->isFolder)
        {
            rowFont.setBold (true);
            rowFont.setHeight (0.6f * (float) height);
            g.setFont (rowFont);
            g.drawFittedText (">", width - height, 0, height, height, juce::Justification::left, 1);
        }
        else
        {
            g.setFont (rowFont);
        }
    }

    if (item != nullptr)
        g.drawFittedText (item->caption, juce::roundToInt (0.01f * (float) getWidth()), 0, width - height, height,
                          item->justification, 1);
}

void ListTreeView::listBoxItemClicked (int row, const juce::MouseEvent&)
{
    auto* item = itemAt (row);

    if (item == nullptr)
        return;

    if (! item->isFolder)
    {
        chosenItem = item;
        setVisible (false);

        if (callback)
            callback (this, userData);

        return;
    }

    currentNode = item;
    listBox.deselectAllRows();
    refreshRows();
}
} // namespace KA
