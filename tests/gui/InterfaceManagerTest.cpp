#include "tests/gui/ManagerFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<std::string> idsOf(const InterfaceManager::ComponentList& list) {
    std::vector<std::string> ids;
    for (const InterfaceComponent* c : list)
        ids.push_back(c->id);
    return ids;
}

using Ids = std::vector<std::string>;

TEST(InterfaceManagerEmpty, StartsWithNothing) {
    ProgramState state;
    InterfaceManager m(state);
    EXPECT_EQ(m.pageCount, 0);
    EXPECT_FALSE(m.menuShown);
    EXPECT_EQ(m.focusedField, nullptr);
    EXPECT_FALSE(m.commandCallback);
    // Without pages a component has nowhere to go.
    Button b("B", "b");
    EXPECT_FALSE(m.addToPage(&b, 0));
    EXPECT_FALSE(m.addSystem(&b, 0));
    EXPECT_TRUE(m.allComponents.empty());
    // The first page is page 0 whatever the parent.
    EXPECT_EQ(m.addPage(7, "First"), 0);
    EXPECT_EQ(m.pageTitles[0], "First");
    EXPECT_TRUE(m.pages[0].empty());
}

TEST_F(ManagerTest, InitBuildsTheMainMenuPage) {
    EXPECT_EQ(manager.pageCount, 1);
    EXPECT_EQ(manager.currentPage, 0);
    EXPECT_EQ(manager.pageTitles[0], "Main Menu K.M.P.");
    EXPECT_EQ(idsOf(manager.pages[0]), (Ids{"SC_EXIT_BUTTON", "SC_RETURN_BUTTON"}));
    EXPECT_EQ(manager.exitButton->text, "Exit Program");
    EXPECT_EQ(manager.returnButton->text, "Return to Program");
    EXPECT_EQ(manager.exitButton->width, 123); // shrunk to its text
    EXPECT_EQ(manager.allComponents.size(), 2u);
    EXPECT_DOUBLE_EQ(manager.exitButton->color.r, 0.5); // colour scheme applied
    EXPECT_TRUE(manager.layoutDirty);
}

TEST_F(ManagerTest, IdsMustBeFreeAndNotSystem) {
    auto* b = own<Button>("PLAY", "Play");
    EXPECT_TRUE(manager.isIdFree("PLAY"));
    EXPECT_TRUE(manager.addToPage(b, 0));
    EXPECT_FALSE(manager.isIdFree("PLAY"));
    EXPECT_FALSE(manager.isIdFree("SC_ANYTHING"));
    EXPECT_FALSE(manager.isIdFree("SC_EXIT_BUTTON"));
    EXPECT_TRUE(manager.isIdFree("PLAY2"));
    // Components inside registered containers are not searched.
    ComponentContainer* w = window("W", 0, 0);
    EXPECT_TRUE(manager.isIdFree("W_BUTTON"));
    EXPECT_FALSE(manager.isIdFree("W"));

    const size_t before = manager.allComponents.size();
    EXPECT_FALSE(manager.addToPage(own<Button>("PLAY", "again"), 0));
    EXPECT_FALSE(manager.addToPage(own<Button>("SC_X", "x"), 0));
    EXPECT_FALSE(manager.addToPage(nullptr, 0));
    EXPECT_FALSE(manager.addToTopDock(own<Button>("SC_X", "x")));
    EXPECT_FALSE(manager.addToTopDock(own<Button>("PLAY", "x")));
    EXPECT_FALSE(manager.addToTopDock(nullptr));
    EXPECT_FALSE(manager.addWindow(own<ComponentContainer>("SC_W", "", false)));
    EXPECT_FALSE(manager.addWindow(own<ComponentContainer>("PLAY", "", false)));
    EXPECT_FALSE(manager.addWindow(w));
    EXPECT_FALSE(manager.addWindow(nullptr));
    EXPECT_EQ(manager.allComponents.size(), before);
    EXPECT_TRUE(manager.topDock.empty());
    EXPECT_EQ(manager.windows.size(), 1u);
}

