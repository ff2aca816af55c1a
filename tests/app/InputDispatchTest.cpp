// The input routing, driven by synthetic window events on a complete scene
// built without a window.
#include "app/InputDispatch.h"
#include "animation/Animation.h"
#include "animation/AnimationPlayer.h"
#include "animation/KeyFrame.h"
#include "app/Scene.h"
#include "editor/SkeletonEditor.h"
#include "gui/Button.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "gui/TextField.h"
#include "gui/TextMetrics.h"
#include "skeleton/Skeleton.h"
#include "tests/app/FakeMusic.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RecordingWindow : public WindowSide {
public:
    struct Warp {
        int x, y;
    };
    std::vector<Warp> warps;
    std::vector<bool> visibility;
    std::vector<int> lights;
    int resizedW = -1, resizedH = -1;
    void setCursorPosition(int x, int y) override { warps.push_back({x, y}); }
    void setCursorVisible(bool visible) override { visibility.push_back(visible); }
    void lightSwitched(int which) override { lights.push_back(which); }
    void resized(int w, int h) override {
        resizedW = w;
        resizedH = h;
    }
    bool shift = false, control = false;
    bool shiftHeld() const override { return shift; }
    bool controlHeld() const override { return control; }
};

sf::Event key(sf::Keyboard::Key code, bool press = true, bool shift = false) {
    sf::Event e;
    e.type = press ? sf::Event::KeyPressed : sf::Event::KeyReleased;
    e.key.code = code;
    e.key.alt = e.key.control = e.key.system = false;
    e.key.shift = shift;
    return e;
}

sf::Event chord(sf::Keyboard::Key code, bool control, bool alt, bool shift = false) {
    sf::Event e = key(code, true, shift);
    e.key.control = control;
    e.key.alt = alt;
    return e;
}

sf::Event button(sf::Mouse::Button b, bool press, int x, int y) {
    sf::Event e;
    e.type = press ? sf::Event::MouseButtonPressed : sf::Event::MouseButtonReleased;
    e.mouseButton.button = b;
    e.mouseButton.x = x;
    e.mouseButton.y = y;
    return e;
}

sf::Event move(int x, int y) {
    sf::Event e;
    e.type = sf::Event::MouseMoved;
    e.mouseMove.x = x;
    e.mouseMove.y = y;
    return e;
}

sf::Event wheel(float delta) {
    sf::Event e;
    e.type = sf::Event::MouseWheelScrolled;
    e.mouseWheelScroll.wheel = sf::Mouse::VerticalWheel;
    e.mouseWheelScroll.delta = delta;
    e.mouseWheelScroll.x = e.mouseWheelScroll.y = 0;
    return e;
}

class InputDispatch : public ::testing::Test {
protected:
    FixedWidthMetrics metrics;
    ProgramState state;
    std::unique_ptr<Scene> scene;
    RecordingWindow window;
    bool showFps = true;
    std::unique_ptr<InputDispatcher> input;

    void SetUp() override {
        installTextMetrics(&metrics);
        scene = std::make_unique<Scene>(state, [] { return std::make_unique<FakeMusic>(); });
        testing::internal::CaptureStdout();
        scene->build();
        testing::internal::GetCapturedStdout();
        scene->interface->update(0); // first layout
        input = std::make_unique<InputDispatcher>(state, *scene, window, showFps);
        state.running = true;
    }
    void TearDown() override {
        input.reset();
        scene.reset();
        installTextMetrics(nullptr);
    }
    void send(const sf::Event& e) { input->handle(e); }
    Skeleton& skeleton() { return scene->editor->skeleton(); }
};

TEST_F(InputDispatch, CloseClearsRunning) {
    sf::Event e;
    e.type = sf::Event::Closed;
    send(e);
    EXPECT_FALSE(state.running);
}

