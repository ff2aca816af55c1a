#include "tests/editor/EditorFixture.h"

namespace {

using EditorLayout = EditorFixture;

TEST_F(EditorLayout, NineWindowsInRegistrationOrderAtTheirPlaces) {
    struct Expected {
        const char* id;
        const char* title;
        int w, h, x, y;
        bool visible;
    } expected[] = {
        {"C_CBRD", "Rotation of Selected Bone", 210, 50, 10, 370, true},
        {"SKEL_ED", "Selected Bone Editor", 160, 150, 10, 150, true},
        {"C_MSC", "Height Adjustment", 170, 30, 10, 320, true},
        {"CC_FSM", "Select Frame (SAVE FIRST!)", 200, 50, 10, 80, true},
        {"CC_APC", "Animation Player", 180, 30, 10, 30, true},
        {"CC_ANF", "Frame/Animation Manager", 220, 140, 220, 30, true},
        {"CC_FP", "Current Frame Properties", 340, 110, 650, 30, true},
        {"C_LAD", "Load an Animation", 280, 60, 470, 340, false},
        {"C_SAD", "Save current Animation", 280, 60, 470, 340, false},
    };
    ASSERT_EQ(manager->windows.size(), 9u);
    for (size_t i = 0; i < 9; ++i) {
        const ComponentContainer* w = manager->windows[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(e.id);
        EXPECT_EQ(w->getId(), e.id);
        EXPECT_EQ(w->getText(), e.title);
        EXPECT_EQ(w->width, e.w);
        EXPECT_EQ(w->height, e.h);
        EXPECT_EQ(w->x, e.x);
        EXPECT_EQ(w->y, e.y);
        EXPECT_EQ(w->visible, e.visible);
        EXPECT_TRUE(w->titleBar);
    }
    EXPECT_EQ(startOutput, "");
}

TEST_F(EditorLayout, PlayerWindowSplitsIntoTwoButtons) {
    InterfaceComponent* play = find("PLAY_ANIMATION");
    InterfaceComponent* stop = find("STOP_ANIMATION");
    ASSERT_TRUE(play && stop);
    EXPECT_EQ(play->getText(), "Play");
    EXPECT_EQ(play->x, 11);
    EXPECT_EQ(play->y, 31);
    EXPECT_EQ(play->width, 88);
    EXPECT_EQ(play->height, 28);
    EXPECT_EQ(stop->x, 101);
    EXPECT_EQ(stop->y, 31);
    EXPECT_EQ(stop->width, 88);
}

TEST_F(EditorLayout, EveryComponentExistsWithItsLabelAndKind) {
    const std::pair<const char*, const char*> buttons[] = {
        {"MAIN_AXIS_INCR", "+"},
        {"MAIN_AXIS_DECR", "-"},
        {"SEC_AXIS_INCR", "+"},
        {"SEC_AXIS_DECR", "-"},
        {"SELF_AXIS_INCR", "+"},
        {"SELF_AXIS_DECR", "-"},
        {"MOVE_SKELETON_UP", "+"},
        {"MOVE_SKELETON_DOWN", "-"},
        {"PREV_FRAME", "Previous"},
        {"NEXT_FRAME", "Next"},
        {"ADD_NEW_FRAME", "New Frame From Current Pose"},
        {"SAVE_FRAME", "Save Pose to Current Frame"},
        {"SHOW_LOAD", "Load Animation From File"},
        {"SHOW_SAVE", "Save Animation To File"},
        {"CHANGE_MOTION", "Change Motion Type"},
        {"APPLY_FRAME", "Apply to Current Frame"},
        {"LOAD_ANI", "Load"},
        {"CANCEL_LOAD", "Cancel"},
        {"SAVE_ANI", "Save"},
        {"CANCEL_SAVE", "Cancel"},
    };
    for (auto [id, label] : buttons) {
        InterfaceComponent* b = find(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->kind, KIND_BUTTON) << id;
        EXPECT_EQ(b->getText(), label) << id;
    }
    struct Field {
        const char* id;
        const char* text;
        bool editable;
        int filter;
    } fields[] = {
        {"T_MAC", "Rotate Main Axis", false, 17},
        {"T_SAC", "Rotate Sec. Axis", false, 17},
        {"T_SEAC", "Rotate Own Axis", false, 17},
        {"T_CBRD", "#.##,  #.##,  #.##", false, 17},
        {"TF_CFS", "0", false, 17},
        {"TF_FMD", "Linear", false, 17},
        {"T_CFWTL", "Time to Wait on This Frame(ms):", false, 17},
        {"TF_FWD", "0", true, 27},
        {"T_CFTTL", "Transition to Next Frame (ms):", false, 17},
        {"TF_FTD", "1000", true, 27},
        {"T_LFN", "", true, 37},
        {"T_SFN", "", true, 37},
    };
    for (const Field& f : fields) {
        TextField* t = field(f.id);
        ASSERT_NE(t, nullptr) << f.id;
        EXPECT_EQ(t->kind, KIND_TEXT_FIELD);
        EXPECT_EQ(t->getText(), f.text) << f.id;
        EXPECT_EQ(t->editable, f.editable) << f.id;
        EXPECT_EQ(t->inputFilter, f.filter) << f.id;
    }
    for (const char* id : {"C_SOC1", "C_SOC2", "C_MAC", "C_SAC", "C_SEAC", "C_MABC", "C_SABC",
                           "C_SEABC", "C_MSBC", "CC_FSBC", "C_FMC1", "CC_FPTMPA", "CC_FPTMPB",
                           "CC_CMT", "C_FWTC", "C_FTTC", "C_LBH", "C_SBH"}) {
        ComponentContainer* c = window(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_FALSE(c->titleBar) << id;
    }
    EXPECT_DOUBLE_EQ(window("C_SOC1")->splitRatio, 0.33);
    EXPECT_DOUBLE_EQ(window("C_FWTC")->splitRatio, 0.75);
    EXPECT_FALSE(window("C_FWTC")->vertical);
    EXPECT_TRUE(window("CC_FPTMPB")->vertical);
}

TEST_F(EditorLayout, StartsOnFrameZeroOfALoopingTempAnimation) {
    EXPECT_EQ(animation().name(), "temp");
    EXPECT_TRUE(animation().looping());
    ASSERT_EQ(animation().frameCount(), 1);
    EXPECT_EQ(currentIndex(), 0);
    EXPECT_FALSE(editor->showGhost);
    EXPECT_EQ(skeleton().boneCount(), POSE_BONE_COUNT);
    EXPECT_EQ(editor->ghostSkeleton->boneCount(), POSE_BONE_COUNT);
    EXPECT_DOUBLE_EQ(skeleton().origin().y, 0.5);
    EXPECT_EQ(editor->player->skeleton(), &skeleton());
    ASSERT_EQ(editor->player->animations().size(), 1u);
    EXPECT_EQ(editor->player->animations()[0], &animation());
}

} // namespace
