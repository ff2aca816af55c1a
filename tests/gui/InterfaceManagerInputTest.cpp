#include "gui/KeyCodes.h"
#include "tests/gui/ManagerFixture.h"

#include <gtest/gtest.h>

namespace {

TEST_F(ManagerTest, ClosedMenuPassesMissesToTheScene) {
    window("W", 450, 350);
    EXPECT_FALSE(manager.handleClick(0, CLICK_PRESS, 700, 50));
    EXPECT_FALSE(manager.handleClick(0, CLICK_RELEASE, 700, 50));
    // Page components take no clicks while the menu is closed.
    manager.layout(800, 600);
    const Point2i exit = centre(manager.exitButton);
    EXPECT_FALSE(manager.handleClick(0, CLICK_PRESS, exit.x, exit.y));
    EXPECT_EQ(manager.exitButton->state, Button::STATE_IDLE);
}

TEST_F(ManagerTest, OpenMenuTakesEveryClickForItsPageOnly) {
    ComponentContainer* w = window("W", 0, 0);
    manager.layout(800, 600);
    manager.showMenu();
    EXPECT_TRUE(manager.handleClick(0, CLICK_PRESS, 5, 5));
    EXPECT_FALSE(static_cast<ComponentContainer*>(w)->dragging);
    EXPECT_EQ(static_cast<Button*>(w->getFirst())->state, Button::STATE_IDLE);
    EXPECT_TRUE(manager.handleClick(2, CLICK_RELEASE, 400, 300));
    EXPECT_TRUE(hits.empty());
}

TEST_F(ManagerTest, ButtonHitsReachTheCallbackOnPressAndRelease) {
    ComponentContainer* w = window("W", 100, 100);
    const Point2i b = centre(w->getFirst());
    EXPECT_TRUE(manager.handleClick(0, CLICK_PRESS, b.x, b.y));
    EXPECT_TRUE(manager.handleClick(0, CLICK_RELEASE, b.x, b.y));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].id, "W_BUTTON");
    EXPECT_EQ(hits[0].state, Button::STATE_PRESSED);
    EXPECT_EQ(hits[1].state, Button::STATE_IDLE);
    // Pressed, then released elsewhere: only the press is a hit.
    manager.handleClick(0, CLICK_PRESS, b.x, b.y);
    manager.handleClick(0, CLICK_RELEASE, 790, 590);
    EXPECT_EQ(hits.size(), 3u);
}

TEST_F(ManagerTest, DockAndWindowBothSeeAClickAndTheWindowWins) {
    auto* dock = own<Button>("DOCK", "dock");
    manager.addToTopDock(dock);
    manager.layout(800, 600);
    ComponentContainer* w = window("W", 0, 0);
    // Make the window's button cover the dock button.
    w->splitRatio = 0.9;
    w->setSize(800, 1200);
    const Point2i d = centre(dock);
    ASSERT_TRUE(w->getFirst()->contains(d.x, d.y));
    manager.handleClick(0, CLICK_PRESS, d.x, d.y);
    EXPECT_EQ(dock->state, Button::STATE_PRESSED);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].id, "W_BUTTON");
    // Without the window the dock's hit counts.
    w->visible = false;
    manager.handleClick(0, CLICK_RELEASE, d.x, d.y);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[1].id, "DOCK");
}

TEST_F(ManagerTest, FocusFollowsFieldsButtonsAndEmptyPresses) {
    ComponentContainer* w = window("W", 100, 100);
    auto* field = static_cast<TextField*>(w->getSecond());
    const Point2i f = centre(field);
    EXPECT_TRUE(manager.handleClick(0, CLICK_PRESS, f.x, f.y));
    EXPECT_EQ(manager.focusedField, field);
    // The container's bare edge: taken, focus kept.
    EXPECT_TRUE(manager.handleClick(0, CLICK_PRESS, 100, 100));
    EXPECT_EQ(manager.focusedField, field);
    // A release on nothing keeps the focus, a press on nothing clears it.
    EXPECT_FALSE(manager.handleClick(0, CLICK_RELEASE, 700, 50));
    EXPECT_EQ(manager.focusedField, field);
    EXPECT_FALSE(manager.handleClick(0, CLICK_PRESS, 700, 50));
    EXPECT_EQ(manager.focusedField, nullptr);
    // A button hit clears it too.
    manager.handleClick(0, CLICK_PRESS, f.x, f.y);
    const Point2i b = centre(w->getFirst());
    manager.handleClick(0, CLICK_PRESS, b.x, b.y);
    EXPECT_EQ(manager.focusedField, nullptr);
    // A field that is not editable never takes the focus.
    field->editable = false;
    manager.handleClick(0, CLICK_PRESS, f.x, f.y);
    EXPECT_EQ(manager.focusedField, nullptr);
}