TEST_F(InputDispatch, ResizeUpdatesSizeProjectionAndLayout) {
    sf::Event e;
    e.type = sf::Event::Resized;
    e.size.width = 1000;
    e.size.height = 500;
    send(e);
    EXPECT_EQ(state.windowWidth, 1000);
    EXPECT_EQ(state.windowHeight, 500);
    EXPECT_DOUBLE_EQ(scene->camera.aspect, 2);
    EXPECT_EQ(window.resizedW, 1000);
    e.size.height = 0; // a zero-height window keeps the last valid aspect
    send(e);
    EXPECT_EQ(state.windowHeight, 0);
    EXPECT_DOUBLE_EQ(scene->camera.aspect, 2);
}

TEST_F(InputDispatch, ArrowKeysSetAndClearMovement) {
    Camera& c = scene->camera;
    send(key(sf::Keyboard::Up));
    send(key(sf::Keyboard::Left));
    EXPECT_TRUE(c.moveForward);
    EXPECT_TRUE(c.strafeLeft);
    send(key(sf::Keyboard::Down));
    send(key(sf::Keyboard::Right));
    EXPECT_TRUE(c.moveBackward);
    EXPECT_TRUE(c.strafeRight);
    for (auto k : {sf::Keyboard::Up, sf::Keyboard::Left, sf::Keyboard::Down, sf::Keyboard::Right})
        send(key(k, false));
    EXPECT_FALSE(c.moveForward || c.strafeLeft || c.moveBackward || c.strafeRight);
}

TEST_F(InputDispatch, MenuSwallowsKeysButNotF12OrReleases) {
    send(key(sf::Keyboard::Escape));
    ASSERT_TRUE(scene->interface->menuShown);
    send(key(sf::Keyboard::Up));
    send(key(sf::Keyboard::PageUp));
    EXPECT_FALSE(scene->camera.moveForward);
    EXPECT_TRUE(scene->lighting.light1On);
    EXPECT_TRUE(window.lights.empty());
    send(key(sf::Keyboard::F12));
    EXPECT_FALSE(showFps);

    scene->camera.moveForward = true;
    send(key(sf::Keyboard::Up, false));
    EXPECT_FALSE(scene->camera.moveForward);
}

TEST_F(InputDispatch, PageKeysSwitchTheLights) {
    send(key(sf::Keyboard::PageUp));
    EXPECT_FALSE(scene->lighting.light1On);
    send(key(sf::Keyboard::PageDown));
    EXPECT_FALSE(scene->lighting.light0On);
    send(key(sf::Keyboard::PageUp));
    EXPECT_TRUE(scene->lighting.light1On);
    EXPECT_EQ(window.lights, (std::vector<int>{1, 0, 1}));
    send(key(sf::Keyboard::F12));
    send(key(sf::Keyboard::F12));
    EXPECT_TRUE(showFps);
}

TEST_F(InputDispatch, WheelZoomsOnlyWhileTheMenuIsClosed) {
    send(wheel(1));
    EXPECT_DOUBLE_EQ(scene->camera.pendingZoom, -1);
    send(key(sf::Keyboard::Escape));
    send(wheel(1));
    EXPECT_DOUBLE_EQ(scene->camera.pendingZoom, -1);
}

TEST_F(InputDispatch, LeftPressOnEmptySpaceRequestsAPickWithFlippedY) {
    send(button(sf::Mouse::Left, true, 400, 100));
    EXPECT_TRUE(skeleton().pickRequested);
    EXPECT_EQ(skeleton().pickX, 400);
    EXPECT_EQ(skeleton().pickY, 500);
    EXPECT_EQ(skeleton().pickButton, 0);
    EXPECT_TRUE(scene->leftToggle);
    EXPECT_TRUE(input->leftHeld);
    skeleton().pickRequested = false;
    send(button(sf::Mouse::Left, false, 400, 100));
    EXPECT_FALSE(skeleton().pickRequested); // only presses pick
    EXPECT_FALSE(scene->leftToggle);
    EXPECT_FALSE(input->leftHeld);
}

