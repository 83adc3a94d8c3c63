#include "tests/ui/support/ListRows.h"
#include "ui/controls/ListTreeView.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using KA::ListTreeView;
using KA::ListTreeViewItem;

ListTreeViewItem& add (ListTreeViewItem& parent, const juce::String& caption, bool isFolder, int id = 0)
{
    auto* item = parent.children.add (new ListTreeViewItem());
    item->caption = caption;
    item->isFolder = isFolder;
    item->id = id;
    item->parent = &parent;
    return *item;
}

void clickButton (juce::Button& button)
{
    button.triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
}

/** A view over root: Default (leaf 0), Bass (folder: Deep (leaf 7), Sub (folder: Low (leaf 9)))
    with the plain header, the way the side menu shows it. */
struct ListView : public ::testing::Test
{
    ListView()
    {
        auto& root = view.getRoot();
        add (root, "Default", false, 0);
        bass = &add (root, "Bass", true);
        add (*bass, "Deep", false, 7);
        sub = &add (*bass, "Sub", true);
        add (*sub, "Low", false, 9);

        auto newHeader = std::make_unique<ListTreeView::Header> (view);
        header = newHeader.get();
        view.getListBox().setHeaderComponent (std::move (newHeader));
        view.setCurrentNode (&root);
        view.setVisible (true);
        view.setSize (500, 400);
        view.refreshRows();
    }

    std::vector<std::pair<ListTreeView*, void*>> calls;
    int userValue = 0;
    ListTreeView view { [this] (ListTreeView* v, void* u) { calls.emplace_back (v, u); }, &userValue };
    ListTreeView::Header* header = nullptr;
    ListTreeViewItem* bass = nullptr;
    ListTreeViewItem* sub = nullptr;
};

TEST (ListRoot, IsTheHomeFolder)
{
    ListTreeView fresh ({}, nullptr);
    auto& root = fresh.getRoot();
    EXPECT_EQ (root.caption, "Home");
    EXPECT_TRUE (root.isFolder);
    EXPECT_FALSE (root.hasOwnColour);
    EXPECT_EQ (root.id, -1);
    EXPECT_EQ (root.parent, nullptr);
    EXPECT_EQ (root.colour, juce::Colour (0xff000000));
    EXPECT_EQ (root.justification, juce::Justification (juce::Justification::left));
    EXPECT_TRUE (root.children.isEmpty());

    // No current node: an empty list that ignores clicks.
    EXPECT_EQ (fresh.getNumRows(), 0);
    fresh.listBoxItemClicked (0, juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0, 0, 0, 0, 0,
                                                   &fresh, &fresh, {}, {}, {}, 1, false));
    EXPECT_EQ (fresh.getChosenItem(), nullptr);
}

TEST_F (ListView, FoldersAreEnteredAndLeavesChosenOnce)
{
    auto& list = view.getListBox();
    ASSERT_TRUE (KA::Test::clickRow (list, 1)); // Bass
    EXPECT_EQ (view.getCurrentNode(), bass);
    EXPECT_EQ (view.getNumRows(), 2);
    EXPECT_EQ (list.getNumSelectedRows(), 0);
    EXPECT_TRUE (view.isVisible());
    EXPECT_TRUE (calls.empty());

    ASSERT_TRUE (KA::Test::clickRow (list, 0)); // Deep
    EXPECT_FALSE (view.isVisible());
    ASSERT_EQ (calls.size(), 1u);
    EXPECT_EQ (calls[0].first, &view);
    EXPECT_EQ (calls[0].second, &userValue);
    EXPECT_EQ (view.getChosenItem()->id, 7);
    EXPECT_EQ (view.getCurrentNode(), bass);

    // Rows past the end choose nothing.
    view.listBoxItemClicked (5, juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0, 0, 0, 0, 0,
                                                  &view, &view, {}, {}, {}, 1, false));
    EXPECT_EQ (calls.size(), 1u);
}

