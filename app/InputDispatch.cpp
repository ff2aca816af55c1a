#include "app/InputDispatch.h"

#include "app/KeyTranslation.h"
#include "app/Scene.h"
#include "editor/InputMap.h"
#include "editor/SkeletonEditor.h"
#include "gui/InterfaceManager.h"
#include "gui/KeyCodes.h"
#include "gui/ProgramState.h"
#include "scene/CameraProjection.h"
#include "skeleton/Skeleton.h"

InputDispatcher::InputDispatcher(ProgramState& state, Scene& scene, WindowSide& window,
                                 bool& showFps)
    : state(state), scene(scene), window(window), showFps(showFps) {}

int32_t InputDispatcher::flipY(int y) const {
    return state.windowHeight - y;
}

void InputDispatcher::handle(const sf::Event& event) {
    switch (event.type) {
    case sf::Event::Closed:
        state.running = false;
        break;
    case sf::Event::Resized:
        resize(static_cast<int>(event.size.width), static_cast<int>(event.size.height));
        break;
    case sf::Event::KeyPressed:
        keyPressed(event.key);
        break;
    case sf::Event::KeyReleased:
        keyReleased(event.key);
        break;
    case sf::Event::MouseWheelScrolled:
        if (event.mouseWheelScroll.wheel == sf::Mouse::VerticalWheel && !scene.interface->menuShown)
            scene.camera.pendingZoom -= event.mouseWheelScroll.delta;
        break;
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
        mouseButton(static_cast<int>(event.mouseButton.button),
                    event.type == sf::Event::MouseButtonPressed, event.mouseButton.x,
                    event.mouseButton.y);
        break;
    case sf::Event::MouseMoved:
        mouseMoved(event.mouseMove.x, event.mouseMove.y);
        break;
    default:
        // Focus changes, text entry, the pointer entering or leaving, the
        // older wheel event (its twin MouseWheelScrolled carries the same
        // turn) and joysticks are not used.
        break;
    }
}

void InputDispatcher::keyPressed(const sf::Event::KeyEvent& key) {
    int32_t code = translateKey(key.code);
    // A chord is a shortcut, never typing: Ctrl+O opens the Load dialog and
    // types no "o". Otherwise a focused field keeps the keys it types and
    // those a text box swallows; only the rest may be shortcuts.
    const bool chord = key.control || key.alt;
    const bool kept = !chord && scene.interface->fieldKeeps(code);
    const bool taken = chord && code != Key::Escape ? scene.interface->menuShown
                                                    : scene.interface->handleKey(code, key.shift);
    const KeyBinding* binding =
        taken || kept ? nullptr : bindingFor(KeyChord{code, key.control, key.alt, key.shift});
    if (binding) {
        // A shortcut is all the key does: Alt+Left steps a frame and does not
        // also strafe the camera.
        scene.handleAction(binding->action);
    } else if (!taken && !kept) {
        Camera& camera = scene.camera;
        switch (code) {
        case Key::PageUp:
            scene.lighting.flip(1);
            window.lightSwitched(1);
            break;
        case Key::PageDown:
            scene.lighting.flip(0);
            window.lightSwitched(0);
            break;
        case Key::Left:
            camera.strafeLeft = true;
            break;
        case Key::Right:
            camera.strafeRight = true;
            break;
        case Key::Up:
            camera.moveForward = true;
            break;
        case Key::Down:
            camera.moveBackward = true;
            break;
        default:
            break;
        }
    }
    if (code == Key::F12)
        showFps = !showFps;
}

void InputDispatcher::keyReleased(const sf::Event::KeyEvent& key) {
    // Releases always clear movement, even while the menu is shown, so a key
    // let go behind the menu does not keep the camera flying.
    switch (translateKey(key.code)) {
    case Key::Left:
        scene.camera.strafeLeft = false;
        break;
    case Key::Right:
        scene.camera.strafeRight = false;
        break;
    case Key::Up:
        scene.camera.moveForward = false;
        break;
    case Key::Down:
        scene.camera.moveBackward = false;
        break;
    default:
        break;
    }
}

void InputDispatcher::centreCursor() {
    dragX = state.windowWidth / 2;
    dragY = state.windowHeight / 2;
    window.setCursorPosition(dragX, dragY);
}

void InputDispatcher::mouseButton(int button, bool press, int x, int y) {
    if (button == MouseButton::Right)
        rightHeld = !rightHeld;
    else if (button == MouseButton::Left)
        leftHeld = !leftHeld;

    if (press) {
        dragX = x;
        dragY = y;
        if (button == MouseButton::Right) {
            savedX = x;
            savedY = y;
            centreCursor();
            window.setCursorVisible(false);
        }
    } else if (button == MouseButton::Right) {
        window.setCursorVisible(true);
        window.setCursorPosition(savedX, savedY);
    }

    SkeletonEditor* editor = scene.editor.get();
    // A held rotation or height button, and a bone drag, end with the left
    // release wherever the pointer is, not only over what started them.
    if (!press && button == MouseButton::Left && editor) {
        editor->endHeldChanges();
        editor->endBoneDrag();
    }

    // Shift or Ctrl on a rotation or height button asks for an exact step.
    if (editor)
        editor->setClickModifiers(window.controlHeld(), window.shiftHeld());
    const bool taken = scene.interface->handleClick(button, press ? 6 : 7, x, flipY(y));
    if (editor)
        editor->setClickModifiers(false, false);
    if (taken)
        return;

    if (button == MouseButton::Right)
        scene.rightToggle = !scene.rightToggle;
    else if (button == MouseButton::Left)
        scene.leftToggle = !scene.leftToggle;

    if (press && button == MouseButton::Left && editor) {
        Skeleton& skeleton = editor->skeleton();
        skeleton.pickX = x;
        skeleton.pickY = flipY(y);
        skeleton.pickButton = 0;
        skeleton.pickRequested = true;
        editor->armBoneDrag(window.controlHeld());
    }
    if (editor)
        editor->refreshBoneReadout();
}

void InputDispatcher::mouseMoved(int x, int y) {
    if (!leftHeld && !rightHeld) {
        scene.interface->handleMouseMove(x, flipY(y));
        return;
    }
    if (ignoreNextMove) {
        ignoreNextMove = false;
        return;
    }
    int dx = x - dragX;
    int dy = dragY - y; // moving the mouse up turns the camera up
    bool menu = scene.interface->handleMouseDrag(x, flipY(y));
    // A left drag that started on a bone turns the bone, and only the bone.
    bool turnedBone = false;
    if (!menu && leftHeld && !rightHeld && scene.editor)
        turnedBone = scene.editor->dragBoneTo(
            cameraProjection(scene.camera, state.windowWidth, state.windowHeight), x, flipY(y), dx,
            window.shiftHeld());
    if (!menu && scene.rightToggle && !turnedBone) {
        scene.camera.rotateYaw(dx);
        scene.camera.rotatePitch(dy);
    }
    if (rightHeld) {
        centreCursor();
        ignoreNextMove = true;
    } else {
        dragX = x;
        dragY = y;
    }
}

void InputDispatcher::resize(int width, int height) {
    state.windowWidth = width;
    state.windowHeight = height;
    scene.camera.setViewportSize(width, height);
    window.resized(width, height);
    scene.interface->layout(width, height);
}
