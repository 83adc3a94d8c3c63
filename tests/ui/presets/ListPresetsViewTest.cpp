#include "tests/ui/support/ListRows.h"
#include "ui/presets/ListPresetsView.h"

#include <gtest/gtest.h>

namespace
{
using KA::ListPresetsView;
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

using KA::Test::click;

TEST (PresetList, RootFoldersLeavesBackHomeAndPaths)
{
    std::vector<int> chosen;
    int owner = 0;
    ListPresetsView view ([&] (ListTreeView* v, void* u) { chosen.push_back (v->getChosenItem()->id); EXPECT_EQ (u, &owner); }, &owner);

    const auto& root = view.getRoot();
    EXPECT_TRUE (root.caption == "Home" && root.isFolder && ! root.hasOwnColour && root.parent == nullptr && root.children.isEmpty());
    EXPECT_TRUE (root.id == -1 && root.colour == juce::Colour (0xff000000) && root.justification == juce::Justification::left);
    // No current node yet: no rows, and the list box may still paint and click its empty rows.
    EXPECT_EQ (view.getNumRows(), 0);
    juce::Image image (juce::Image::ARGB, 10, 10, true);
    juce::Graphics g (image);
    view.paintListBoxItem (0, g, 10, 10, true);
    view.listBoxItemClicked (0, juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0, 0, 0, 0, 0,
                                                  &view, &view, {}, {}, {}, 1, false));
    view.setSize (600, 400);

    // What the preset library does: fill the tree and name the folder to open (none: the root).
    view.fillTree ([] (ListTreeViewItem& home)
    {
        add (home, "Default", false, 0);
        auto& bass = add (home, "Bass", true);
        add (bass, "Deep", false, 7);
        add (add (bass, "Sub", true), "Low", false, 9);
        return nullptr;
    });
    view.setVisible (true);
    auto& header = view.getHeader();
    auto& list = view.getListBox();

    // Each step starts with row 0 selected. (step, row, path, visible, leaves chosen so far, rows selected or -1)
    const struct { const char* step; int row; const char* path; bool visible; std::vector<int> chosen; int selected; } steps[] = {
        { "back", 0, "/Home", true, {}, 0 },
        { "row", 1, "/Home/Bass", true, {}, 0 },
        { "row", 1, "/Home/Bass/Sub", true, {}, 0 },
        { "back", 0, "/Home/Bass", true, {}, 0 },
        { "home", 0, "/Home", true, {}, 1 },
        { "row", 1, "/Home/Bass", true, {}, 0 },
        { "row", 2, "/Home/Bass", true, {}, -1 }, // past the last row
        { "row", 0, "/Home/Bass", false, { 7 }, -1 },
        { "close", 0, "/Home/Bass", false, { 7 }, -1 },
    };

    EXPECT_EQ (header.getPath(), "/Home");
    for (const auto& s : steps)
    {
        const juce::String step (s.step);
        view.setVisible (true);
        list.selectRow (0);
        if (step == "row")       KA::Test::clickRow (list, s.row);
        else if (step == "back") click (header.getBackButton());
        else if (step == "home") click (header.getHomeButton());
        else                     click (header.getCloseButton());

        EXPECT_EQ (header.getPath(), s.path) << step << " " << s.row;
        EXPECT_EQ (view.isVisible(), s.visible) << step << " " << s.row;
        EXPECT_EQ (chosen, s.chosen) << step << " " << s.row;
        EXPECT_TRUE (s.selected < 0 || list.getNumSelectedRows() == s.selected) << step << " " << s.row;
    }
    header.showItemPath (nullptr);
    EXPECT_EQ (header.getPath(), "");
}

TEST (PresetList, HeaderLayoutAtTwoWidths)
{
    ListPresetsView view ({}, nullptr);
    auto& h = view.getHeader();

    // In the view the list box gives the header its width and keeps its height.
    view.setSize (700, 400);
    EXPECT_EQ (h.getBounds(), juce::Rectangle<int> (1, 1, view.getListBox().getWidth() - 2, 30));
    for (juce::Component* c : { (juce::Component*) &h.getHomeButton(), (juce::Component*) &h.getCaptionLabel(), (juce::Component*) &h.getPathLabel() })
        EXPECT_TRUE (c->isVisible() && c->getParentComponent() == &h);

    h.setSize (600, 30);
    EXPECT_EQ (h.getCloseButton().getBounds(), juce::Rectangle<int> (496, 2, 100, 26));
    EXPECT_EQ (h.getBackButton().getBounds(), juce::Rectangle<int> (2, 2, 100, 26));
    EXPECT_EQ (h.getHomeButton().getBounds(), juce::Rectangle<int> (394, 2, 100, 26));
    EXPECT_EQ (h.getCaptionLabel().getBounds(), juce::Rectangle<int> (107, 2, 50, 26));
    EXPECT_EQ (h.getPathLabel().getBounds(), juce::Rectangle<int> (152, 2, 238, 26));

    // Too narrow for a path: it shrinks to nothing; the buttons keep to the right edge.
    h.setSize (300, 30);
    EXPECT_EQ (h.getPathLabel().getWidth(), 0);
    EXPECT_EQ (h.getCloseButton().getRight(), 296);
}

bool near (juce::Colour a, juce::uint32 b)
{
    const juce::Colour e (b);
    return std::abs (a.getRed() - e.getRed()) <= 2 && std::abs (a.getGreen() - e.getGreen()) <= 2
        && std::abs (a.getBlue() - e.getBlue()) <= 2 && a.getAlpha() == e.getAlpha();
}

