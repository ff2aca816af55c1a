#include "gui/StatusLine.h"
#include "tests/editor/EditorFixture.h"

#include <cmath>
#include <sstream>

namespace {

using EditorCommands = EditorFixture;

TEST_F(EditorCommands, HeldRotationGrowsWithTheTimeHeld) {
    Bone* thigh = skeleton().boneAt(6);
    skeleton().select(thigh);
    double before = thigh->secAngle();
    press("SEC_AXIS_DECR");
    EXPECT_TRUE(editor->heldChange().rotating);
    EXPECT_EQ(editor->heldChange().direction, Vec3(0, -1, 0));
    std::string lastReadout;
    for (int i = 0; i < 60; ++i) {
        frame(1.0 / 60);
        // The readout follows every update.
        std::string readout = text("T_CBRD");
        if (i > 1) {
            EXPECT_NE(readout, lastReadout) << i;
        }
        lastReadout = readout;
    }
    release("SEC_AXIS_DECR");
    EXPECT_FALSE(editor->heldChange().rotating);
    // 5 * speed * dt per frame with the speed growing 5 per second: about
    // 12.5 degrees after a second.
    EXPECT_NEAR(before - thigh->secAngle(), 12.5, 0.3);
    frame(1.0 / 60);
    EXPECT_NEAR(before - thigh->secAngle(), 12.5, 0.3); // stopped with the release
}

TEST_F(EditorCommands, PressAndReleaseInOneFrameTurnsNothing) {
    Bone* arm = skeleton().boneAt(14);
    skeleton().select(arm);
    double before = arm->mainAngle();
    click("MAIN_AXIS_INCR");
    frame(1.0 / 60);
    EXPECT_EQ(arm->mainAngle(), before);
}

TEST_F(EditorCommands, RotationWithoutASelectionOnlyGrowsTheSpeed) {
    press("SELF_AXIS_INCR");
    frame(0.5);
    EXPECT_DOUBLE_EQ(editor->heldChange().rotationSpeed, 2.5);
    EXPECT_EQ(text("T_CBRD"), "#.##,  #.##,  #.##");
}

TEST_F(EditorCommands, ReleaseOffTheButtonStillEndsTheRotation) {
    skeleton().select(skeleton().boneAt(6));
    press("MAIN_AXIS_INCR");
    frame(0.1);
    // The release lands on empty space: no hit reaches the editor...
    EXPECT_FALSE(manager->handleClick(0, CLICK_RELEASE, 500, 500));
    EXPECT_TRUE(editor->heldChange().rotating);
    // ...so the input dispatch ends held changes on every left release.
    editor->endHeldChanges();
    EXPECT_FALSE(editor->heldChange().rotating);
    EXPECT_FALSE(editor->heldChange().movingSkeleton);
}

TEST_F(EditorCommands, HeightButtonsMoveTheRootAtPointThreeUnitsPerSecond) {
    double y = skeleton().rootPosition()->y;
    press("MOVE_SKELETON_UP");
    EXPECT_TRUE(editor->heldChange().movingSkeleton);
    for (int i = 0; i < 10; ++i)
        frame(0.1);
    release("MOVE_SKELETON_UP");
    EXPECT_NEAR(skeleton().rootPosition()->y - y, 0.3, 1e-9);
    press("MOVE_SKELETON_DOWN");
    frame(1.0);
    release("MOVE_SKELETON_DOWN");
    EXPECT_NEAR(skeleton().rootPosition()->y, y, 1e-9);
}

TEST_F(EditorCommands, NewFramesStepAndLoopWithTheGhostBehind) {
    click("ADD_NEW_FRAME");
    EXPECT_EQ(currentIndex(), 1);
    EXPECT_EQ(text("TF_CFS"), "1");
    EXPECT_TRUE(editor->ghostShown());
    click("ADD_NEW_FRAME");
    ASSERT_EQ(animation().frameCount(), 3);
    EXPECT_EQ(currentIndex(), 2);

    click("NEXT_FRAME"); // the looping temp animation wraps
    EXPECT_EQ(currentIndex(), 0);
    EXPECT_EQ(text("TF_CFS"), "0");
    EXPECT_TRUE(editor->ghostShown());

    click("PREV_FRAME"); // frame 0 back to frame 2, ghost on frame 1
    EXPECT_EQ(currentIndex(), 2);
    EXPECT_TRUE(editor->ghostShown());
    click("PREV_FRAME");
    click("PREV_FRAME");
    EXPECT_EQ(currentIndex(), 0);
    EXPECT_TRUE(editor->ghostShown()); // looping: the last frame comes before 0
}

TEST_F(EditorCommands, StoredPosesComeBackAndUnsavedOnesAreLost) {
    Bone* shin = skeleton().boneAt(7);
    shin->rotateBy(40, 0, 0);
    click("SAVE_FRAME"); // frame 0 now holds the bent knee
    click("ADD_NEW_FRAME");
    shin->rotateBy(30, 0, 0); // not saved into frame 1
    click("PREV_FRAME");
    EXPECT_NEAR(shin->mainAngle(), 40, 1e-9);
    // The ghost shows the frame before: frame 1, holding the 40 too.
    EXPECT_NEAR(editor->ghostSkeleton().boneAt(7)->mainAngle(), 40, 1e-9);
    click("NEXT_FRAME");
    EXPECT_NEAR(shin->mainAngle(), 40, 1e-9);
    EXPECT_NEAR(editor->ghostSkeleton().boneAt(7)->mainAngle(), 40, 1e-9);
}

TEST_F(EditorCommands, PlayHidesFrameSelectionAndStopStepsOn) {
    click("ADD_NEW_FRAME");
    click("ADD_NEW_FRAME");
    click("NEXT_FRAME"); // frame 0
    ASSERT_EQ(currentIndex(), 0);
    click("PLAY_ANIMATION");
    EXPECT_TRUE(editor->player().playing());
    EXPECT_FALSE(window("CC_FSM")->visible);
    EXPECT_FALSE(editor->ghostShown());
    for (int i = 0; i < 30; ++i)
        frame(0.1);
    click("STOP_ANIMATION");
    EXPECT_FALSE(editor->player().playing());
    EXPECT_TRUE(window("CC_FSM")->visible);
    EXPECT_TRUE(editor->ghostShown());
    EXPECT_EQ(currentIndex(), 1); // the frame after the one current before Play
}

TEST_F(EditorCommands, PlayingMovesTheSkeletonThroughTheFrames) {
    Bone* shin = skeleton().boneAt(7);
    click("ADD_NEW_FRAME");
    shin->rotateBy(90, 0, 0);
    click("SAVE_FRAME"); // frame 1: knee at 90
    click("NEXT_FRAME"); // frame 0, knee back at 0
    ASSERT_NEAR(shin->mainAngle(), 0, 1e-9);
    click("PLAY_ANIMATION");
    frame(0.01); // the snapshot starts
    for (int i = 0; i < 12; ++i)
        frame(0.1); // 0.2 s into frame 1, then its 1 s transition back towards 0
    double bent = shin->mainAngle();
    EXPECT_GT(bent, 1);
    EXPECT_LT(bent, 90);
}

TEST_F(EditorCommands, MotionLabelCyclesAndApplyCopiesIntoTheFrame) {
    const char* cycle[] = {"Ease In", "Ease Out", "Ease In/Out", "Linear"};
    for (const char* next : cycle) {
        click("CHANGE_MOTION");
        EXPECT_EQ(text("TF_FMD"), next);
        EXPECT_EQ(editor->currentFrame()->motionType, 3); // only Apply changes the frame
    }
    click("CHANGE_MOTION");
    click("CHANGE_MOTION"); // Ease Out
    click("APPLY_FRAME");
    EXPECT_EQ(editor->currentFrame()->motionType, 23);
}

TEST_F(EditorCommands, MillisecondFieldsShowAndApply) {
    field("TF_FWD")->setText("2500");
    field("TF_FTD")->setText("");
    click("APPLY_FRAME");
    EXPECT_DOUBLE_EQ(editor->currentFrame()->waitTime, 2.5);
    EXPECT_DOUBLE_EQ(editor->currentFrame()->transitionTime, 0);
    EXPECT_EQ(text("TF_FWD"), "2500"); // applying keeps the typed text

    // Over an hour, or longer in all than the exporter takes: refused with
    // a word, the frame as it was.
    struct Row {
        const char* wait;
        const char* transition;
        double waitSeconds, transitionSeconds;
        const char* said;
    };
    const Row rows[] = {
        {"99999999999999", "0", 2.5, 0, "Not applied: a wait or transition takes at most one hour"},
        {"3000000", "0", 3000, 0, ""},
        {"3000000", "3300000", 3000, 0, "Not applied: animation 'temp' is too long to export"},
    };
    for (const Row& row : rows) {
        field("TF_FWD")->setText(row.wait);
        field("TF_FTD")->setText(row.transition);
        click("APPLY_FRAME");
        EXPECT_DOUBLE_EQ(editor->currentFrame()->waitTime, row.waitSeconds) << row.wait;
        EXPECT_DOUBLE_EQ(editor->currentFrame()->transitionTime, row.transitionSeconds);
        if (*row.said) {
            EXPECT_EQ(editor->statusLine().message().rfind(row.said, 0), 0u)
                << editor->statusLine().message();
        }
    }

    editor->currentFrame()->waitTime = 0.25;
    editor->currentFrame()->transitionTime = 1500;
    editor->showFrameProperties();
    EXPECT_EQ(text("TF_FWD"), "250");
    EXPECT_EQ(text("TF_FTD"), "1.5e+06");
    // A time read from a file far beyond the fields' range shows clamped.
    editor->currentFrame()->waitTime = 1e300;
    editor->showFrameProperties();
    EXPECT_EQ(editor->frameTimes().waitMs, 2147483647);
}

TEST_F(EditorCommands, UnknownMotionTypeKeepsTheLabel) {
    click("CHANGE_MOTION"); // "Ease In"
    editor->currentFrame()->motionType = 7;
    editor->showFrameProperties();
    EXPECT_EQ(text("TF_FMD"), "Ease In");
    click("APPLY_FRAME");
    EXPECT_EQ(editor->currentFrame()->motionType, 13);
}

TEST_F(EditorCommands, ReadoutCutsAnglesToTwoDecimals) {
    Bone* arm = skeleton().boneAt(14);
    arm->setAngles(12.3456, -7.5, 45.999999);
    skeleton().select(arm);
    editor->refreshBoneReadout();
    // 45.999999 is 46 in six significant digits; the secondary limit keeps
    // -7.5 inside the arm's range.
    EXPECT_EQ(text("T_CBRD"), "12.34,  -7.5,  46");
    skeleton().select(nullptr);
    editor->refreshBoneReadout();
    EXPECT_EQ(text("T_CBRD"), "#.##,  #.##,  #.##");
}

TEST_F(EditorCommands, ReleasesAndOtherIdsDoNothing) {
    int frames = animation().frameCount();
    release("ADD_NEW_FRAME"); // a release without a press is no hit at all
    EXPECT_EQ(animation().frameCount(), frames);
    Button stray("MUSIC_VOLUME_UP", "x");
    stray.state = Button::STATE_PRESSED;
    editor->onCommand(&stray);
    editor->onCommand(nullptr);
    EXPECT_EQ(animation().frameCount(), frames);
}

TEST_F(EditorCommands, OneShotCommandsActOnThePressOnly) {
    // Everything a one-shot command can change, as one comparable text.
    auto snapshot = [this]() {
        std::ostringstream s;
        s << animation().name() << '|' << animation().frameCount() << '|' << currentIndex() << '|'
          << editor->player().playing() << editor->ghostShown() << window("CC_FSM")->visible
          << window("C_LAD")->visible << window("C_SAD")->visible << '|' << text("TF_FMD") << '|'
          << text("T_LFN") << '|' << window("C_SAD")->getText() << '|'
          << editor->currentFrame()->waitTime << '|' << editor->currentFrame()->boneAngles[7].x;
        return s.str();
    };
    struct Command {
        const char* id;
        const char* opened; // a dialog the command needs open first, if any
    } commands[] = {
        {"NEXT_FRAME", nullptr},     {"PREV_FRAME", nullptr},      {"PLAY_ANIMATION", nullptr},
        {"STOP_ANIMATION", nullptr}, {"SAVE_FRAME", nullptr},      {"ADD_NEW_FRAME", nullptr},
        {"CHANGE_MOTION", nullptr},  {"APPLY_FRAME", nullptr},     {"SHOW_LOAD", nullptr},
        {"SHOW_SAVE", nullptr},      {"LOAD_ANI", "SHOW_LOAD"},    {"CANCEL_LOAD", "SHOW_LOAD"},
        {"SAVE_ANI", "SHOW_SAVE"},   {"CANCEL_SAVE", "SHOW_SAVE"},
    };
    for (const Command& c : commands) {
        SCOPED_TRACE(c.id);
        build();
        click("ADD_NEW_FRAME"); // two frames, frame 1 current
        skeleton().boneAt(7)->rotateBy(25, 0, 0);
        field("TF_FWD")->setText("123");
        if (c.opened)
            click(c.opened);
        auto* button = static_cast<Button*>(find(c.id));
        ASSERT_NE(button, nullptr);

        const std::string before = snapshot();
        button->state = Button::STATE_IDLE;
        editor->onCommand(button);
        EXPECT_EQ(snapshot(), before) << "acted on the release";

        button->state = Button::STATE_PRESSED;
        testing::internal::CaptureStdout();
        editor->onCommand(button);
        testing::internal::GetCapturedStdout();
        EXPECT_NE(snapshot(), before) << "did nothing on the press";
    }
}

TEST_F(EditorCommands, UpdateTurnsBeforeItMovesAndThePlayerComesLast) {
    Bone* shin = skeleton().boneAt(7);
    skeleton().select(shin);
    const double height = skeleton().rootPosition()->y;
    const double sec = shin->secAngle();
    // A rotation and a height button held together: only the rotation runs,
    // with the direction of the button pressed last.
    press("MAIN_AXIS_INCR");
    press("MOVE_SKELETON_UP");
    ASSERT_TRUE(editor->heldChange().rotating && editor->heldChange().movingSkeleton);
    frame(0.5);
    frame(0.5);
    EXPECT_EQ(skeleton().rootPosition()->y, height);
    EXPECT_NE(shin->secAngle(), sec);
    release("MOVE_SKELETON_UP");
    release("MAIN_AXIS_INCR");

    // While the player moves the shin, a held rotation of it is undone in
    // the same update: the played pose is what stays.
    click("ADD_NEW_FRAME");
    shin->setAngles(60, 0, 0);
    click("SAVE_FRAME");
    click("NEXT_FRAME"); // frame 0 again
    const double start = shin->mainAngle();
    click("PLAY_ANIMATION"); // the first play heads for frame 1
    frame(0.01);
    press("MAIN_AXIS_INCR");
    frame(0.05);
    frame(0.05);
    ASSERT_GT(editor->heldChange().rotationSpeed, 0);
    // Linear from the snapshot over 0.2 s: 0.1 s in is half way.
    EXPECT_NEAR(shin->mainAngle(), start + (60 - start) * 0.5, 1e-4);
    release("MAIN_AXIS_INCR");
}

} // namespace
