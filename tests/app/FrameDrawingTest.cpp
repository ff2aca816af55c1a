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
#include "gui/StatusLine.h"
#include "skeleton/Bone.h"
#include "skeleton/Skeleton.h"
#include "tests/support/FrameReadback.h"
#include "tests/support/ProgramSuite.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

// The shipped window size.
constexpr int WIDTH = 1024, HEIGHT = 768;
using Screen = std::vector<uint8_t>;

// One frame as render() draws it, read back before it is presented.
Screen frame(Application& app) {
    app.drawFrame();
    return readFrame(WIDTH, HEIGHT);
}

Screen straightforward(Application& app) {
    app.setStraightforwardDrawing(true);
    app.guiPainter().textCache().setEnabled(false);
    Screen pixels = frame(app);
    app.guiPainter().textCache().setEnabled(true);
    app.setStraightforwardDrawing(false);
    return pixels;
}

using FrameDrawingTest = ProgramSuite<WIDTH, HEIGHT>;

// Steps one after the other, each keeping what the ones before it did: the
// very first frame is drawn straightforwardly, the next ones quickly.
TEST_F(FrameDrawingTest, EveryKindOfScreenIsTheStraightforwardPixels) {
    SkeletonEditor& editor = *app->scene().editor;
    InterfaceManager& gui = *app->scene().interface;
    Skeleton& figure = editor.skeleton();
    std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"start screen", [] {}}, {"main menu", [&] { gui.showMenu(); }}};
    for (int32_t page = 1; page < gui.pageCount; ++page)
        steps.push_back(
            {"menu page " + gui.pageTitles[page], [&gui, page] { gui.currentPage = page; }});
    steps.insert(
        steps.end(),
        {
            {"editor again",
             [&] {
                 gui.currentPage = 0;
                 gui.goBack();
             }},
            {"posed figure with its ghost",
             [&] {
                 figure.boneAt(5)->setAngles(40, -20, 10);
                 figure.boneAt(9)->setAngles(-30, 25, 0);
                 editor.ghostSkeleton().boneAt(5)->setAngles(-40, 10, 0);
                 editor.setGhostShown(true);
             }},
            {"a selected bone", [&] { figure.select(figure.boneAt(5)); }},
            {"load dialog with a name typed",
             [&] {
                 editor.perform(EditorAction::OpenLoad);
                 for (int32_t key : {'w', 'a', 'l', 'k'})
                     gui.handleKey(key, false);
             }},
            {"save dialog over it", [&] { editor.perform(EditorAction::QuickSave); }},
            {"a status message", [&] { editor.statusLine().show("Undo: turn bone"); }},
            {"timeline shown",
             [&] {
                 for (int i = 0; i < 6; ++i)
                     editor.perform(EditorAction::InsertFrame);
                 editor.perform(EditorAction::ToggleTimeline);
             }},
            {"shortcuts over the timeline", [&] { editor.perform(EditorAction::ToggleShortcuts); }},
        });
    ASSERT_GT(gui.pageCount, 1);

    Screen before;
    for (const auto& [what, change] : steps) {
        change();
        gui.update(0);
        const Screen reference = straightforward(*app);
        // First sight of each label, its capture, and drawing from the cache.
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(
                firstFrameDifference(reference, frame(*app), WIDTH, "straightforward", "quick"), "")
                << what << ", quick frame " << i;
        EXPECT_NE(firstFrameDifference(before, reference, WIDTH, "", ""), "")
            << what << " looks like the screen before";
        before = reference;
    }
    EXPECT_FALSE(gui.menuShown);
}

} // namespace
