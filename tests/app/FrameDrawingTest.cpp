// The quicker drawing must not change a single pixel of any frame. Each
// screen the user can bring up is drawn the straightforward way (immediate
// mode, blending everywhere, every text through the fonts) and the quicker
// way (batched overlay through the text atlas, opaque scenery unblended),
// and the back buffers are compared byte for byte, over several frames so
// the text cache's first sight, capture and reuse are all covered.
#include "app/Application.h"
#include "app/Scene.h"
#include "editor/InputMap.h"
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/KeyCodes.h"
#include "gui/StatusLine.h"
#include "skeleton/Bone.h"
#include "skeleton/Skeleton.h"
#include "tests/support/FrameReadback.h"
#include "tests/support/ProgramSuite.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The shipped window size.
constexpr int WIDTH = 1024, HEIGHT = 768;
using Screen = std::vector<uint8_t>;

class FrameDrawingTest : public ProgramSuite<WIDTH, HEIGHT> {
protected:

    SkeletonEditor& editor() { return *app->scene().editor; }
    InterfaceManager& gui() { return *app->scene().interface; }

    // One frame as render() draws it, read back before it is presented.
    static Screen frame() {
        app->drawFrame();
        return readFrame(WIDTH, HEIGHT);
    }
    static Screen straightforward() {
        app->setStraightforwardDrawing(true);
        app->guiPainter().textCache().setEnabled(false);
        Screen pixels = frame();
        app->guiPainter().textCache().setEnabled(true);
        app->setStraightforwardDrawing(false);
        return pixels;
    }
    static std::string firstDifference(const Screen& a, const Screen& b) {
        return firstFrameDifference(a, b, WIDTH, "straightforward", "quick");
    }
    // The screen as it stands now, three quick frames against the
    // straightforward one; also checks the screen shows something of its
    // own (differs from `other`, when given).
    void expectSame(const std::string& what, const Screen* other = nullptr) {
        gui().update(0);
        const Screen reference = straightforward();
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(firstDifference(reference, frame()), "") << what << ", quick frame " << i;
        if (other)
            EXPECT_NE(firstDifference(*other, reference), "") << what << " looks like the screen before";
        last = reference;
    }

    Screen last;
};

TEST_F(FrameDrawingTest, StartScreenMenuAndAboutPage) {
    // The very first frame is drawn straightforwardly, the next ones quickly.
    expectSame("start screen");
    const Screen start = last;
    gui().showMenu();
    expectSame("main menu", &start);
    const Screen menu = last;
    // Every other page of the menu (About and those under it).
    ASSERT_GT(gui().pageCount, 1);
    for (int32_t page = 1; page < gui().pageCount; ++page) {
        gui().currentPage = page;
        expectSame("menu page " + gui().pageTitles[page], &menu);
    }
    gui().currentPage = 0;
    gui().goBack();
    ASSERT_FALSE(gui().menuShown);
    expectSame("editor again");
}

TEST_F(FrameDrawingTest, PosedFigureGhostAndSelectedBone) {
    Skeleton& figure = *editor().skeleton;
    Skeleton& ghost = *editor().ghostSkeleton;
    figure.boneAt(5)->setAngles(40, -20, 10);
    figure.boneAt(9)->setAngles(-30, 25, 0);
    ghost.boneAt(5)->setAngles(-40, 10, 0);
    editor().showGhost = true;
    expectSame("posed figure with its ghost");
    figure.select(figure.boneAt(5));
    expectSame("a selected bone");
    figure.select(nullptr);
}

TEST_F(FrameDrawingTest, DialogsWithTextAndStatusLine) {
    editor().perform(EditorAction::OpenLoad);
    for (int32_t key : {'w', 'a', 'l', 'k'})
        gui().handleKey(key, false);
    expectSame("load dialog with a name typed");
    editor().perform(EditorAction::QuickSave);
    expectSame("save dialog over it");
    editor().statusLine->show("Undo: turn bone");
    expectSame("a status message");
    editor().loadWindow->visible = false;
    editor().saveWindow->visible = false;
}

TEST_F(FrameDrawingTest, TimelineAndShortcutsOverlay) {
    for (int i = 0; i < 6; ++i)
        editor().perform(EditorAction::InsertFrame);
    editor().perform(EditorAction::ToggleTimeline);
    expectSame("timeline shown");
    editor().perform(EditorAction::ToggleShortcuts);
    expectSame("shortcuts over the timeline");
    editor().perform(EditorAction::ToggleShortcuts);
    editor().perform(EditorAction::ToggleTimeline);
}

} // namespace