TEST_F(ManagerTest, PageBoundsAreChecked) {
    manager.layoutDirty = false;
    for (int32_t page : {-1, 1, 49, 50}) {
        EXPECT_FALSE(manager.addToPage(own<Button>("B", "b"), page));
        EXPECT_FALSE(manager.addSystem(own<Button>("SC_B", "b"), page));
    }
    EXPECT_EQ(manager.allComponents.size(), 2u);
    EXPECT_FALSE(manager.layoutDirty);
    EXPECT_EQ(manager.addPage(1, "Orphan"), -1);
    EXPECT_EQ(manager.addPage(-1, "Orphan"), -1);
    EXPECT_EQ(manager.pageCount, 1);
}

TEST_F(ManagerTest, PageZeroInsertsBeforeItsLastComponent) {
    manager.addToPage(own<Button>("A", "a"), 0);
    manager.addToPage(own<Button>("B", "b"), 0);
    EXPECT_EQ(idsOf(manager.pages[0]), (Ids{"SC_EXIT_BUTTON", "A", "B", "SC_RETURN_BUTTON"}));
    const int32_t about = manager.addPage(0, "About");
    manager.addToPage(own<Button>("C", "c"), about);
    manager.addToPage(own<Button>("D", "d"), about);
    EXPECT_EQ(idsOf(manager.pages[1]), (Ids{"SC_GOTO_PAGE_0", "C", "D"}));
}

TEST_F(ManagerTest, AddPageMakesGotoAndBackButtons) {
    EXPECT_EQ(manager.addPage(0, "About"), 1);
    EXPECT_EQ(manager.addPage(1, "About the Creator"), 2);
    EXPECT_EQ(idsOf(manager.pages[0]),
              (Ids{"SC_EXIT_BUTTON", "SC_GOTO_PAGE_1", "SC_RETURN_BUTTON"}));
    EXPECT_EQ(manager.pages[0][1]->text, "About");
    EXPECT_EQ(idsOf(manager.pages[1]), (Ids{"SC_GOTO_PAGE_0", "SC_GOTO_PAGE_2"}));
    EXPECT_EQ(manager.pages[1][0]->text, "Back");
    EXPECT_EQ(idsOf(manager.pages[2]), (Ids{"SC_GOTO_PAGE_1"}));
    EXPECT_EQ(manager.pageTitles[2], "About the Creator");
    EXPECT_EQ(manager.pages[2][0]->width, 43); // "Back" shrunk to its text
}

TEST_F(ManagerTest, FiftyPagesAtMost) {
    for (int32_t i = 1; i < InterfaceManager::MAX_PAGES; ++i)
        ASSERT_EQ(manager.addPage(i - 1, "P" + std::to_string(i)), i);
    EXPECT_EQ(manager.pageCount, 50);
    const size_t before = manager.allComponents.size();
    EXPECT_EQ(manager.addPage(0, "Too many"), -1);
    EXPECT_EQ(manager.pageCount, 50);
    EXPECT_EQ(manager.allComponents.size(), before);
    EXPECT_EQ(manager.pages[49][0]->id, "SC_GOTO_PAGE_48");
}

TEST_F(ManagerTest, DockAndWindowRegistration) {
    auto* vol = own<Button>("VOL", "  Vol -  ");
    vol->setSize(300, 80);
    manager.layoutDirty = false;
    EXPECT_TRUE(manager.addToTopDock(vol));
    EXPECT_EQ(vol->width, 93); // shrunk to its text plus 3
    EXPECT_TRUE(manager.layoutDirty);

    manager.layoutDirty = false;
    auto* w = own<ComponentContainer>("WIN", "Panel", false);
    EXPECT_TRUE(manager.addWindow(w));
    EXPECT_TRUE(w->titleBar);
    EXPECT_FALSE(manager.layoutDirty);
    EXPECT_EQ(manager.allComponents.back(), w);

    // A refused dock component has been shrunk all the same.
    auto* dup = own<Button>("VOL", "x");
    dup->setSize(300, 80);
    EXPECT_FALSE(manager.addToTopDock(dup));
    EXPECT_EQ(dup->width, 13);
}

