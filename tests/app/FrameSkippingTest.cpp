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
#include <string>

namespace {

// Frames are only left undrawn with a frame limit to wait out.
class FrameSkippingTest : public ProgramSuite<800, 600, 60> {
protected:

    // Passes of the loop's drawing step until one leaves the frame as it
    // is, so the next change starts from a frame on screen.
    static void settle() {
        for (int i = 0; i < 5; ++i) {
            const uint64_t before = app->framesDrawn();
            app->renderChanged();
            if (app->framesDrawn() == before)
                return;
        }
        FAIL() << "the frame never settled";
    }
    // Whether `change` makes the next pass draw.
    static bool draws(const std::function<void()>& change) {
        settle();
        change();
        const uint64_t before = app->framesDrawn();
        app->renderChanged();
        return app->framesDrawn() == before + 1;
    }

};

TEST_F(FrameSkippingTest, AnUnchangedFrameIsNotDrawnAgain) {
    settle();
    for (int i = 0; i < 3; ++i) {
        const uint64_t before = app->framesDrawn();
        app->renderChanged();
        EXPECT_EQ(app->framesDrawn(), before) << "pass " << i;
    }
    // Switched off, every pass draws.
    app->setSkipUnchangedFrames(false);
    const uint64_t before = app->framesDrawn();
    app->renderChanged();
    app->renderChanged();
    EXPECT_EQ(app->framesDrawn(), before + 2);
    app->setSkipUnchangedFrames(true);
}

TEST_F(FrameSkippingTest, EveryChangeOnScreenDrawsTheNextFrame) {
    SkeletonEditor& editor = *app->scene().editor;
    Skeleton& figure = *editor.skeleton;
    EXPECT_TRUE(draws([&] { figure.boneAt(5)->setAngles(25, -10, 5); }));
    editor.showGhost = true;
    EXPECT_TRUE(draws([&] { editor.ghostSkeleton->boneAt(5)->setAngles(25, -10, 5); }));
    EXPECT_TRUE(draws([&] { editor.showGhost = false; }));
    // A hidden ghost shows nothing: turning it changes no pixel.
    EXPECT_FALSE(draws([&] { editor.ghostSkeleton->boneAt(5)->setAngles(0, 0, 0); }));
    EXPECT_TRUE(draws([&] { editor.showGhost = true; }));
    EXPECT_TRUE(draws([&] { figure.select(figure.boneAt(5)); }));
    EXPECT_TRUE(draws([&] { figure.select(nullptr); }));
    EXPECT_TRUE(draws([&] {
        app->scene().camera.orbitYaw += 10;
        app->update();
    }));
    Lighting& lighting = app->scene().lighting;
    EXPECT_TRUE(draws([&] {
        lighting.light0On = !lighting.light0On;
        switchLight(lighting, 0);
    }));
    EXPECT_TRUE(draws([&] {
        lighting.light0On = !lighting.light0On;
        switchLight(lighting, 0);
    }));
    EXPECT_TRUE(draws([&] { editor.statusLine->show("Undo: turn bone"); }));
    EXPECT_TRUE(draws([&] { editor.loadWindow->visible = !editor.loadWindow->visible; }));
    EXPECT_TRUE(draws([&] { app->scene().interface->showMenu(); }));
    EXPECT_TRUE(draws([&] { app->scene().interface->goBack(); }));
}

TEST_F(FrameSkippingTest, APendingPickIsDrawnAndSettles) {
    Skeleton& figure = *app->scene().editor->skeleton;
    EXPECT_TRUE(draws([&] {
        figure.pickX = 1;
        figure.pickY = 1;
        figure.pickRequested = true;
    }));
    EXPECT_FALSE(figure.pickRequested) << "the pick ran in the frame it asked for";
    settle();
}

} // namespace