TEST_F(InputDispatch, LeftPressOnAButtonNeitherPicksNorToggles) {
    // "Play" in the Animation Player window at (11, 31), 88 x 28.
    send(button(sf::Mouse::Left, true, 50, 600 - 45));
    EXPECT_FALSE(skeleton().pickRequested);
    EXPECT_FALSE(scene->leftToggle);
    EXPECT_TRUE(input->leftHeld);
}

TEST_F(InputDispatch, MiddleClickTogglesNothing) {
    send(button(sf::Mouse::Middle, true, 400, 100));
    EXPECT_FALSE(skeleton().pickRequested);
    EXPECT_FALSE(scene->leftToggle || scene->rightToggle);
    EXPECT_FALSE(input->leftHeld || input->rightHeld);
}

TEST_F(InputDispatch, RightDragTurnsTheCameraWithAPinnedCursor) {
    Camera& c = scene->camera;
    ASSERT_EQ(c.mode, CAMERA_ORBIT);
    double yaw = c.orbitYaw, pitch = c.orbitPitch;
    send(button(sf::Mouse::Right, true, 600, 100));
    ASSERT_EQ(window.warps.size(), 1u);
    EXPECT_EQ(window.warps[0].x, 400);
    EXPECT_EQ(window.warps[0].y, 300);
    EXPECT_EQ(window.visibility, std::vector<bool>{false});
    EXPECT_TRUE(scene->rightToggle);

    send(move(410, 290)); // 10 right, 10 up from the centre
    EXPECT_NEAR(c.orbitYaw, yaw + 10 * c.sensitivity, 1e-12);
    EXPECT_NEAR(c.orbitPitch, pitch + 10 * c.sensitivity, 1e-12);
    EXPECT_TRUE(input->ignoreNextMove);
    send(move(400, 300)); // the warp's own move is dropped
    EXPECT_FALSE(input->ignoreNextMove);
    EXPECT_NEAR(c.orbitYaw, yaw + 10 * c.sensitivity, 1e-12);

    send(button(sf::Mouse::Right, false, 400, 300));
    EXPECT_EQ(window.visibility.back(), true);
    EXPECT_EQ(window.warps.back().x, 600);
    EXPECT_EQ(window.warps.back().y, 100);
    EXPECT_FALSE(scene->rightToggle);
}

// Every press and release the GUI leaves to the scene, of any button,
// rewrites the bone readout; a click the GUI takes leaves it alone.
TEST_F(InputDispatch, ReadoutIsRewrittenForEveryClickTheGuiLeaves) {
    TextField& readout = *scene->editor->components().boneReadout;
    const sf::Mouse::Button buttons[] = {sf::Mouse::Left, sf::Mouse::Right, sf::Mouse::Middle};
    for (sf::Mouse::Button b : buttons)
        for (bool press : {true, false}) {
            readout.setText("stale");
            send(button(b, press, 700, 100)); // empty sky
            EXPECT_EQ(readout.getText(), NO_BONE_READOUT) << b << " press " << press;
        }
    // On the "Play" button, with either mouse button: taken by the GUI.
    for (sf::Mouse::Button b : buttons)
        for (bool press : {true, false}) {
            readout.setText("stale");
            send(button(b, press, 50, 600 - 45));
            EXPECT_EQ(readout.getText(), "stale") << b << " press " << press;
        }
    EXPECT_FALSE(scene->leftToggle || scene->rightToggle);
}