TEST_F(ManagerTest, PageColumnAndTitlePlacement) {
    ProgramState s;
    InterfaceManager m(s);
    m.addPage(0, "ABCDEFGHIJ"); // 400 x 60 in the title font
    for (const char* id : {"A", "B", "C"}) {
        auto* b = own<Button>(id, id);
        b->setSize(200, 30);
        m.addToPage(b, 0);
    }
    m.layout(800, 600);
    ASSERT_EQ(m.pages[0].size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m.pages[0][i]->x, 300);
        EXPECT_EQ(m.pages[0][i]->y, 245 + 40 * static_cast<int32_t>(i));
    }
    EXPECT_EQ(m.titlePositions[0].x, 200);
    EXPECT_EQ(m.titlePositions[0].y, 450);
}

TEST_F(ManagerTest, LayoutCentresByTheSizesBeforeTheStep) {
    // After init the two system buttons are 123 x 15 and 173 x 15; the
    // first layout centres by those heights, the next by 30.
    manager.layout(800, 600);
    Button* exit = manager.exitButton;
    Button* ret = manager.returnButton;
    EXPECT_EQ(exit->width, 200);
    EXPECT_EQ(ret->y - exit->y, 40);
    EXPECT_EQ(exit->y, (600 - 50 + 10) / 2);
    manager.layout(800, 600);
    EXPECT_EQ(exit->y, (600 - 80 + 10) / 2);
    EXPECT_EQ(exit->x, 300);
    // A text field is placed but keeps its size.
    auto* field = own<TextField>("TXT", "about", false);
    manager.addToPage(field, 0);
    manager.layout(800, 600);
    EXPECT_EQ(field->width, 400);
    EXPECT_EQ(field->x, 200);
}

TEST_F(ManagerTest, TopDockRow) {
    Button* labels[3] = {own<Button>("DN", "  Vol -  "), own<Button>("PP", "Play/Pause"),
                         own<Button>("UP", "  Vol +  ")};
    for (Button* b : labels)
        manager.addToTopDock(b);
    state.windowWidth = 800;
    state.windowHeight = 600;
    manager.update(0); // dirty: lays out with the window size
    EXPECT_FALSE(manager.layoutDirty);
    // By the shrunk sizes 93, 103, 93 (x 15): row 299 wide from x 250.
    EXPECT_EQ(labels[0]->x, 250);
    EXPECT_EQ(labels[0]->y, 580);
    EXPECT_EQ(labels[1]->x, 355);
    EXPECT_EQ(labels[1]->width, 103); // a longer label keeps it wider
    EXPECT_EQ(labels[2]->x, 463);
    manager.layout(800, 600);
    // By 100, 103, 100 (x 25): row 313 wide.
    EXPECT_EQ(labels[0]->x, 243);
    EXPECT_EQ(labels[0]->y, 570);
    EXPECT_EQ(labels[0]->top, 595);
    EXPECT_EQ(labels[1]->x, 348);
    EXPECT_EQ(labels[2]->x, 456);
    EXPECT_DOUBLE_EQ(labels[2]->highlightColor.g, static_cast<double>(0.7f));
}

TEST_F(ManagerTest, MenuColourStaysDarkAndReversesAtTheLimits) {
    manager.showMenu();
    EXPECT_TRUE(manager.menuShown);
    for (double channel : {manager.menuColor.r, manager.menuColor.g, manager.menuColor.b}) {
        EXPECT_GE(channel, 0);
        EXPECT_LE(channel, 99 / 255.0);
    }
    manager.menuColor = {0.5, 0.3, 0.001};
    manager.colorRising = {true, true, false};
    manager.update(0.01);
    EXPECT_FALSE(manager.colorRising[0]);
    EXPECT_TRUE(manager.colorRising[1]);
    EXPECT_TRUE(manager.colorRising[2]);
    // One step is at most 254/127500 x 20 x seconds.
    manager.showMenu();
    const double maxStep = 254 / 127500.0 * 20 * 0.05;
    for (int i = 0; i < 2000; ++i) {
        manager.update(0.05);
        for (double c : {manager.menuColor.r, manager.menuColor.g, manager.menuColor.b}) {
            ASSERT_LE(c, 100 / 255.0 + maxStep);
            ASSERT_GE(c, -maxStep);
        }
    }
    // Closed, the colour rests.
    manager.menuShown = false;
    const Rgb before = manager.menuColor;
    manager.update(1);
    EXPECT_EQ(manager.menuColor.r, before.r);
}

