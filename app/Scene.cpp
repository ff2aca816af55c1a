#include "app/Scene.h"

#include "app/MusicCommands.h"
#include "editor/InputMap.h"
#include "editor/SkeletonEditor.h"
#include "gui/AboutPages.h"
#include "gui/Button.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "skeleton/Skeleton.h"

Scene::Scene(ProgramState& state_, MusicFactory makeMusic_)
    : interface(std::make_unique<InterfaceManager>(state_)), state(state_),
      makeMusic(std::move(makeMusic_)) {}

Scene::~Scene() = default;

void Scene::build() {
    buildInterface();
    startBackgroundMusic();
}

void Scene::buildInterface() {
    interface->init();
    editor = std::make_unique<SkeletonEditor>(*interface, nullptr, state.paths);
    camera.placeAtStart(editor->skeleton().rootPosition());
    buildAboutPages(*interface, ownedComponents);

    for (auto [id, label] : {std::pair{MUSIC_VOLUME_DN, MUSIC_VOLUME_DN_LABEL},
                             std::pair{MUSIC_PLAY_PAUSE, MUSIC_PLAY_PAUSE_LABEL},
                             std::pair{MUSIC_VOLUME_UP, MUSIC_VOLUME_UP_LABEL}}) {
        auto musicButton = std::make_unique<Button>(id, label);
        interface->addToTopDock(musicButton.get());
        ownedComponents.push_back(std::move(musicButton));
    }
}

void Scene::startBackgroundMusic() {
    musicVolume = MUSIC_START_VOLUME;
    if (makeMusic)
        music = makeMusic();
    if (music)
        startMusic(*music, state.paths.music, musicVolume);
}

void Scene::handleCommand(InterfaceComponent* hit) {
    if (!hit)
        return;
    if (editor)
        editor->onCommand(hit);
    if (music && hit->kind == KIND_BUTTON)
        applyMusicCommand(hit->getId(), static_cast<Button*>(hit)->state, musicVolume, *music);
}

void Scene::handleAction(EditorAction action) {
    if (action == EditorAction::FrameFigure) {
        camera.returnHome();
        return;
    }
    if (action == EditorAction::RenderVideo || action == EditorAction::RenderGif) {
        if (startRender)
            startRender(action);
        return;
    }
    if (editor)
        editor->perform(action);
}