TEST_F (ListView, BackGoesUpToTheRootAndStaysThere)
{
    auto& list = view.getListBox();
    KA::Test::clickRow (list, 1);
    KA::Test::clickRow (list, 1);
    ASSERT_EQ (view.getCurrentNode(), sub);

    list.selectRow (0);
    clickButton (header->getBackButton());
    EXPECT_EQ (view.getCurrentNode(), bass);
    EXPECT_EQ (list.getNumSelectedRows(), 0);

    for (int i = 0; i < 2; ++i)
    {
        list.selectRow (0);
        clickButton (header->getBackButton());
        EXPECT_EQ (view.getCurrentNode(), &view.getRoot());
        EXPECT_EQ (list.getNumSelectedRows(), 0);
    }

    clickButton (header->getCloseButton());
    EXPECT_FALSE (view.isVisible());
    EXPECT_TRUE (calls.empty());
}

//==============================================================================
/** A row painted on its own, as the list box paints it, in a view 300 wide. */
struct RowPaint
{
    int row;
    bool ownColour, folder, selected;
    juce::Point<int> probe;
    juce::uint32 expected;
};

const juce::Colour window (0xff000000), text (0xffffffff), own (0xff3e79b0), highlightedText (0xff00ff00);
constexpr juce::uint32 evenWindow = 0xff1a1a1a; // black 10 % towards white
constexpr juce::uint32 lineOnOdd = 0xff666666;   // white at alpha 0x66 over black
constexpr juce::uint32 red = 0xffff2f2f;

juce::Image paintRow (ListTreeView& view, int row, bool selected)
{
    juce::Image image (juce::Image::ARGB, 300, 40, true);
    juce::Graphics g (image);
    view.paintListBoxItem (row, g, 300, 40, selected);
    return image;
}

bool near (juce::Colour a, juce::uint32 b)
{
    const juce::Colour e (b);
    return std::abs (a.getRed() - e.getRed()) <= 2 && std::abs (a.getGreen() - e.getGreen()) <= 2
        && std::abs (a.getBlue() - e.getBlue()) <= 2 && a.getAlpha() == e.getAlpha();
}

TEST (ListRows, PaintedColoursOnPixels)
{
    const RowPaint cases[] = {
        { 1, false, false, false, { 150, 20 }, 0xff000000 },  // odd: the window colour
        { 0, false, false, false, { 150, 20 }, evenWindow },  // even: blended towards the text
        { 1, true, false, false, { 150, 20 }, 0xff3e79b0 },   // own colour as it is
        { 0, true, false, false, { 150, 20 }, 0xff5186b8 },   // own colour blended
        { 0, false, false, false, { 150, 0 }, 0xff757575 },   // row 0 has a top line (over the even colour)
        { 0, false, false, false, { 3, 0 }, evenWindow },     // which starts at x 7
        { 0, false, false, false, { 296, 0 }, evenWindow },   // and ends 7 before the end
        { 1, false, false, false, { 150, 0 }, 0xff000000 },   // no top line below row 0
        { 1, false, false, false, { 150, 39 }, lineOnOdd },   // every row has its bottom line
        { 1, false, false, false, { 150, 37 }, 0xff000000 },
        { 0, false, false, true, { 150, 2 }, red },           // selection below row 0's top line
        { 0, false, false, true, { 150, 1 }, 0xff757575 },
        { 1, false, false, true, { 0, 0 }, red },             // full width, from the top on other rows
        { 1, false, false, true, { 299, 37 }, red },
        { 1, false, false, true, { 150, 38 }, lineOnOdd },
    };

    ListTreeView view ({}, nullptr);
    view.setSize (300, 300);
    view.setColour (juce::ResizableWindow::backgroundColourId, window);
    view.setColour (juce::Label::textColourId, text);

    for (const auto& c : cases)
    {
        auto& root = view.getRoot();
        root.children.clear();
        for (int i = 0; i < 2; ++i)
        {
            auto& item = add (root, {}, c.folder);
            item.hasOwnColour = c.ownColour;
            item.colour = own;
        }
        view.setCurrentNode (&root);

        const auto pixel = paintRow (view, c.row, c.selected).getPixelAt (c.probe.x, c.probe.y);
        EXPECT_TRUE (near (pixel, c.expected)) << "row " << c.row << (c.ownColour ? " own" : "") << (c.selected ? " selected" : "")
                                                << " at " << c.probe.toString() << ": " << pixel.toString() << " not "
                                                << juce::Colour (c.expected).toString();
    }
}