// The limits are 100/255 and 1/255 in single precision and the tests are
// strict. A zero frame time adds nothing, so only the limits decide.
TEST_F(ManagerTest, MenuColourLimitsAreSinglePrecisionAndStrict) {
    const double high = static_cast<double>(100.0f / 255.0f);
    const double low = static_cast<double>(1.0f / 255.0f);
    manager.showMenu();
    // At the high limit; above 100/255 in double but below it in single
    // precision; below 1/255 in single but above it in double precision.
    manager.menuColor = {high, 0.3921568660, 0.0039215687};
    manager.colorRising = {true, true, false};
    manager.update(0);
    EXPECT_TRUE(manager.colorRising[0]);
    EXPECT_TRUE(manager.colorRising[1]);
    EXPECT_TRUE(manager.colorRising[2]);
    // At the low limit, and just outside each limit.
    manager.menuColor = {low, std::nextafter(high, 1.0), std::nextafter(low, 0.0)};
    manager.colorRising = {false, true, false};
    manager.update(0);
    EXPECT_FALSE(manager.colorRising[0]);
    EXPECT_FALSE(manager.colorRising[1]);
    EXPECT_TRUE(manager.colorRising[2]);
}

TEST_F(ManagerTest, UpdateAndHoverReachEveryComponent) {
    Button* exit = manager.exitButton;
    manager.layout(800, 600);
    const Point2i c = centre(exit);
    // Menu closed: page buttons still hear hover and update.
    EXPECT_FALSE(manager.handleMouseMove(c.x, c.y));
    EXPECT_TRUE(exit->hovered);
    manager.update(0.1);
    EXPECT_GT(exit->glow, 0);
}

TEST_F(ManagerTest, DrawsMenuPageOrWorkingScreen) {
    auto* dock = own<Button>("DOCK", "d");
    manager.addToTopDock(dock);
    ComponentContainer* w = window("W", 100, 100);
    manager.layout(800, 600);

    RecordingPainter closed;
    manager.draw(closed);
    // Dock button (body, label), then the window (outline, body, bar,
    // caption and its two children); no page component.
    ASSERT_EQ(closed.calls.size(), 2u + 4u + 2u + 2u);
    EXPECT_EQ(closed.calls[1].text, "d");
    EXPECT_EQ(closed.calls[5].text, "Panel");
    w->visible = false;
    RecordingPainter hidden;
    manager.draw(hidden);
    EXPECT_EQ(hidden.calls.size(), 2u);

    manager.showMenu();
    manager.menuColor = {0.25, 0.125, 0.0625};
    RecordingPainter open;
    manager.draw(open);
    const auto& bg = open.calls[0].vertices;
    ASSERT_EQ(bg.size(), 4u);
    expectCorner(bg[0], 0, 0);
    expectCorner(bg[2], 800, 600);
    EXPECT_DOUBLE_EQ(bg[1].color.g, 0.125);
    EXPECT_EQ(bg[3].color.r, 0);
    // Exit and return (body and label each), then the title.
    ASSERT_EQ(open.calls.size(), 1u + 4u + 1u);
    EXPECT_EQ(open.calls[2].text, "Exit Program");
    const auto& title = open.calls.back();
    EXPECT_EQ(title.kind, RecordingPainter::Title);
    EXPECT_EQ(title.text, "Main Menu K.M.P.");
    EXPECT_DOUBLE_EQ(title.x, (800 - 16 * 40) / 2);
    EXPECT_DOUBLE_EQ(title.y, 5 * (600 - 60) / 6);
    EXPECT_EQ(title.color.g, 1);
}

} // namespace