TEST_F(ManagerTest, SystemCommandsActOnReleaseOnly) {
    const int32_t about = manager.addPage(0, "About");
    manager.layout(800, 600);
    manager.showMenu();
    InterfaceComponent* gotoAbout = manager.pages[0][1];
    const Point2i g = centre(gotoAbout);
    manager.handleClick(0, CLICK_PRESS, g.x, g.y);
    EXPECT_EQ(manager.currentPage, 0);
    ASSERT_EQ(hits.size(), 1u); // the press goes to the callback
    EXPECT_EQ(hits[0].id, "SC_GOTO_PAGE_1");
    manager.handleClick(0, CLICK_RELEASE, g.x, g.y);
    EXPECT_EQ(manager.currentPage, about);
    EXPECT_EQ(hits.size(), 1u); // the release does not

    const Point2i back = centre(manager.pages[1][0]);
    click(back.x, back.y);
    EXPECT_EQ(manager.currentPage, 0);

    const Point2i ret = centre(manager.returnButton);
    click(ret.x, ret.y);
    EXPECT_FALSE(manager.menuShown);
    EXPECT_TRUE(state.running);

    manager.showMenu();
    const Point2i exit = centre(manager.exitButton);
    manager.handleClick(0, CLICK_PRESS, exit.x, exit.y);
    manager.handleClick(0, CLICK_RELEASE, 5, 5); // released outside
    EXPECT_TRUE(state.running);
    click(exit.x, exit.y);
    EXPECT_FALSE(state.running);
}

TEST_F(ManagerTest, GotoPageNeedsANumberThatNamesAMadePage) {
    manager.addPage(0, "About"); // pages 0 and 1
    manager.currentPage = 1;
    for (const char* id : {"SC_GOTO_PAGE_7", "SC_GOTO_PAGE_", "SC_GOTO_PAGE_x1", "SC_GOTO_PAGE_-1",
                           "SC_GOTO_PAGE_+0", "SC_GOTO_PAGE_49", "SC_GOTO_PAGE_99"}) {
        Button b(id, "x");
        EXPECT_TRUE(manager.dispatchCommand(&b, 0, 0));
        EXPECT_EQ(manager.currentPage, 1) << id;
    }
    // At most two characters are read, so "SC_GOTO_PAGE_012" names page 1
    // and "SC_GOTO_PAGE_0x" page 0.
    Button longer("SC_GOTO_PAGE_012", "x");
    manager.currentPage = 0;
    manager.dispatchCommand(&longer, 0, 0);
    EXPECT_EQ(manager.currentPage, 1);
    Button trailing("SC_GOTO_PAGE_0x", "x");
    manager.dispatchCommand(&trailing, 0, 0);
    EXPECT_EQ(manager.currentPage, 0);
    // Unknown system ids do nothing; no callback for any of them.
    Button other("SC_WHATEVER", "x");
    manager.dispatchCommand(&other, 0, 0);
    EXPECT_TRUE(hits.empty());
}

TEST_F(ManagerTest, EscapeOpensAndStepsBack) {
    manager.addPage(0, "About");
    manager.addPage(1, "About the Creator");
    EXPECT_TRUE(manager.handleKey(Key::Escape, false));
    EXPECT_EQ(manager.currentPage, 0);
    manager.currentPage = 2;
    EXPECT_TRUE(manager.handleKey(Key::Escape, false));
    EXPECT_EQ(manager.currentPage, 1);
    EXPECT_TRUE(manager.handleKey(Key::Escape, false));
    EXPECT_EQ(manager.currentPage, 0);
    EXPECT_FALSE(manager.handleKey(Key::Escape, false));
    EXPECT_FALSE(manager.menuShown);
    // Reopening shows the page that was current.
    manager.currentPage = 1;
    manager.handleKey(Key::Escape, false);
    EXPECT_EQ(manager.currentPage, 1);
    EXPECT_TRUE(hits.empty());
}

TEST_F(ManagerTest, KeysTypeIntoTheFocusedField) {
    ComponentContainer* w = window("W", 100, 100);
    auto* field = static_cast<TextField*>(w->getSecond());
    // No focus: typing is ignored.
    EXPECT_FALSE(manager.handleKey('a', false));
    EXPECT_EQ(field->text, "");

    const Point2i f = centre(field);
    manager.handleClick(0, CLICK_PRESS, f.x, f.y);
    for (int32_t key : {int32_t('a'), int32_t('z'), int32_t('9'), int32_t('0'), Key::Numpad9,
                        Key::Numpad0, Key::Space, Key::Left, Key::Return, Key::F12, 1000, -5})
        manager.handleKey(key, false);
    manager.handleKey('a', true);
    EXPECT_EQ(field->text, "az9090 A");
    manager.handleKey(Key::BackSpace, false);
    manager.handleKey(Key::BackSpace, true);
    EXPECT_EQ(field->text, "az9090");

    field->inputFilter = TextField::FILTER_DIGITS;
    for (int32_t key : {int32_t('q'), Key::Numpad0 + 5, Key::Space})
        manager.handleKey(key, true);
    EXPECT_EQ(field->text, "az90905");
    field->inputFilter = TextField::FILTER_LETTERS;
    for (int32_t key : {int32_t('q'), Key::Numpad0 + 5, Key::Space, int32_t('1')})
        manager.handleKey(key, true);
    EXPECT_EQ(field->text, "az90905Q");
    // Keys report whether the menu is shown, typing or not.
    manager.showMenu();
    EXPECT_TRUE(manager.handleKey('b', false));
    EXPECT_EQ(field->text, "az90905Qb");
}