/** How many pixels of the colour a row 300 x 40 painted by the view shows in the area. */
int countPixels (ListTreeView& view, int row, bool selected, juce::Rectangle<int> area, juce::uint32 colour)
{
    juce::Image image (juce::Image::ARGB, 300, 40, true);
    {
        juce::Graphics g (image);
        view.paintListBoxItem (row, g, 300, 40, selected);
    }
    int n = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            n += near (image.getPixelAt (x, y), colour) ? 1 : 0;
    return n;
}

TEST (PresetList, RowsPaintedOnPixels)
{
    // Black window, white text: even rows 10 % towards white, lines white at alpha 0x66.
    constexpr juce::uint32 odd = 0xff000000, even = 0xff1a1a1a, own = 0xff3e79b0, ownEven = 0xff5186b8,
                           lineOnEven = 0xff757575, lineOnOdd = 0xff666666, red = 0xffff2f2f, white = 0xffffffff,
                           green = 0xff00ff00;
    const struct { int row; bool ownColour, folder, selected; juce::Rectangle<int> area; juce::uint32 colour; int pixels; } cases[] = {
        { 1, false, false, false, { 0, 0, 300, 38 }, odd, 300 * 38 },
        { 0, false, false, false, { 0, 2, 300, 36 }, even, 300 * 36 },
        { 1, true, false, false, { 0, 0, 300, 38 }, own, 300 * 38 },
        { 0, true, false, false, { 0, 2, 300, 36 }, ownEven, 300 * 36 },
        { 0, false, false, false, { 0, 0, 300, 2 }, lineOnEven, 286 * 2 },  // row 0's top line, 7 in from each side
        { 0, false, false, false, { 0, 38, 300, 2 }, lineOnEven, 286 * 2 }, // every row's bottom line
        { 1, false, false, false, { 0, 0, 300, 2 }, lineOnOdd, 0 },
        { 1, false, false, false, { 0, 38, 300, 2 }, lineOnOdd, 286 * 2 },
        { 0, false, false, true, { 0, 0, 300, 40 }, red, 300 * 36 },        // selection between the lines
        { 1, false, false, true, { 0, 0, 300, 40 }, red, 300 * 38 },
        { 0, false, true, false, { 260, 0, 40, 40 }, white, 10 },           // ">" marks folders (at least 10 pixels)
        { 0, false, false, false, { 260, 0, 40, 40 }, white, 0 },
        { 0, false, true, true, { 260, 0, 40, 40 }, green, 10 },            // in the highlight colour when selected
        { 0, false, true, true, { 260, 0, 40, 40 }, white, 0 },
    };

    ListTreeView view ({}, nullptr);
    view.setSize (300, 300);
    view.setColour (juce::ResizableWindow::backgroundColourId, juce::Colour (odd));
    view.setColour (juce::Label::textColourId, juce::Colour (white));
    view.setColour (juce::TextEditor::highlightedTextColourId, juce::Colour (green));
    view.setCurrentNode (&view.getRoot());

    for (const auto& c : cases)
    {
        view.getRoot().children.clear();
        for (int i = 0; i < 2; ++i)
        {
            auto& item = add (view.getRoot(), {}, c.folder);
            item.hasOwnColour = c.ownColour;
            item.colour = juce::Colour (own);
        }
        const auto n = countPixels (view, c.row, c.selected, c.area, c.colour);
        const auto label = juce::String (c.row) + (c.ownColour ? " own" : "") + (c.folder ? " folder" : "")
                         + (c.selected ? " selected " : " ") + c.area.toString();
        if (c.pixels == 10) EXPECT_GE (n, 10) << label;
        else                EXPECT_EQ (n, c.pixels) << label;
    }

    // Captions: folders bold and larger, from 1 % of the view's width.
    view.getRoot().children.clear();
    add (view.getRoot(), "WWWW", true);
    add (view.getRoot(), "WWWW", false);
    const auto folderInk = countPixels (view, 0, false, { 3, 0, 257, 40 }, white);
    const auto leafInk = countPixels (view, 1, false, { 3, 0, 257, 40 }, white);
    EXPECT_GT (leafInk, 30);
    EXPECT_GT (folderInk, leafInk);
    EXPECT_EQ (countPixels (view, 1, false, { 0, 0, 3, 40 }, white), 0);
}

TEST (PresetList, TwoThousandLeavesInFiftyNestedFoldersShownWalkedAndDeleted)
{
    int chosen = -1;
    auto view = std::make_unique<ListPresetsView> ([&chosen] (ListTreeView* v, void*) { chosen = v->getChosenItem()->id; }, nullptr);
    view->fillTree ([] (ListTreeViewItem& home)
    {
        auto* folder = &home;
        for (int level = 0; level < 50; ++level)
        {
            auto* next = &add (*folder, "Folder " + juce::String (level), true);
            for (int i = 0; i < 40; ++i)
                add (*folder, "Preset " + juce::String (i), false, level * 40 + i);
            folder = next;
        }
        return nullptr;
    });
    view->setVisible (true);
    view->setSize (800, 600);

    juce::Image image (juce::Image::ARGB, 800, 600, true);
    for (int level = 0; level < 50; ++level)
    {
        EXPECT_EQ (view->getNumRows(), 41);
        juce::Graphics g (image);
        view->paintEntireComponent (g, false);
        ASSERT_TRUE (KA::Test::clickRow (view->getListBox(), 0));
    }
    EXPECT_EQ (view->getNumRows(), 0);
    EXPECT_TRUE (view->getHeader().getPath().endsWith ("/Folder 48/Folder 49"));

    click (view->getHeader().getHomeButton());
    view->getListBox().scrollToEnsureRowIsOnscreen (40);
    ASSERT_TRUE (KA::Test::clickRow (view->getListBox(), 40));
    EXPECT_EQ (chosen, 39);
    view.reset();
}
} // namespace