// A right click whose press the GUI takes but whose release it does not
// flips the toggle once: from then on any drag turns the camera, a left one
// too, by the pointer's movement since the previous event. The menu stops
// drags from turning it.
TEST_F(InputDispatch, AnUnmatchedRightClickLetsEveryDragTurnTheCamera) {
    Camera& c = scene->camera;
    send(button(sf::Mouse::Right, true, 50, 600 - 45)); // on "Play": taken
    EXPECT_FALSE(scene->rightToggle);
    // The cursor is pinned before the GUI sees the press, taken or not.
    EXPECT_EQ(window.visibility, std::vector<bool>{false});
    EXPECT_EQ(window.warps.size(), 1u);
    send(button(sf::Mouse::Right, false, 700, 100)); // sky: not taken
    EXPECT_TRUE(scene->rightToggle);
    EXPECT_FALSE(input->rightHeld);

    send(button(sf::Mouse::Left, true, 700, 100));
    const double yaw = c.orbitYaw, pitch = c.orbitPitch;
    const size_t warps = window.warps.size();
    send(move(710, 96)); // 10 right and 4 up from the press
    EXPECT_NEAR(c.orbitYaw, yaw + 10 * c.sensitivity, 1e-12);
    EXPECT_NEAR(c.orbitPitch, pitch + 4 * c.sensitivity, 1e-12);
    send(move(715, 96));
    EXPECT_NEAR(c.orbitYaw, yaw + 15 * c.sensitivity, 1e-12);
    // A left drag never pins the cursor, so no move is dropped.
    EXPECT_EQ(window.warps.size(), warps);
    EXPECT_FALSE(input->ignoreNextMove);

    send(key(sf::Keyboard::Escape));
    send(move(760, 50));
    EXPECT_NEAR(c.orbitYaw, yaw + 15 * c.sensitivity, 1e-12);
    EXPECT_NEAR(c.orbitPitch, pitch + 4 * c.sensitivity, 1e-12);
}

// With no button held a move is hover, at y counted from the bottom.
TEST_F(InputDispatch, PlainMovesHoverWithFlippedY) {
    InterfaceComponent* play = nullptr;
    for (ComponentContainer* w : scene->interface->windows)
        if (!play)
            play = w->findById("PLAY_ANIMATION");
    ASSERT_NE(play, nullptr);
    send(move(50, 600 - 45));
    EXPECT_TRUE(static_cast<Button*>(play)->hovered);
    send(move(50, 45)); // the same x, mirrored y: off the button
    EXPECT_FALSE(static_cast<Button*>(play)->hovered);
}

TEST_F(InputDispatch, HeldRotationEndsOnALeftReleaseAnywhere) {
    SkeletonEditor& editor = *scene->editor;
    for (const char* id : {"MAIN_AXIS_INCR", "MOVE_SKELETON_UP"}) {
        Button held(id, "");
        held.state = Button::STATE_PRESSED;
        editor.onCommand(&held);
        ASSERT_TRUE(editor.heldChange().rotating || editor.heldChange().movingSkeleton) << id;
        send(button(sf::Mouse::Left, false, 700, 20)); // far from any button
        EXPECT_FALSE(editor.heldChange().rotating) << id;
        EXPECT_FALSE(editor.heldChange().movingSkeleton) << id;
    }
}

TEST_F(InputDispatch, TypingReachesTheFocusedField) {
    // Open the save dialog and click its name field.
    scene->editor->components().saveWindow->visible = true;
    // Field T_SFN occupies the upper half of the 280 x 60 window at (470, 340).
    send(button(sf::Mouse::Left, true, 600, 600 - 385));
    send(button(sf::Mouse::Left, false, 600, 600 - 385));
    send(key(sf::Keyboard::W, true, true));
    send(key(sf::Keyboard::A));
    send(key(sf::Keyboard::Num1)); // letters only
    send(key(sf::Keyboard::L));
    send(key(sf::Keyboard::K));
    EXPECT_EQ(scene->editor->components().saveNameField->getText(), "Walk");
}

