#include "tests/editor/EditorFixture.h"

#include <functional>
#include <map>
#include <string>
#include <utility>

namespace {

using EditorLayout = EditorFixture;

// The specified nine, then the Import dialog, hidden as the other dialogs.
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
        {"C_IAD", "Import Motion Capture", 280, 60, 470, 340, false},
    };
    // The places as the shipped window size shows them.
    manager->layout(1024, 768);
    ASSERT_EQ(manager->windows.size(), 10u);
    for (size_t i = 0; i < 10; ++i) {
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

TEST_F(EditorLayout, WindowsAndInnerContainersSplitAsDesigned) {
    auto idOf = [](const InterfaceComponent* c) { return c ? c->getId() : std::string("-"); };
    struct Window {
        const char* id;
        bool vertical;
        const char* first;
        const char* second;
    } windows[] = {
        {"C_CBRD", true, "-", "T_CBRD"},
        {"SKEL_ED", true, "C_SOC1", "-"},
        {"C_MSC", true, "-", "C_MSBC"},
        {"CC_FSM", true, "TF_CFS", "CC_FSBC"},
        {"CC_APC", false, "PLAY_ANIMATION", "STOP_ANIMATION"},
        {"CC_ANF", true, "C_FMC1", "C_FMC1"},
        {"CC_FP", true, "CC_FPTMPA", "CC_FPTMPB"},
        {"C_LAD", true, "T_LFN", "C_LBH"},
        {"C_SAD", true, "T_SFN", "C_SBH"},
    };
    for (const Window& w : windows) {
        SCOPED_TRACE(w.id);
        ComponentContainer* c = window(w.id);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->vertical, w.vertical);
        EXPECT_EQ(idOf(c->getFirst()), w.first);
        EXPECT_EQ(idOf(c->getSecond()), w.second);
    }

    // Each inner container, found through its parent (the two C_FMC1 share
    // an id), with its split and its two children.
    struct Inner {
        const char* parent;
        bool inFirst;
        const char* id;
        bool vertical;
        double ratio;
        const char* first;
        const char* second;
    } inner[] = {
        {"SKEL_ED", true, "C_SOC1", true, 0.33, "C_MAC", "C_SOC2"},
        {"C_SOC1", false, "C_SOC2", true, 0.5, "C_SAC", "C_SEAC"},
        {"C_SOC1", true, "C_MAC", true, 0.5, "T_MAC", "C_MABC"},
        {"C_SOC2", true, "C_SAC", true, 0.5, "T_SAC", "C_SABC"},
        {"C_SOC2", false, "C_SEAC", true, 0.5, "T_SEAC", "C_SEABC"},
        {"C_MAC", false, "C_MABC", false, 0.5, "MAIN_AXIS_INCR", "MAIN_AXIS_DECR"},
        {"C_SAC", false, "C_SABC", false, 0.5, "SEC_AXIS_INCR", "SEC_AXIS_DECR"},
        {"C_SEAC", false, "C_SEABC", false, 0.5, "SELF_AXIS_INCR", "SELF_AXIS_DECR"},
        {"C_MSC", false, "C_MSBC", false, 0.5, "MOVE_SKELETON_UP", "MOVE_SKELETON_DOWN"},
        {"CC_FSM", false, "CC_FSBC", false, 0.5, "PREV_FRAME", "NEXT_FRAME"},
        {"CC_ANF", true, "C_FMC1", true, 0.5, "ADD_NEW_FRAME", "SAVE_FRAME"},
        {"CC_ANF", false, "C_FMC1", true, 0.5, "SHOW_LOAD", "SHOW_SAVE"},
        {"CC_FP", true, "CC_FPTMPA", true, 0.5, "CC_CMT", "C_FWTC"},
        {"CC_FP", false, "CC_FPTMPB", true, 0.5, "C_FTTC", "APPLY_FRAME"},
        {"CC_FPTMPA", true, "CC_CMT", false, 0.5, "TF_FMD", "CHANGE_MOTION"},
        {"CC_FPTMPA", false, "C_FWTC", false, 0.75, "T_CFWTL", "TF_FWD"},
        {"CC_FPTMPB", true, "C_FTTC", false, 0.75, "T_CFTTL", "TF_FTD"},
        {"C_LAD", false, "C_LBH", false, 0.5, "LOAD_ANI", "CANCEL_LOAD"},
        {"C_SAD", false, "C_SBH", false, 0.5, "SAVE_ANI", "CANCEL_SAVE"},
    };
    for (const Inner& e : inner) {
        SCOPED_TRACE(std::string(e.parent) + " > " + e.id);
        ComponentContainer* parent = window(e.parent);
        ASSERT_NE(parent, nullptr);
        InterfaceComponent* child = e.inFirst ? parent->getFirst() : parent->getSecond();
        ASSERT_NE(child, nullptr);
        ASSERT_EQ(child->getId(), e.id);
        ASSERT_EQ(child->kind, KIND_CONTAINER);
        auto* c = static_cast<ComponentContainer*>(child);
        EXPECT_EQ(c->getText(), "");
        EXPECT_FALSE(c->titleBar);
        EXPECT_EQ(c->vertical, e.vertical);
        EXPECT_DOUBLE_EQ(c->splitRatio, e.ratio);
        EXPECT_EQ(idOf(c->getFirst()), e.first);
        EXPECT_EQ(idOf(c->getSecond()), e.second);
    }
}

