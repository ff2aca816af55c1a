#pragma once

#include "app/Music.h"
#include "scene/Camera.h"
#include "scene/Lighting.h"

#include <functional>
#include <memory>
#include <vector>

class InterfaceComponent;
class InterfaceManager;
class SkeletonEditor;
struct ProgramState;
enum class EditorAction;

// Everything that is drawn and updated: the camera, the lights, the GUI
// with its pages and windows, the skeleton editor and the background music.
// Owned by the Application. Built empty by the constructor, filled by
// buildInterface() (no GL: it may run while the window is made) and
// finished by finishSetUp() once the window and the GL state are ready.
class Scene {
public:
    // Makes the music stream when the scene is set up (it may return null
    // for a scene without music).
    using MusicFactory = std::function<std::unique_ptr<MusicStream>()>;

    // The camera in its constructed state, the lighting record and an empty
    // interface manager.
    Scene(ProgramState& state, MusicFactory makeMusic);
    ~Scene();

    // Main menu, editor, the camera's start placement around the figure,
    // About pages and music buttons, in that order. Touches neither GL nor the sound device,
    // so it can run on another thread while the window is made.
    void buildInterface();
    // The rest of the set-up: the lights (needs the GL context) and the
    // music's start.
    void finishSetUp();
    // buildInterface() and the music's start: a complete scene without a
    // window, for tests and tools.
    void build();

    // The one receiver of button hits the GUI passes on: the editor first,
    // then the three music commands (which act on the press only).
    void handleCommand(InterfaceComponent* hit);
    // The one receiver of the input map's actions: the camera's own (Home
    // frames the figure), the renders (to startRender), everything else to
    // the editor.
    void handleAction(EditorAction action);
    // Starts a render of the editor's animation for RenderVideo or
    // RenderGif. Set by the window's side, which has the GL to draw with;
    // without it those actions do nothing.
    std::function<void(EditorAction)> startRender;

    Camera camera;
    Lighting lighting;
    std::unique_ptr<InterfaceManager> interface;
    std::unique_ptr<SkeletonEditor> editor;
    std::unique_ptr<MusicStream> music;
    // 0 .. 100; 80 once the music has started.
    float musicVolume = 80;
    // Flipped by every press and release the GUI did not take; the right
    // one gates camera turning by drag.
    bool rightToggle = false;
    bool leftToggle = false;

private:
    void startBackgroundMusic();

    ProgramState& state;
    MusicFactory makeMusic;
    // Components registered with the manager by the scene itself (music
    // buttons, About texts); the manager only lists them.
    std::vector<std::unique_ptr<InterfaceComponent>> ownedComponents;
};