TEST_F(InputDispatch, ShortcutsActUnlessAFieldTypesTheKey) {
    SkeletonEditor& editor = *scene->editor;
    const int frames = editor.animation().frameCount();
    Scene* hits = scene.get();
    scene->interface->commandCallback = [hits](InterfaceComponent* hit, int32_t, int32_t) {
        hits->handleCommand(hit);
    };
    auto click = [&](const char* id) {
        for (ComponentContainer* w : scene->interface->windows)
            if (InterfaceComponent* c = w->findById(id)) {
                send(button(sf::Mouse::Left, true, (c->x + c->right) / 2,
                            state.windowHeight - (c->y + c->top) / 2));
                send(button(sf::Mouse::Left, false, (c->x + c->right) / 2,
                            state.windowHeight - (c->y + c->top) / 2));
                return;
            }
        FAIL() << id;
    };
    click("ADD_NEW_FRAME");
    ASSERT_EQ(editor.animation().frameCount(), frames + 1);
    send(chord(sf::Keyboard::Z, true, false));
    EXPECT_EQ(editor.animation().frameCount(), frames) << "Ctrl+Z undid the new frame";
    send(chord(sf::Keyboard::Z, true, false, true));
    EXPECT_EQ(editor.animation().frameCount(), frames + 1) << "Ctrl+Shift+Z redid it";

    // A focused field keeps what it types and the keys a text box swallows;
    // chords always reach the shortcuts, never the field.
    send(chord(sf::Keyboard::O, true, false));
    ASSERT_EQ(scene->interface->focusedField, editor.components().loadNameField);
    struct Row {
        const char* what;
        TextField* focus;
        sf::Event event;
        std::string text;
        int frameChange;
    };
    TextField* name = editor.components().loadNameField;
    TextField* wait = editor.components().waitField;
    const Row rows[] = {
        {"a letter is typed", name, key(sf::Keyboard::W), "w", 0},
        {"Ctrl+Z undoes, types nothing", name, chord(sf::Keyboard::Z, true, false), "w", -1},
        {"Ctrl+Y redoes", name, chord(sf::Keyboard::Y, true, false), "w", 1},
        {"Delete deletes no frame", name, key(sf::Keyboard::Delete), "w", 0},
        {"Insert inserts none", name, key(sf::Keyboard::Insert), "w", 0},
        {"Space neither types nor plays", name, key(sf::Keyboard::Space), "w", 0},
        {"Delete in a time field", wait, key(sf::Keyboard::Delete), "0", 0},
        {"a digit in a time field", wait, key(sf::Keyboard::Num5), "05", 0},
        {"Ctrl+Z in a time field undoes", wait, chord(sf::Keyboard::Z, true, false), "0", -1},
    };
    for (const Row& row : rows) {
        scene->interface->focusedField = row.focus;
        const int before = editor.animation().frameCount();
        send(row.event);
        EXPECT_EQ(row.focus->getText(), row.text) << row.what;
        EXPECT_EQ(editor.animation().frameCount(), before + row.frameChange) << row.what;
        EXPECT_FALSE(editor.player().playing()) << row.what;
    }
    // The arrows move nothing but the field's own business.
    scene->interface->focusedField = name;
    send(key(sf::Keyboard::Left));
    EXPECT_FALSE(scene->camera.strafeLeft);
    // Ctrl+S with a dialog's field focused saves (here: opens Save), types
    // no "s".
    send(chord(sf::Keyboard::S, true, false));
    EXPECT_EQ(name->getText(), "w");
    EXPECT_EQ(scene->interface->focusedField, editor.components().saveNameField);
}

TEST_F(InputDispatch, AltArrowsStepFramesWithoutMovingTheCamera) {
    SkeletonEditor& editor = *scene->editor;
    Button add("ADD_NEW_FRAME", "");
    add.state = Button::STATE_PRESSED;
    editor.onCommand(&add);
    ASSERT_EQ(editor.currentFrame()->index, 1);
    send(chord(sf::Keyboard::Left, false, true));
    EXPECT_EQ(editor.currentFrame()->index, 0);
    EXPECT_FALSE(scene->camera.strafeLeft);
    send(chord(sf::Keyboard::Right, false, true));
    EXPECT_EQ(editor.currentFrame()->index, 1);
    EXPECT_FALSE(scene->camera.strafeRight);
    // Without Alt the arrows stay the camera's.
    send(key(sf::Keyboard::Left));
    EXPECT_TRUE(scene->camera.strafeLeft);
    EXPECT_EQ(editor.currentFrame()->index, 1);
}