TEST_F(ManagerTest, HiddenWindowsTakeNoEventsAndNoTyping) {
    ComponentContainer* w = window("W", 100, 100);
    auto* field = static_cast<TextField*>(w->getSecond());
    const Point2i f = centre(field);
    manager.handleClick(0, CLICK_PRESS, f.x, f.y);
    ASSERT_EQ(manager.focusedField, field);
    w->visible = false;
    manager.handleKey('x', false);
    manager.handleKey(Key::BackSpace, false);
    EXPECT_EQ(field->text, "");
    EXPECT_FALSE(manager.handleClick(0, CLICK_PRESS, f.x, f.y));
    EXPECT_FALSE(manager.handleClick(0, CLICK_PRESS, 150, 310)); // title bar
    EXPECT_FALSE(manager.handleMouseDrag(400, 400));
    EXPECT_EQ(w->x, 100);
    // Shown again, it takes the typing once more.
    w->visible = true;
    manager.handleClick(0, CLICK_PRESS, f.x, f.y);
    manager.handleKey('x', false);
    EXPECT_EQ(field->text, "x");
}

TEST_F(ManagerTest, FocusOnADestroyedFieldIsDropped) {
    ComponentContainer* w = window("W", 100, 100);
    const Point2i f = centre(w->getSecond());
    manager.handleClick(0, CLICK_PRESS, f.x, f.y);
    ASSERT_NE(manager.focusedField, nullptr);
    w->setSecond(new Button("NEW", "n")); // destroys the focused field
    manager.handleKey('x', false);
    EXPECT_EQ(manager.focusedField, nullptr);
}

TEST_F(ManagerTest, TitleBarDragMovesTheWindow) {
    ComponentContainer* w = window("W", 100, 100); // bar from y 300 to 317
    InterfaceComponent* button = w->getFirst();
    EXPECT_TRUE(manager.handleClick(0, CLICK_PRESS, 150, 310));
    EXPECT_FALSE(manager.handleMouseDrag(170, 290));
    EXPECT_EQ(w->x, 120);
    EXPECT_EQ(w->y, 80);
    EXPECT_EQ(button->x, 121);
    EXPECT_EQ(button->y, 81);
    EXPECT_TRUE(hits.empty());
    manager.handleClick(0, CLICK_RELEASE, 170, 290);
    manager.handleMouseDrag(300, 300);
    EXPECT_EQ(w->x, 120);
}

TEST_F(ManagerTest, OpeningTheMenuEndsAWindowDrag) {
    ComponentContainer* w = window("W", 100, 100);
    manager.handleClick(0, CLICK_PRESS, 150, 310); // on the title bar
    ASSERT_TRUE(w->dragging);
    manager.handleKey(Key::Escape, false);
    manager.handleClick(0, CLICK_RELEASE, 150, 310); // taken by the menu page
    manager.handleKey(Key::Escape, false);
    EXPECT_FALSE(manager.menuShown);
    manager.handleMouseDrag(400, 400); // a later camera drag, say
    EXPECT_EQ(w->x, 100);
    EXPECT_EQ(w->y, 100);
}

TEST(InterfaceManagerEmpty, InputWithNothingRegisteredIsHarmless) {
    ProgramState state;
    InterfaceManager m(state);
    EXPECT_FALSE(m.handleClick(0, CLICK_PRESS, 10, 10));
    EXPECT_FALSE(m.handleMouseDrag(10, 10));
    EXPECT_FALSE(m.handleMouseMove(10, 10));
    EXPECT_FALSE(m.handleKey('a', false));
    EXPECT_TRUE(m.handleKey(Key::Escape, false)); // a menu with no page
    EXPECT_TRUE(m.handleClick(0, CLICK_PRESS, 10, 10));
    EXPECT_TRUE(m.handleKey(Key::Escape, false) == false);
    EXPECT_FALSE(m.update(0.1));
    RecordingPainter p;
    m.showMenu();
    m.draw(p);
    EXPECT_EQ(p.calls.size(), 1u); // background only
}

} // namespace
