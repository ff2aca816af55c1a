// The loop leaves a frame undrawn only when it would be the very frame on
// screen: anything that changes a pixel (a bone, the selection, the camera,
// a light, any text or panel, a pick waiting for its frame) draws again.
#include "app/Application.h"
#include "app/Scene.h"
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/StatusLine.h"
#include "scene/SceneDrawing.h"
#include "skeleton/Bone.h"
#include "skeleton/Skeleton.h"
#include "tests/support/ProgramSuite.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

// Frames are only left undrawn with a frame limit to wait out.
using FrameSkippingTest = ProgramSuite<800, 600, 60>;

// Whether one pass of the loop's drawing step drew.
bool passDraws(Application& app) {
    const uint64_t before = app.framesDrawn();
    app.renderChanged();
    return app.framesDrawn() == before + 1;
}

TEST_F(FrameSkippingTest, OnlyAChangeOnScreenDrawsTheNextFrame) {
    SkeletonEditor& editor = *app->scene().editor;
    Skeleton& figure = editor.skeleton();
    Lighting& lighting = app->scene().lighting;
    editor.setGhostShown(true);
    // Each change, and whether it shows.
    const std::vector<std::pair<std::function<void()>, bool>> changes = {
        {[] {}, false},
        {[&] { figure.boneAt(5)->setAngles(25, -10, 5); }, true},
        {[&] { editor.ghostSkeleton().boneAt(5)->setAngles(25, -10, 5); }, true},
        {[&] { editor.setGhostShown(false); }, true},
        // A hidden ghost shows nothing.
        {[&] { editor.ghostSkeleton().boneAt(5)->setAngles(0, 0, 0); }, false},
        {[&] { editor.setGhostShown(true); }, true},
        {[&] { figure.select(figure.boneAt(5)); }, true},
        {[&] {
             app->scene().camera.orbitYaw += 10;
             app->update();
         },
         true},
        {[&] {
             lighting.light0On = !lighting.light0On;
             switchLight(lighting, 0);
         },
         true},
        {[&] { editor.statusLine().show("Undo: turn bone"); }, true},
        {[&] {
             editor.components().loadWindow->visible = !editor.components().loadWindow->visible;
         },
         true},
        {[&] { app->scene().interface->showMenu(); }, true},
        {[&] { app->scene().interface->goBack(); }, true},
        // A pick waits for its frame and is done in it.
        {[&] { figure.pickRequested = true; }, true},
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        // Settle first: a pass that leaves the frame as it is.
        int passes = 0;
        while (passDraws(*app))
            ASSERT_LT(++passes, 5) << "the frame never settled before change " << i;
        changes[i].first();
        EXPECT_EQ(passDraws(*app), changes[i].second) << "change " << i;
    }
    EXPECT_FALSE(figure.pickRequested);
}

} // namespace
