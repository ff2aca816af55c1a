// Every edit of the editor is one undo step: random runs of edits undo back
// to the start and redo to the end byte for byte, each kind of step puts its
// screen back, an unstored pose survives stepping away, and the status line
// names what was undone.
#include "animation/AnimationFile.h"
#include "editor/InputMap.h"
#include "gui/StatusLine.h"
#include "skeleton/SkeletonPose.h"
#include "tests/editor/EditorFixture.h"

#include <functional>
#include <random>

namespace {

class EditorUndo : public EditorFixture {
protected:
    // Holds a rotation button on `bone` for `seconds`.
    void turn(int bone, const std::string& button, double seconds = 0.5) {
        skeleton().select(skeleton().boneAt(bone));
        press(button);
        for (double t = 0; t < seconds; t += 0.05)
            frame(0.05);
        release(button);
    }
    void act(EditorAction action) { editor->perform(action); }
    std::string statusText() { return editor->statusLine().message(); }
    std::string animationSaved() { return animationText(animation()); }
    SkeletonPose pose() { return SkeletonPose::capture(skeleton()); }
    // What the screen shows of the editing state.
    std::string screen() {
        std::ostringstream s;
        s << text("TF_CFS") << '|' << text("TF_FWD") << '|' << text("TF_FTD") << '|'
          << text("TF_FMD") << '|' << text("T_CBRD") << '|' << editor->ghostShown() << '|'
          << animation().name();
        return s.str();
    }
    void saveAs(const std::string& name) {
        click("SHOW_SAVE");
        field("T_SFN")->setText(name);
        testing::internal::CaptureStdout();
        click("SAVE_ANI");
        testing::internal::GetCapturedStdout();
    }
    void loadName(const std::string& name) {
        click("SHOW_LOAD");
        field("T_LFN")->setText(name);
        testing::internal::CaptureStdout();
        click("LOAD_ANI");
        testing::internal::GetCapturedStdout();
    }
};

TEST_F(EditorUndo, NothingToUndoOrRedoAtStart) {
    act(EditorAction::Undo);
    EXPECT_EQ(statusText(), "Nothing to undo");
    act(EditorAction::Redo);
    EXPECT_EQ(statusText(), "Nothing to redo");
    EXPECT_EQ(animation().frameCount(), 1);
}

TEST_F(EditorUndo, ATurnUndoesToTheExactPoseAndReadout) {
    const SkeletonPose start = pose();
    turn(14, "MAIN_AXIS_DECR");
    const std::string turned = text("T_CBRD");
    ASSERT_NE(pose(), start);
    EXPECT_TRUE(editor->poseUnstored());
    act(EditorAction::Undo);
    EXPECT_EQ(statusText(), "Undo: turn bone");
    EXPECT_EQ(pose(), start);
    EXPECT_NE(text("T_CBRD"), turned);
    EXPECT_FALSE(editor->poseUnstored());
    act(EditorAction::Redo);
    EXPECT_EQ(statusText(), "Redo: turn bone");
    EXPECT_EQ(text("T_CBRD"), turned);
    // A turn changes the pose, not the animation.
    EXPECT_FALSE(editor->unsavedChanges());
}

TEST_F(EditorUndo, SteppingAwayFromAnUnstoredPoseIsAStep) {
    click("ADD_NEW_FRAME"); // frames 0 and 1, frame 1 current
    turn(14, "MAIN_AXIS_DECR");
    const SkeletonPose turned = pose();
    click("NEXT_FRAME");
    EXPECT_EQ(currentIndex(), 0);
    EXPECT_NE(pose(), turned);
    act(EditorAction::Undo);
    EXPECT_EQ(statusText(), "Undo: next frame");
    EXPECT_EQ(currentIndex(), 1);
    EXPECT_EQ(pose(), turned) << "the unstored pose is back on the frame it was made on";
    EXPECT_EQ(text("TF_CFS"), "1");
    // Stepping from a stored pose is no step: undo goes to the turn.
    click("SAVE_FRAME");
    click("NEXT_FRAME");
    act(EditorAction::Undo);
    EXPECT_EQ(statusText(), "Undo: save pose");
}

TEST_F(EditorUndo, EachKindOfStepPutsItsScreenBack) {
    struct Kind {
        const char* label;
        std::function<void()> prepare;
        std::function<void()> act;
    };
    auto nothing = [] {};
    auto turnArm = [this] { turn(14, "MAIN_AXIS_DECR"); };
    saveAs("saved");
    const Kind kinds[] = {
        {"turn bone", nothing, [this] { turn(18, "SEC_AXIS_INCR"); }},
        {"move figure", nothing, [this] { turn(18, "MOVE_SKELETON_UP"); }},
        {"save pose", turnArm, [this] { click("SAVE_FRAME"); }},
        {"new frame", turnArm, [this] { click("ADD_NEW_FRAME"); }},
        {"apply properties", nothing,
         [this] {
             field("TF_FWD")->setText("250");
             click("CHANGE_MOTION");
             click("APPLY_FRAME");
         }},
        {"load saved", nothing, [this] { loadName("saved"); }},
        {"previous frame", turnArm, [this] { click("PREV_FRAME"); }},
        {"stop", turnArm, [this] { click("STOP_ANIMATION"); }},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.label);
        click("ADD_NEW_FRAME");
        // A selection is no step: the screen shows it before and after.
        skeleton().select(skeleton().boneAt(18));
        kind.prepare();
        frame(0.01);
        const std::string before = screen();
        const std::string saved = animationSaved();
        const SkeletonPose posed = pose();
        kind.act();
        frame(0.01);
        EXPECT_TRUE(screen() != before || animationSaved() != saved || pose() != posed)
            << "the step changed nothing";
        act(EditorAction::Undo);
        EXPECT_EQ(statusText(), std::string("Undo: ") + kind.label);
        EXPECT_EQ(screen(), before);
        EXPECT_EQ(animationSaved(), saved);
        EXPECT_EQ(pose(), posed);
    }
    // A save writes a file and changes no edit: Ctrl+Z after it undoes the
    // edit before it.
    click("ADD_NEW_FRAME");
    saveAs("other");
    act(EditorAction::Undo);
    EXPECT_EQ(statusText(), "Undo: new frame");
}