TEST_F(InputDispatch, HomeBringsTheOrbitBack) {
    Camera& c = scene->camera;
    c.distance = 3;
    c.orbitYaw = 100;
    c.orbitPitch = -20;
    c.pendingZoom = 4;
    send(key(sf::Keyboard::Home));
    EXPECT_EQ(c.distance, 10);
    EXPECT_EQ(c.orbitYaw, 0);
    EXPECT_EQ(c.orbitPitch, 45);
    EXPECT_EQ(c.pendingZoom, 0);
    // While the menu is shown it is the menu's key.
    send(key(sf::Keyboard::Escape));
    c.orbitYaw = 100;
    send(key(sf::Keyboard::Home));
    EXPECT_EQ(c.orbitYaw, 100);
}

TEST_F(InputDispatch, ALeftDragFromAPickedBoneTurnsTheBoneNotTheCamera) {
    SkeletonEditor& editor = *scene->editor;
    scene->rightToggle = true; // even a stuck toggle must not turn the camera
    const double yaw = scene->camera.orbitYaw;
    send(button(sf::Mouse::Left, true, 400, 300));
    ASSERT_TRUE(skeleton().pickRequested);
    send(move(405, 300)); // before the pick completes, a drag turns the camera
    EXPECT_NE(scene->camera.orbitYaw, yaw);
    const double turned = scene->camera.orbitYaw;
    // The drawing's pick chose the right forearm.
    skeleton().pickRequested = false;
    skeleton().select(skeleton().boneAt(19));
    const BonePose before = skeleton().boneAt(19)->pose();
    send(move(420, 280));
    send(move(430, 270));
    EXPECT_EQ(scene->camera.orbitYaw, turned);
    EXPECT_NE(skeleton().boneAt(19)->pose(), before);
    send(button(sf::Mouse::Left, false, 430, 270));
    EXPECT_TRUE(editor.history().canUndo());
    editor.undo();
    EXPECT_EQ(skeleton().boneAt(19)->pose(), before);
    // A later plain drag off every bone is the camera's again.
    send(button(sf::Mouse::Left, true, 10, 300));
    skeleton().pickRequested = false;
    skeleton().select(nullptr);
    send(move(30, 300));
    EXPECT_NE(scene->camera.orbitYaw, turned);
    send(button(sf::Mouse::Left, false, 30, 300));
}

TEST_F(InputDispatch, ModifiedClicksOnRotationButtonsStepExactly) {
    SkeletonEditor& editor = *scene->editor;
    Scene* hits = scene.get();
    scene->interface->commandCallback = [hits](InterfaceComponent* hit, int32_t, int32_t) {
        hits->handleCommand(hit);
    };
    skeleton().select(skeleton().boneAt(14));
    const double main = skeleton().boneAt(14)->mainAngle();
    InterfaceComponent* plus = nullptr;
    for (ComponentContainer* w : scene->interface->windows)
        if (!plus)
            plus = w->findById("MAIN_AXIS_INCR");
    ASSERT_NE(plus, nullptr);
    const int x = (plus->x + plus->right) / 2, y = state.windowHeight - (plus->y + plus->top) / 2;
    window.control = true;
    send(button(sf::Mouse::Left, true, x, y));
    send(button(sf::Mouse::Left, false, x, y));
    EXPECT_EQ(skeleton().boneAt(14)->mainAngle(), main + 10);
    EXPECT_FALSE(editor.heldChange().rotating);
    window.control = false;
    window.shift = true;
    send(button(sf::Mouse::Left, true, x, y));
    send(button(sf::Mouse::Left, false, x, y));
    EXPECT_EQ(skeleton().boneAt(14)->mainAngle(), main + 11);
    window.shift = false;
    send(button(sf::Mouse::Left, true, x, y));
    EXPECT_TRUE(editor.heldChange().rotating) << "a plain press holds as before";
    send(button(sf::Mouse::Left, false, x, y));
}

} // namespace
