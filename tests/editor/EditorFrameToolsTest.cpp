// The frame tools at the first, a middle and the last frame and on a
// one-frame animation, each undone and redone byte for byte; tools used
// while playing; copy, paste and mirror of poses.
#include "animation/AnimationFile.h"
#include "editor/InputMap.h"
#include "gui/StatusLine.h"
#include "skeleton/SkeletonPose.h"
#include "tests/editor/EditorFixture.h"

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

class FrameTools : public EditorFixture {
protected:
    void act(EditorAction action) { editor->perform(action); }
    std::string statusText() { return editor->statusLine().message(); }
    std::string saved() { return animationText(animation()); }
    SkeletonPose pose() { return SkeletonPose::capture(skeleton()); }
    // Frames 0..n-1 told apart by their wait times 100 ms, 200 ms, ...
    void makeFrames(int n) {
        for (int i = 1; i < n; ++i)
            click("ADD_NEW_FRAME");
        for (int i = 0; i < n; ++i) {
            editor->stepToFrame(i);
            field("TF_FWD")->setText(std::to_string(100 * (i + 1)));
            click("APPLY_FRAME");
        }
    }
    // The waits of the frames in order, in hundreds of milliseconds.
    std::string order() {
        std::string out;
        for (int i = 0; i < animation().frameCount(); ++i)
            out += std::to_string(static_cast<int>(animation().frameAt(i)->waitTime * 10 + 0.5));
        return out;
    }
    // What the screen says about the current frame, checked against the
    // frame itself: counter, wait field, and the ghost showing the frame
    // before it (wrapping, as the animation loops).
    void expectShowing(int position) {
        ASSERT_EQ(currentIndex(), position);
        EXPECT_EQ(text("TF_CFS"), std::to_string(position));
        EXPECT_EQ(text("TF_FWD"),
                  std::to_string(static_cast<int>(editor->currentFrame()->waitTime * 1000)));
        const int count = animation().frameCount();
        const int before = (position + count - 1) % count;
        EXPECT_TRUE(editor->ghostShown());
        if (count > 1) {
            EXPECT_EQ(editor->ghostSkeleton().rootBone()->position(),
                      animation().frameAt(before)->rootPosition);
        }
    }
    // Undo gives back `before`, redo `after`, byte for byte.
    void expectUndoRedo(const std::string& before, const std::string& after) {
        act(EditorAction::Undo);
        EXPECT_EQ(saved(), before);
        act(EditorAction::Redo);
        EXPECT_EQ(saved(), after);
    }
};