TEST_F(EditorUndo, RandomEditsUndoToTheStartAndRedoToTheEnd) {
    saveAs("base");
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        build();
        std::mt19937 random(seed);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const char* rotations[] = {"MAIN_AXIS_INCR", "MAIN_AXIS_DECR", "SEC_AXIS_INCR",
                                   "SEC_AXIS_DECR",  "SELF_AXIS_INCR", "SELF_AXIS_DECR"};
        // Every run starts and ends with an edit, so start and end are the
        // states on either side of the history.
        turn(1 + pick(20), rotations[pick(6)]);
        const std::string startText = animationSaved();
        act(EditorAction::Undo);
        const SkeletonPose startPose = pose();
        act(EditorAction::Redo);
        for (int step = 0; step < 25; ++step) {
            switch (pick(11)) {
            case 0:
                turn(1 + pick(20), rotations[pick(6)], 0.05 * (1 + pick(10)));
                break;
            case 1:
                turn(0, pick(2) ? "MOVE_SKELETON_UP" : "MOVE_SKELETON_DOWN", 0.2);
                break;
            case 2:
                click("SAVE_FRAME");
                break;
            case 3:
                click("ADD_NEW_FRAME");
                break;
            case 4:
                field("TF_FTD")->setText(std::to_string(pick(3000)));
                click("CHANGE_MOTION");
                click("APPLY_FRAME");
                break;
            case 5:
                click(pick(2) ? "NEXT_FRAME" : "PREV_FRAME");
                break;
            case 6:
                click("PLAY_ANIMATION");
                frame(0.1 + 0.1 * pick(5));
                click("STOP_ANIMATION");
                break;
            case 7:
                loadName("base");
                break;
            case 8:
                act(EditorAction::Undo);
                break;
            case 9:
                act(pick(2) ? EditorAction::NextFrame : EditorAction::PreviousFrame);
                break;
            default:
                saveAs(pick(2) ? "base" : "other");
                break;
            }
        }
        turn(1 + pick(20), rotations[pick(6)]);
        const std::string endText = animationSaved();
        const SkeletonPose endPose = pose();

        int undone = 0;
        while (editor->history().canUndo() && undone < 1000) {
            act(EditorAction::Undo);
            ++undone;
        }
        EXPECT_EQ(animationSaved(), startText);
        EXPECT_EQ(pose(), startPose);
        while (editor->history().canRedo())
            act(EditorAction::Redo);
        EXPECT_EQ(animationSaved(), endText);
        EXPECT_EQ(pose(), endPose);
    }
}

TEST_F(EditorUndo, UndoWhilePlayingStopsThePlayerFirst) {
    click("ADD_NEW_FRAME");
    click("ADD_NEW_FRAME");
    click("PLAY_ANIMATION");
    frame(0.3);
    ASSERT_TRUE(editor->player().playing());
    act(EditorAction::Undo);
    EXPECT_FALSE(editor->player().playing());
    EXPECT_EQ(editor->player().currentFrame(), nullptr);
    EXPECT_TRUE(window("CC_FSM")->visible);
    EXPECT_EQ(animation().frameCount(), 2);
    frame(0.5); // the player must not touch the removed frame
    EXPECT_EQ(currentIndex(), 1);
}

TEST_F(EditorUndo, UnsavedUntilSavedOrLoaded) {
    EXPECT_FALSE(editor->unsavedChanges());
    click("ADD_NEW_FRAME");
    EXPECT_TRUE(editor->unsavedChanges());
    saveAs("walk");
    EXPECT_FALSE(editor->unsavedChanges());
    EXPECT_EQ(statusText(), "Saved walk");
    field("TF_FWD")->setText("500");
    click("APPLY_FRAME");
    EXPECT_TRUE(editor->unsavedChanges());
    loadName("walk");
    EXPECT_FALSE(editor->unsavedChanges());
    EXPECT_EQ(statusText(), "Loaded walk: 2 frames");
    // Undoing the load brings the changed animation back, unsaved again.
    act(EditorAction::Undo);
    EXPECT_TRUE(editor->unsavedChanges());
    EXPECT_EQ(animation().frameAt(1)->waitTime, 0.5);
}

} // namespace