/** Pixels of a colour inside an area of a painted row. */
int countPixels (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    int n = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            n += near (image.getPixelAt (x, y), colour.getARGB()) ? 1 : 0;
    return n;
}

TEST (ListRows, FoldersShowTheMarkerAndSelectedTextTakesTheHighlightColour)
{
    ListTreeView view ({}, nullptr);
    view.setSize (300, 300);
    view.setColour (juce::ResizableWindow::backgroundColourId, window);
    view.setColour (juce::Label::textColourId, text);
    view.setColour (juce::TextEditor::highlightedTextColourId, highlightedText);
    add (view.getRoot(), "WWWW", true);
    add (view.getRoot(), "WWWW", false);
    view.setCurrentNode (&view.getRoot());

    const juce::Rectangle<int> marker (262, 4, 36, 32), caption (3, 4, 100, 32);

    const auto folder = paintRow (view, 0, false);
    EXPECT_GT (countPixels (folder, marker, text), 10);
    EXPECT_GT (countPixels (folder, caption, text), 30);

    const auto leaf = paintRow (view, 1, false);
    EXPECT_EQ (countPixels (leaf, marker, text), 0);
    EXPECT_GT (countPixels (leaf, caption, text), 30);

    const auto selected = paintRow (view, 0, true);
    EXPECT_GT (countPixels (selected, marker, highlightedText), 10);
    EXPECT_EQ (countPixels (selected, caption, text), 0);

    // Bold folder captions are wider than leaf captions of the same text.
    auto inked = [] (const juce::Image& image)
    {
        int right = 0;
        for (int y = 4; y < 36; ++y)
            for (int x = 0; x < 250; ++x)
                if (image.getPixelAt (x, y).getRed() > 128)
                    right = juce::jmax (right, x);
        return right;
    };
    EXPECT_GT (inked (folder), inked (leaf));
}

TEST (ListTrees, TwoThousandLeavesInFiftyNestedFoldersShownWalkedAndDeleted)
{
    constexpr int depth = 50, leavesPerFolder = 40;
    int chosen = -1;
    auto view = std::make_unique<ListTreeView> ([&chosen] (ListTreeView* v, void*) { chosen = v->getChosenItem()->id; }, nullptr);

    auto* folder = &view->getRoot();
    for (int level = 0; level < depth; ++level)
    {
        auto* next = &add (*folder, "Folder " + juce::String (level), true);
        for (int i = 0; i < leavesPerFolder; ++i)
            add (*folder, "Preset " + juce::String (i), false, level * leavesPerFolder + i);
        folder = next;
    }

    view->setCurrentNode (&view->getRoot());
    view->setVisible (true);
    view->setSize (800, 600);
    view->refreshRows();

    juce::Image image (juce::Image::ARGB, 800, 600, true);
    for (int level = 0; level < depth; ++level)
    {
        EXPECT_EQ (view->getNumRows(), leavesPerFolder + 1);
        juce::Graphics g (image);
        view->paintEntireComponent (g, false);
        ASSERT_TRUE (KA::Test::clickRow (view->getListBox(), 0));
    }
    EXPECT_EQ (view->getNumRows(), 0);

    for (int level = 0; level < depth + 1; ++level)
        view->goBack();
    EXPECT_EQ (view->getCurrentNode(), &view->getRoot());

    view->getListBox().scrollToEnsureRowIsOnscreen (leavesPerFolder);
    ASSERT_TRUE (KA::Test::clickRow (view->getListBox(), leavesPerFolder));
    EXPECT_EQ (chosen, leavesPerFolder - 1);
    view.reset();
}
} // namespace