TEST_F(FrameTools, DeleteAtEachPlaceAndNeverTheOnlyFrame) {
    act(EditorAction::DeleteFrame);
    EXPECT_EQ(statusText(), "Cannot delete the only frame");
    EXPECT_EQ(animation().frameCount(), 1);

    struct Case {
        int at;
        std::string left;
        int current;
    } cases[] = {{0, "234", 0}, {2, "124", 2}, {3, "123", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        build();
        makeFrames(4);
        editor->stepToFrame(c.at);
        const std::string before = saved();
        act(EditorAction::DeleteFrame);
        EXPECT_EQ(statusText(), "Frame " + std::to_string(c.at) + " deleted");
        EXPECT_EQ(order(), c.left);
        expectShowing(c.current);
        expectUndoRedo(before, saved());
    }
}

TEST_F(FrameTools, InsertAndDuplicateGoRightAfterTheCurrentFrame) {
    for (int at : {0, 1, 2}) {
        SCOPED_TRACE(at);
        build();
        makeFrames(3);
        editor->stepToFrame(at);
        skeleton().boneAt(14)->rotateBy(-20, 0, 0);
        const SkeletonPose turned = pose();
        std::string before = saved();
        act(EditorAction::InsertFrame);
        ASSERT_EQ(animation().frameCount(), 4);
        expectShowing(at + 1);
        // The figure's present pose, a new frame's times.
        EXPECT_EQ(text("TF_FWD"), "0");
        EXPECT_EQ(text("TF_FTD"), "1000");
        EXPECT_EQ(text("TF_FMD"), "Linear");
        EXPECT_EQ(animation().frameAt(at + 1)->boneAngles[14], turned.angles[14]);
        expectUndoRedo(before, saved());

        before = saved();
        act(EditorAction::DuplicateFrame);
        ASSERT_EQ(animation().frameCount(), 5);
        expectShowing(at + 2);
        EXPECT_EQ(animation().frameAt(at + 2)->toLine(), animation().frameAt(at + 1)->toLine());
        expectUndoRedo(before, saved());
    }
    // On a single frame: a copy after it, or a new one.
    build();
    act(EditorAction::DuplicateFrame);
    EXPECT_EQ(animation().frameCount(), 2);
    expectShowing(1);
    build();
    const std::string single = saved();
    act(EditorAction::InsertFrame);
    EXPECT_EQ(animation().frameCount(), 2);
    expectShowing(1);
    expectUndoRedo(single, saved());
}

TEST_F(FrameTools, MoveStopsAtBothEndsAndTheFrameStaysCurrent) {
    makeFrames(3);
    editor->stepToFrame(0);
    act(EditorAction::MoveFrameEarlier);
    EXPECT_EQ(statusText(), "Frame 0 is already first");
    EXPECT_EQ(order(), "123");
    std::string before = saved();
    act(EditorAction::MoveFrameLater);
    EXPECT_EQ(order(), "213");
    expectShowing(1);
    EXPECT_EQ(text("TF_FWD"), "100") << "the same frame, now at 1";
    expectUndoRedo(before, saved());
    act(EditorAction::MoveFrameLater);
    EXPECT_EQ(order(), "231");
    act(EditorAction::MoveFrameLater);
    EXPECT_EQ(statusText(), "Frame 2 is already last");
    EXPECT_EQ(order(), "231");
    // The file holds the new order and reads back with indexes as positions.
    click("SHOW_SAVE");
    field("T_SFN")->setText("moved");
    click("SAVE_ANI");
    testing::internal::CaptureStdout();
    Animation loaded(std::string(ANIMATION_FOLDER) + "moved.rgaf");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(animationText(loaded), saved());
    for (int i = 0; i < loaded.frameCount(); ++i)
        EXPECT_EQ(loaded.frameAt(i)->index, i);
}

TEST_F(FrameTools, AToolWhilePlayingStopsPlaybackFirst) {
    makeFrames(3);
    editor->stepToFrame(1);
    click("PLAY_ANIMATION");
    frame(0.1);
    frame(0.5);
    ASSERT_TRUE(editor->player().playing());
    act(EditorAction::DeleteFrame);
    EXPECT_FALSE(editor->player().playing());
    EXPECT_EQ(editor->player().currentFrame(), nullptr);
    EXPECT_TRUE(window("CC_FSM")->visible);
    EXPECT_EQ(order(), "13");
    expectShowing(1);
    for (int i = 0; i < 20; ++i)
        frame(0.1); // nothing may touch the deleted frame
    EXPECT_EQ(order(), "13");
}

TEST_F(FrameTools, CopyAndPastePosesBetweenFrames) {
    act(EditorAction::PastePose);
    EXPECT_EQ(statusText(), "Nothing to paste: copy a pose with Ctrl+C first");
    makeFrames(2);
    editor->stepToFrame(0);
    skeleton().boneAt(18)->rotateBy(20, 10, 5);
    skeleton().rootBone()->moveBy(0, 0.2, 0);
    const SkeletonPose copied = pose();
    act(EditorAction::CopyPose);
    editor->stepToFrame(1);
    ASSERT_NE(pose(), copied);
    act(EditorAction::PastePose);
    EXPECT_EQ(pose(), copied);
    EXPECT_TRUE(editor->poseUnstored()) << "kept in a frame only by the frame commands";
    act(EditorAction::Undo);
    EXPECT_EQ(statusText(), "Undo: paste pose");
    EXPECT_NE(pose(), copied);
    act(EditorAction::Redo);
    click("SAVE_FRAME");
    EXPECT_EQ(animation().frameAt(1)->boneAngles[18], copied.angles[18]);
}

TEST_F(FrameTools, MirrorTurnsTheArmsRoundAndTwiceGivesItBack) {
    skeleton().boneAt(14)->rotateBy(30, 20, 10); // left upper arm
    const SkeletonPose posed = pose();
    act(EditorAction::MirrorPose);
    EXPECT_EQ(statusText(), "Pose mirrored");
    const SkeletonPose mirrored = pose();
    // The right upper arm now does what the left one did, mirrored.
    EXPECT_NEAR(mirrored.angles[18].x, -posed.angles[14].x, 1e-6);
    EXPECT_NEAR(mirrored.angles[14].x, -posed.angles[18].x, 1e-6);
    act(EditorAction::MirrorPose);
    for (size_t i = 0; i < posed.angles.size(); ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(pose().angles[i][k], posed.angles[i][k], 1e-6) << i;
    act(EditorAction::Undo);
    EXPECT_EQ(pose(), mirrored);
    act(EditorAction::Undo);
    EXPECT_EQ(pose(), posed);

    // Pasting mirrored leaves the copy as it was.
    act(EditorAction::CopyPose);
    act(EditorAction::PasteMirrored);
    EXPECT_EQ(statusText(), "Pose pasted mirrored");
    EXPECT_EQ(pose(), mirrored);
}

TEST_F(FrameTools, AnAsymmetricSkeletonRefusesToMirror) {
    // Lengthen the right forearm: the figure is no longer its own mirror.
    const std::string path = SKELETON_PATH;
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string forearm =
        "  0.26    -10      0      0   -150      0    -10     10    -80     80     10     18";
    const size_t at = text.find(forearm);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 6, "  0.31");
    std::ofstream(path) << text;
    build();
    skeleton().boneAt(14)->rotateBy(30, 0, 0);
    const SkeletonPose posed = pose();
    act(EditorAction::MirrorPose);
    EXPECT_NE(statusText().find("symmetric"), std::string::npos) << statusText();
    EXPECT_EQ(pose(), posed);
    EXPECT_FALSE(editor->history().canUndo());
}

} // namespace
