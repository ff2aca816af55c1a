// Posing by dragging through the editor: the pick chooses the bone, the tip
// follows the pointer, Ctrl brings a hand's chain along, Shift twists, and
// the whole drag is one undo step; Shift- and Ctrl-clicks on the rotation
// and height buttons turn or move by exact steps.
#include "editor/InputMap.h"
#include "gui/StatusLine.h"
#include "scene/Camera.h"
#include "scene/CameraProjection.h"
#include "skeleton/ScreenProjection.h"
#include "skeleton/SkeletonPose.h"
#include "tests/editor/EditorFixture.h"

#include <cmath>

namespace {

class PoseDrag : public EditorFixture {
protected:
    // The program's start view of the figure in an 800 x 600 window.
    ScreenProjection view() {
        Camera camera;
        camera.mode = CAMERA_ORBIT;
        camera.target = skeleton().rootPosition();
        camera.update(0);
        return cameraProjection(camera, 800, 600);
    }
    Vec3 pixelOf(const Vec3& p) {
        Vec3 w;
        EXPECT_TRUE(view().projectInFront(p, w));
        return w;
    }
    // A press that picked `bone` (the pick itself runs in the drawing).
    void pressOn(int bone, bool ik = false) {
        skeleton().pickRequested = true;
        editor->armBoneDrag(ik);
        skeleton().pickRequested = false;
        skeleton().select(skeleton().boneAt(bone));
    }
    SkeletonPose pose() { return SkeletonPose::capture(skeleton()); }
    void act(EditorAction action) { editor->perform(action); }
};

TEST_F(PoseDrag, TheTipFollowsThePointerAndTheDragIsOneStep) {
    const SkeletonPose start = pose();
    Bone& forearm = *skeleton().boneAt(19);
    const double own = forearm.ownAngle();
    const Vec3 tip = pixelOf(forearm.endPoint());
    // A place the tip can reach: where a bent elbow puts it.
    forearm.rotateBy(-70, 5, 0);
    const Vec3 goal = pixelOf(forearm.endPoint());
    start.restore(skeleton());
    pressOn(19);
    // Toward it in small moves, as a mouse reports them.
    for (int i = 1; i <= 20; ++i)
        EXPECT_TRUE(editor->dragBoneTo(view(), tip.x + (goal.x - tip.x) * i / 20,
                                       tip.y + (goal.y - tip.y) * i / 20, 0, false));
    const Vec3 reached = pixelOf(forearm.endPoint());
    EXPECT_NEAR(reached.x, goal.x, 2);
    EXPECT_NEAR(reached.y, goal.y, 2);
    EXPECT_EQ(forearm.ownAngle(), own);
    editor->endBoneDrag();
    EXPECT_TRUE(editor->poseUnstored());
    frame(0.01);
    EXPECT_NE(text("T_CBRD"), "#.##,  #.##,  #.##");

    // A click on empty sky deselects; the undo selects the forearm again,
    // which is no pick to be named on the status line.
    skeleton().select(nullptr);
    frame(0.01);
    act(EditorAction::Undo);
    frame(0.01);
    EXPECT_EQ(editor->statusLine().message(), "Undo: drag right forearm");
    EXPECT_EQ(pose(), start);
    EXPECT_FALSE(editor->history().canUndo()) << "the whole drag was one step";

    // Undo in the middle of a drag undoes the drag so far; the rest of the
    // drag moves nothing until the next press.
    pressOn(19);
    EXPECT_TRUE(editor->dragBoneTo(view(), tip.x, tip.y - 30, 0, false));
    act(EditorAction::Undo);
    EXPECT_EQ(pose(), start);
    EXPECT_FALSE(editor->dragBoneTo(view(), tip.x, tip.y - 60, 0, false));
    editor->endBoneDrag();
    EXPECT_EQ(pose(), start);
    EXPECT_FALSE(editor->poseUnstored());
    act(EditorAction::Redo);
    EXPECT_NE(pose(), start) << "the drag so far is a step of its own";
}

TEST_F(PoseDrag, NoDragUntilThePickChoseABone) {
    skeleton().pickRequested = true;
    editor->armBoneDrag(false);
    EXPECT_FALSE(editor->dragBoneTo(view(), 400, 300, 5, false)) << "pick still pending";
    skeleton().pickRequested = false; // the pick missed: nothing selected
    EXPECT_FALSE(editor->dragBoneTo(view(), 410, 300, 5, false));
    EXPECT_FALSE(editor->dragBoneTo(view(), 420, 300, 5, false));
    editor->endBoneDrag();
    EXPECT_FALSE(editor->history().canUndo());
    // Without a press nothing is armed at all.
    skeleton().select(skeleton().boneAt(19));
    EXPECT_FALSE(editor->dragBoneTo(view(), 400, 300, 5, false));
}

TEST_F(PoseDrag, CtrlDragsAHandWithItsArmAndShiftTwists) {
    Bone& hand = *skeleton().boneAt(20);
    const SkeletonPose start = pose();
    const Vec3 tip = pixelOf(hand.endPoint());
    skeleton().boneAt(18)->rotateBy(40, 20, 0);
    skeleton().boneAt(19)->rotateBy(-40, 0, 0);
    const Vec3 goal = pixelOf(hand.endPoint());
    start.restore(skeleton());
    pressOn(20, true);
    for (int i = 1; i <= 20; ++i)
        editor->dragBoneTo(view(), tip.x + (goal.x - tip.x) * i / 20,
                           tip.y + (goal.y - tip.y) * i / 20, 1, false);
    editor->endBoneDrag();
    const Vec3 reached = pixelOf(hand.endPoint());
    EXPECT_NEAR(reached.x, goal.x, 2);
    EXPECT_NEAR(reached.y, goal.y, 2);
    EXPECT_NE(skeleton().boneAt(18)->pose(), start.angles[18]) << "the upper arm moved";
    EXPECT_EQ(hand.pose(), start.angles[20]) << "the hand itself is carried, not turned";

    Bone& forearm = *skeleton().boneAt(19);
    const BonePose before = forearm.pose();
    pressOn(19);
    editor->dragBoneTo(view(), 0, 0, 20, true);
    editor->endBoneDrag();
    EXPECT_EQ(forearm.mainAngle(), before.x);
    EXPECT_EQ(forearm.secAngle(), before.y);
    EXPECT_NE(forearm.ownAngle(), before.z);
}

TEST_F(PoseDrag, ShiftAndCtrlClicksTurnByExactSteps) {
    Bone& arm = *skeleton().boneAt(14);
    skeleton().select(&arm);
    const double main = arm.mainAngle();
    editor->setClickModifiers(false, true);
    click("MAIN_AXIS_INCR");
    EXPECT_FALSE(editor->heldChange().rotating) << "no held turn starts";
    EXPECT_EQ(arm.mainAngle(), main + 1);
    editor->setClickModifiers(true, false);
    click("MAIN_AXIS_DECR");
    EXPECT_EQ(arm.mainAngle(), main + 1 - 10);
    frame(1); // nothing keeps turning
    EXPECT_EQ(arm.mainAngle(), main + 1 - 10);

    const double height = skeleton().rootBone()->position().y;
    click("MOVE_SKELETON_DOWN");
    EXPECT_DOUBLE_EQ(skeleton().rootBone()->position().y, height - 0.1);
    editor->setClickModifiers(false, true);
    click("MOVE_SKELETON_UP");
    EXPECT_DOUBLE_EQ(skeleton().rootBone()->position().y, height - 0.1 + 0.01);

    // Limits hold: the left shoulder's main angle stops at 105.
    Bone& shoulder = *skeleton().boneAt(13);
    skeleton().select(&shoulder);
    editor->setClickModifiers(true, false);
    for (int i = 0; i < 5; ++i)
        click("MAIN_AXIS_INCR");
    EXPECT_EQ(shoulder.mainAngle(), 100);
    editor->setClickModifiers(false, false);

    act(EditorAction::Undo);
    EXPECT_EQ(editor->statusLine().message(), "Undo: turn bone");
    EXPECT_EQ(shoulder.mainAngle(), 90);
}

} // namespace