TEST_F(EditorLayout, StartsOnFrameZeroOfALoopingTempAnimation) {
    EXPECT_EQ(animation().name(), "temp");
    EXPECT_TRUE(animation().looping());
    ASSERT_EQ(animation().frameCount(), 1);
    EXPECT_EQ(currentIndex(), 0);
    EXPECT_FALSE(editor->ghostShown());
    EXPECT_EQ(skeleton().boneCount(), POSE_BONE_COUNT);
    EXPECT_EQ(editor->ghostSkeleton().boneCount(), POSE_BONE_COUNT);
    EXPECT_DOUBLE_EQ(skeleton().origin().y, 0.5);
    EXPECT_EQ(editor->player().skeleton(), &skeleton());
    ASSERT_EQ(editor->player().animations().size(), 1u);
    EXPECT_EQ(editor->player().animations()[0], &animation());
}

// Where every component of every window stands, by id.
std::map<std::string, std::pair<int32_t, int32_t>> places(const InterfaceManager& m) {
    std::map<std::string, std::pair<int32_t, int32_t>> at;
    std::function<void(const InterfaceComponent*, const std::string&)> walk =
        [&](const InterfaceComponent* c, const std::string& path) {
            if (!c)
                return;
            const std::string key = path + "/" + c->getId();
            at[key] = {c->x, c->y};
            if (c->kind == KIND_CONTAINER) {
                auto* container = static_cast<const ComponentContainer*>(c);
                walk(container->getFirst(), key + "<");
                walk(container->getSecond(), key + ">");
            }
        };
    for (const ComponentContainer* w : m.windows)
        walk(w, "");
    return at;
}

// At the shipped 1024 x 768 every window stands at its own place; at
// 800 x 600 and 640 x 480 each one lies wholly inside, moved left only as far
// as needed, its children along; after a shrink to 300 x 200 and back, every
// window the user did not drag is at its own place again.
TEST_F(EditorLayout, WindowsLieInsideAndComeBackToTheirPlaces) {
    manager->layout(1024, 768);
    const auto specified = places(*manager);
    for (const auto& [width, height] : {std::pair{800, 600}, {640, 480}}) {
        manager->layout(width, height);
        const auto now = places(*manager);
        for (const ComponentContainer* w : manager->windows) {
            SCOPED_TRACE(w->getId() + " at " + std::to_string(width));
            EXPECT_GE(w->x, 0);
            EXPECT_LE(w->right, width);
            EXPECT_LE(w->top + ComponentContainer::TITLE_BAR_HEIGHT, height);
            const auto home = specified.at("/" + w->getId());
            EXPECT_EQ(w->x, std::min(home.first, width - w->width));
            EXPECT_EQ(w->y, home.second);
        }
        for (const auto& [key, at] : specified) {
            const std::string window = key.substr(0, key.find_first_of("<>"));
            const int32_t dx = now.at(window).first - specified.at(window).first;
            EXPECT_EQ(now.at(key).first, at.first + dx) << key;
        }
    }
    manager->layout(300, 200);
    manager->layout(1024, 768);
    EXPECT_EQ(places(*manager), specified);
}

// "Animation Player" dragged under "Frame/Animation Manager" so that "Play"
// lies beneath "Save Animation To File": a click on the visible Save opens
// the save dialog and does not play.
TEST_F(EditorLayout, AClickOnOverlappingPanelsGoesToTheOneOnTop) {
    ComponentContainer* player = window("CC_APC");
    ComponentContainer* animationManager = window("CC_ANF");
    const InterfaceComponent* play = find("PLAY_ANIMATION");
    const InterfaceComponent* save = find("SHOW_SAVE");
    const int32_t dx = (save->x + save->right) / 2 - (play->x + play->right) / 2;
    const int32_t dy = (save->y + save->top) / 2 - (play->y + play->top) / 2;
    const int32_t barX = player->x + 20, barY = player->top + 8;
    manager->handleClick(0, CLICK_PRESS, barX, barY);
    manager->handleMouseDrag(barX + dx, barY + dy);
    manager->handleClick(0, CLICK_RELEASE, barX + dx, barY + dy);
    ASSERT_TRUE(save->contains((play->x + play->right) / 2, (play->y + play->top) / 2));
    // The drag raised the player over the manager; a press on the manager's
    // bar raises it back.
    EXPECT_EQ(manager->windows.back(), player);
    manager->handleClick(0, CLICK_PRESS, animationManager->x + 10, animationManager->top + 8);
    manager->handleClick(0, CLICK_RELEASE, animationManager->x + 10, animationManager->top + 8);
    EXPECT_EQ(manager->windows.back(), animationManager);

    click("SHOW_SAVE");
    EXPECT_TRUE(window("C_SAD")->visible);
    EXPECT_FALSE(editor->player().playing());
    EXPECT_TRUE(window("CC_FSM")->visible);
}

} // namespace
